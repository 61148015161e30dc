#include "cli/CliSession.h"

#include "MyCode/CookieStore.h"
#include "MyCode/RequestLog.h"
#include "core/AppPaths.h"
#include "run/Services.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <iterator>
#include <mutex>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// Ctrl-C, kill's default and the terminal closing: each asks the run to stop as the button does.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler touches nothing but these, which is safe only when they take no lock.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> g_signalsInWait{0};
std::atomic<int> g_stopSignal{0}; // the first one that reached a wait, for the exit status

void OnStopSignal(int number)
{
    // A second signal means the user does not want to wait for the stop either.
    if (g_signalsInWait.fetch_add(1) >= 1) _exit(128 + number);
    int none = 0;
    g_stopSignal.compare_exchange_strong(none, number);
}

// The stop signals' handlers for as long as a run is waited for; before and after it the
// previous ones.
class StopSignalHandlers {
public:
    StopSignalHandlers()
    {
        g_signalsInWait = 0;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        // One handler at a time, so that a second signal always sees the first one counted.
        sigemptyset(&action.sa_mask);
        for (const int number : kStopSignals)
            sigaddset(&action.sa_mask, number);
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
            sigaction(kStopSignals[i], &action, &m_previous[i]);
    }
    ~StopSignalHandlers()
    {
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
            sigaction(kStopSignals[i], &m_previous[i], nullptr);
    }
    StopSignalHandlers(const StopSignalHandlers&) = delete;
    StopSignalHandlers& operator=(const StopSignalHandlers&) = delete;

    static bool Received() { return g_signalsInWait > 0; }

private:
    struct sigaction m_previous[std::size(kStopSignals)]{};
};

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
    // Checked when the words were parsed; here only taken.
    if (const std::optional<CLumarexCore::ExtrasOverride> restraint = ParseRestraint(args))
        m_core->OverrideExtras(*restraint);
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
    const StopSignalHandlers handlers;
    // The end of the run wakes this thread at once; a signal handler cannot, so a stop signal is
    // looked for every 50 ms.
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
        if (StopSignalHandlers::Received() && !stopRequested) {
            stopRequested = m_interrupted = true;
            m_runs->RequestStop();
        }
    }
    waiter.join();
    m_frontEnd.EndProgressLine();
    return m_runs->LastRunCompleted();
}

int CCliSession::StopSignal()
{
    return g_stopSignal;
}

int ChooseFamily(const CliArgs& args, const QString& address)
{
    if (!args.service.isEmpty()) return FindService(args.service);
    return RecognizeService(address, SK_TENCENT);
}

int CCliSession::DownloadExit() const
{
    const DownSummary run = m_frontEnd.LastRun();
    return !run.stopped && !run.Complete() ? EXIT_INCOMPLETE : EXIT_DONE;
}
