#include "core/LumarexCore.h"

#include "download/DownloadDriver.h"
#include "sources/AlbumListDriver.h"

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
    if (m_nGetListState != GETLIST_IDLE) m_nGetListState = GETLIST_STOP;
    if (m_nDownState != DOWN_IDLE) {
        m_nDownState = DOWN_STOP;
        m_bStopDown = true;
    }
    WaitForWorkers();
}

void CLumarexCore::StartWorker(std::function<void()> work)
{
    std::lock_guard guard(m_workersLock);
    // Threads that have ended are joined here, so a long session keeps no dead threads.
    std::erase_if(m_workers, [](Worker& worker) {
        if (!*worker.done) return false;
        worker.thread.join();
        return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_workers.push_back({std::thread([work = std::move(work), done] {
                             work();
                             *done = true;
                         }),
                         done});
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
    std::uint8_t idle = GETLIST_IDLE;
    if (!m_nGetListState.compare_exchange_strong(idle, GETLIST_RUNNING)) {
        m_nGetListState = GETLIST_STOP;
        return;
    }
    m_nSubKind = -1;
    StartWorker([this, address] { GetAlbumList(*this, address); });
}

void CLumarexCore::OnDownload(const QString& savePath, const std::vector<int>& selection)
{
    std::uint8_t idle = DOWN_IDLE;
    if (!m_nDownState.compare_exchange_strong(idle, DOWN_RUNNING)) {
        m_nDownState = DOWN_STOP;
        m_bStopDown = true;
        return;
    }
    StartWorker([this, savePath, selection] { DownloadDriver(*this, savePath, selection); });
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
    m_nGetListState = running ? GETLIST_RUNNING : GETLIST_IDLE;
    if (running) {
        m_frontEnd.SetStatusText(STATUS_ALBUM_FRAME, QStringLiteral("相册列表"));
        m_frontEnd.SetStatusText(STATUS_PHASE, QStringLiteral("正在获取相册列表，请稍等..."));
        m_frontEnd.SetStatusText(STATUS_COUNTS, QString());
    }
    m_frontEnd.SetGetListUi(running);
}

void CLumarexCore::SetDownloadUi(bool running)
{
    m_nDownState = running ? DOWN_RUNNING : DOWN_IDLE;
    if (!running) {
        m_frontEnd.SetStatusText(STATUS_PHASE, QStringLiteral("下载完毕"));
        m_frontEnd.SetStatusText(STATUS_COUNTS, QString());
    }
    m_frontEnd.SetDownloadUi(running);
}
