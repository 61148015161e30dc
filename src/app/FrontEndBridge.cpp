#include "app/FrontEndBridge.h"

#include "app/AlbumView.h"
#include "app/LumarexDlg.h"

#include <QCoreApplication>
#include <QThread>

namespace {
bool OnGuiThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

template <class Result> struct PendingCall {
    bool done = false;
    Result result{};
};
} // namespace

CFrontEndBridge::CFrontEndBridge(CLumarexDlg& window) : m_window(window) {}

void CFrontEndBridge::Shutdown()
{
    {
        std::lock_guard guard(m_lock);
        m_shutdown = true;
    }
    m_wake.notify_all();
}

bool CFrontEndBridge::IsShutDown() const
{
    std::lock_guard guard(m_lock);
    return m_shutdown;
}

void CFrontEndBridge::Post(std::function<void()> call)
{
    if (IsShutDown()) return;
    QMetaObject::invokeMethod(
        &m_window,
        [this, call = std::move(call)] {
            if (!IsShutDown()) call();
        },
        Qt::QueuedConnection);
}

template <class Result> Result CFrontEndBridge::CallAndWait(std::function<Result()> call, Result fallback)
{
    if (OnGuiThread()) return IsShutDown() ? fallback : call();
    auto pending = std::make_shared<PendingCall<Result>>();
    Post([this, pending, call = std::move(call)] {
        Result result = call();
        {
            std::lock_guard guard(m_lock);
            pending->result = std::move(result);
            pending->done = true;
        }
        m_wake.notify_all();
    });
    std::unique_lock lock(m_lock);
    m_wake.wait(lock, [&] { return pending->done || m_shutdown; });
    return pending->done ? pending->result : fallback;
}

void CFrontEndBridge::ShowMessage(const QString& text)
{
    CallAndWait<bool>([this, text] { return m_window.ShowMessageBox(text), true; }, false);
}

bool CFrontEndBridge::AskYesNo(const QString& text)
{
    return CallAndWait<bool>([this, text] { return m_window.AskYesNoBox(text); }, false);
}

void CFrontEndBridge::OpenLoginPage(const QString& url)
{
    CallAndWait<bool>([this, url] { return m_window.RunLoginPage(url), true; }, false);
}

void CFrontEndBridge::SetStatusText(StatusLine line, const QString& text)
{
    Post([this, line, text] { m_window.ApplyStatusText(line, text); });
}

void CFrontEndBridge::Progress(const RunProgress& progress)
{
    Post([this, progress] { m_window.ApplyProgress(progress); });
}

void CFrontEndBridge::SetGetListUi(bool running)
{
    Post([this, running] { m_window.ApplyGetListUi(running); });
}

void CFrontEndBridge::SetDownloadUi(bool running)
{
    Post([this, running] { m_window.ApplyDownloadUi(running); });
}

void CFrontEndBridge::ResetAlbumView()
{
    CallAndWait<bool>([this] { return m_window.AlbumView().PrepareForListing(), true; }, false);
}

void CFrontEndBridge::AlbumAdded(int index)
{
    // Drawn from the calling worker: a preview thumbnail is fetched here, not on the GUI thread.
    if (!IsShutDown()) m_window.AlbumView().ShowAlbumRecord(index);
}

void CFrontEndBridge::DownloadFinished(const DownSummary& album, const QString&)
{
    Post([this, album] { m_window.ApplyAlbumFinished(album); });
}

void CFrontEndBridge::RunFinished(const DownSummary& run)
{
    Post([this, run] { m_window.ApplyRunFinished(run); });
}

void CFrontEndBridge::OpenFolder(const QString& path)
{
    Post([this, path] { m_window.OpenFolder(path); });
}
