#include "cli/CliSession.h"

#include "MyCode/CookieStore.h"
#include "MyCode/RequestLog.h"
#include "core/AppPaths.h"
#include "run/Services.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
std::atomic<int> g_interrupts{0};

void OnInterrupt(int)
{
    if (g_interrupts.fetch_add(1) >= 1) _exit(130);
}

CCliFrontEnd::Answer AnswerFrom(const CliArgs& args)
{
    if (args.yes) return CCliFrontEnd::Answer::Yes;
    if (args.no) return CCliFrontEnd::Answer::No;
    return CCliFrontEnd::Answer::Ask;
}
} // namespace

CCliSession::CCliSession(const CliArgs& args)
    : m_frontEnd(AnswerFrom(args), args.quiet),
      m_core(std::make_unique<CLumarexCore>(m_frontEnd, ResolveAppDir(args.appDir))),
      m_runs(std::make_unique<CRunController>(*m_core))
{
    if (args.verbose)
        SetRequestSink([this](const QByteArray& method, const QByteArray& url, long status) {
            m_frontEnd.ShowRequest(method, url, status);
        });
    m_core->LoadSoftData();
    CCookieStore& cookies = CCookieStore::Instance();
    cookies.Load(m_core->m_strAppDir + u"cookies.txt"_s);
    if (!args.cookies.isEmpty()) {
        m_cookiesImported = cookies.ImportNetscape(args.cookies) >= 0;
        if (!m_cookiesImported) m_frontEnd.ShowMessage(u"无法读取 cookies 文件: "_s + args.cookies);
        cookies.Save();
    }
    m_core->m_bReady = true;
}

CCliSession::~CCliSession()
{
    m_runs.reset();
    m_core.reset();
    SetRequestSink({});
    // Cookies the services set during the run are kept for the next one.
    if (CCookieStore::Instance().HasUnsavedChanges()) CCookieStore::Instance().Save();
}

bool CCliSession::WaitForRun()
{
    g_interrupts = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    struct sigaction previous {};
    sigaction(SIGINT, &action, &previous);

    // The end of the run wakes this thread at once; a signal handler cannot, so Ctrl+C is looked
    // for every 50 ms.
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    std::thread waiter([&] {
        m_runs->Wait();
        std::lock_guard guard(lock);
        done = true;
        ended.notify_one();
    });
    bool stopRequested = false;
    for (std::unique_lock guard(lock); !ended.wait_for(guard, std::chrono::milliseconds(50), [&] { return done; });) {
        if (g_interrupts > 0 && !stopRequested) {
            stopRequested = m_interrupted = true;
            m_runs->RequestStop();
        }
    }
    waiter.join();
    m_frontEnd.EndProgressLine();
    sigaction(SIGINT, &previous, nullptr);
    return m_runs->LastRunCompleted();
}

int ChooseFamily(const CliArgs& args, const QString& address)
{
    if (!args.service.isEmpty()) return FindService(args.service);
    return RecognizeService(address, SK_TENCENT);
}

int CCliSession::DownloadExit() const
{
    const DownSummary run = m_frontEnd.LastRun();
    return !run.stopped && !run.AllSaved() ? EXIT_INCOMPLETE : EXIT_DONE;
}
