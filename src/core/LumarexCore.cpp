#include "core/LumarexCore.h"

#include "download/DownloadDriver.h"
#include "sources/AlbumListDriver.h"

#include <system_error>

CLumarexCore::CLumarexCore(IFrontEnd& frontEnd, const QString& appDir)
    : m_strAppDir(appDir.endsWith(u'/') ? appDir : appDir + u'/'), m_frontEnd(frontEnd)
{
}

void CLumarexCore::LoadSoftData()
{
    std::lock_guard guard(m_softLock);
    ::LoadSoftData(m_soft, SoftDataPath());
}

ST_SOFTDATA CLumarexCore::Soft() const
{
    std::lock_guard guard(m_softLock);
    return m_soft;
}

ST_DOWNPARAM CLumarexCore::DownParam(int kind) const
{
    std::lock_guard guard(m_softLock);
    return m_soft.down[kind];
}

ST_NAMESET CLumarexCore::NameSet(int kind) const
{
    std::lock_guard guard(m_softLock);
    return m_soft.names[kind];
}

std::uint8_t CLumarexCore::Options() const
{
    std::lock_guard guard(m_softLock);
    return m_soft.names[m_nSourceKind].nOptions;
}

void CLumarexCore::EditSoft(const std::function<void(ST_SOFTDATA&)>& edit)
{
    std::lock_guard guard(m_softLock);
    edit(m_soft);
    SaveSoftData(m_soft, SoftDataPath());
}

bool CLumarexCore::AddToHistory(History which, const QString& text)
{
    std::lock_guard guard(m_softLock);
    if (!MruAdd(which, m_soft, text)) return false;
    SaveSoftData(m_soft, SoftDataPath());
    return true;
}

CLumarexCore::~CLumarexCore()
{
    RequestGetAlbumsStop();
    RequestDownloadStop();
    WaitForWorkers();
}

bool CLumarexCore::StartWorker(std::function<void()> work)
{
    std::lock_guard guard(m_workersLock);
    // Threads that have ended are joined here, so a long session keeps no dead threads.
    std::erase_if(m_workers, [](Worker& worker) {
        if (!*worker.done) return false;
        worker.thread.join();
        return true;
    });
    // Room first: once the thread runs, storing it must not fail.
    m_workers.reserve(m_workers.size() + 1);
    auto done = std::make_shared<std::atomic<bool>>(false);
    try {
        m_workers.push_back({std::thread([work = std::move(work), done] {
                                 work();
                                 *done = true;
                             }),
                             done});
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CLumarexCore::WaitForWorkers()
{
    for (;;) {
        Worker worker;
        {
            std::lock_guard guard(m_workersLock);
            if (m_workers.empty()) return;
            worker = std::move(m_workers.back());
            m_workers.pop_back();
        }
        worker.thread.join();
    }
}

void CLumarexCore::OnGetAlbums(const QString& address)
{
    if (!m_bReady) return;
    // The window disables the button only once the download thread has switched its controls; a
    // press before that must not clear the album list the download reads.
    if (m_nGetListState == GETLIST_IDLE && m_nDownState != DOWN_IDLE) return;
    std::uint8_t idle = GETLIST_IDLE;
    if (!m_nGetListState.compare_exchange_strong(idle, GETLIST_RUNNING)) {
        RequestGetAlbumsStop();
        return;
    }
    m_nSubKind = -1;
    if (StartWorker([this, address] { GetAlbumList(*this, address); })) return;
    m_frontEnd.ShowMessage(QStringLiteral("Create thread:GetListFunc failed."));
    m_nGetListState = GETLIST_IDLE;
}

void CLumarexCore::OnDownload(const QString& savePath, const std::vector<int>& selection)
{
    // Likewise, a download must not read the album list that a listing is refilling.
    if (m_nDownState == DOWN_IDLE && m_nGetListState != GETLIST_IDLE) return;
    std::uint8_t idle = DOWN_IDLE;
    if (!m_nDownState.compare_exchange_strong(idle, DOWN_RUNNING)) {
        RequestDownloadStop();
        return;
    }
    if (StartWorker([this, savePath, selection] { DownloadDriver(*this, savePath, selection); })) return;
    m_frontEnd.ShowMessage(QStringLiteral("Create thread:GetListFunc failed."));
    m_nDownState = DOWN_IDLE;
}

void CLumarexCore::OnDownloadRun(std::function<void()> run)
{
    if (m_nDownState == DOWN_IDLE && m_nGetListState != GETLIST_IDLE) return;
    std::uint8_t idle = DOWN_IDLE;
    if (!m_nDownState.compare_exchange_strong(idle, DOWN_RUNNING)) {
        RequestDownloadStop();
        return;
    }
    if (StartWorker(std::move(run))) return;
    m_frontEnd.ShowMessage(QStringLiteral("Create thread:GetListFunc failed."));
    m_nDownState = DOWN_IDLE;
}

// Compare-and-swap, so that a stop pressed just as the run ends cannot leave the state at "stop
// requested" for good: that would make every later press a stop request.
void CLumarexCore::RequestGetAlbumsStop()
{
    std::uint8_t running = GETLIST_RUNNING;
    m_nGetListState.compare_exchange_strong(running, GETLIST_STOP);
}

void CLumarexCore::RequestDownloadStop()
{
    std::uint8_t state = m_nDownState;
    while (state == DOWN_RUNNING || state == DOWN_AT_HISTORY) {
        if (m_nDownState.compare_exchange_weak(state, DOWN_STOP)) {
            m_bStopDown = true;
            return;
        }
    }
}

QString CLumarexCore::PoolFolder() const
{
    std::lock_guard guard(m_poolFolderLock);
    return m_strPoolFolder;
}

void CLumarexCore::SetPoolFolder(const QString& folder)
{
    std::lock_guard guard(m_poolFolderLock);
    m_strPoolFolder = folder;
}

void CLumarexCore::SetGetListUi(bool running)
{
    // A stop pressed between the button and this switch is kept.
    std::uint8_t idle = GETLIST_IDLE;
    if (running)
        m_nGetListState.compare_exchange_strong(idle, GETLIST_RUNNING);
    else
        m_nGetListState = GETLIST_IDLE;
    if (running) {
        m_frontEnd.SetStatusText(STATUS_ALBUM_FRAME, QStringLiteral("相册列表"));
        m_frontEnd.SetStatusText(STATUS_PHASE, QStringLiteral("正在获取相册列表，请稍等..."));
        m_frontEnd.SetStatusText(STATUS_COUNTS, QString());
    }
    m_frontEnd.SetGetListUi(running);
}

void CLumarexCore::SetDownloadUi(bool running)
{
    // A stop pressed between the button and this switch is kept.
    std::uint8_t idle = DOWN_IDLE;
    if (running)
        m_nDownState.compare_exchange_strong(idle, DOWN_RUNNING);
    else
        m_nDownState = DOWN_IDLE;
    if (!running) {
        m_frontEnd.SetStatusText(STATUS_PHASE, QStringLiteral("下载完毕"));
        m_frontEnd.SetStatusText(STATUS_COUNTS, QString());
    }
    m_frontEnd.SetDownloadUi(running);
}
