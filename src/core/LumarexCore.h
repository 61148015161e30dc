#pragma once

#include "core/FrontEnd.h"
#include "core/SoftData.h"
#include "download/Records.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Run states of the two long operations.
enum GetListState : std::uint8_t { GETLIST_IDLE = 0, GETLIST_RUNNING = 1, GETLIST_STOP = 2 };
enum DownState : std::uint8_t { DOWN_IDLE = 0, DOWN_RUNNING = 1, DOWN_AT_HISTORY = 2, DOWN_STOP = 3 };

// The hub both front ends share: the settings record, the album list, the download list, the
// owner and working texts the adapters fill, and the run states. Adapters and drivers are
// operations on it; it reaches the user only through IFrontEnd.
class CLumarexCore {
public:
    CLumarexCore(IFrontEnd& frontEnd, const QString& appDir);
    // Requests both operations to stop and waits for their threads.
    ~CLumarexCore();
    CLumarexCore(const CLumarexCore&) = delete;
    CLumarexCore& operator=(const CLumarexCore&) = delete;

    IFrontEnd& FrontEnd() const { return m_frontEnd; }

    // Settings: readers get copies, writers edit under the lock and the file follows at once.
    void LoadSoftData();
    ST_SOFTDATA Soft() const;
    ST_DOWNPARAM DownParam(int kind) const;
    ST_NAMESET NameSet(int kind) const;
    std::uint8_t Options() const; // of the current service
    bool HasOption(std::uint8_t bit) const { return (Options() & bit) != 0; }
    void EditSoft(const std::function<void(ST_SOFTDATA&)>& edit);
    bool AddToHistory(History which, const QString& text);

    // The two buttons. A press while the operation runs requests its stop; otherwise the
    // operation starts on a thread of its own, unless the other one runs (its button is
    // disabled then). The address and save path are the texts of the two boxes; selection holds
    // the ticked album indexes in view order.
    void OnGetAlbums(const QString& address);
    void OnDownload(const QString& savePath, const std::vector<int>& selection);
    // Another run under the download button (a list import or export): started on the
    // download thread as OnDownload starts a download; a press while one runs requests its stop.
    void OnDownloadRun(std::function<void()> run);
    // A stop request that never starts anything: nothing happens when the operation has ended.
    void RequestGetAlbumsStop();
    void RequestDownloadStop();
    bool IsBusy() const { return m_nGetListState != GETLIST_IDLE || m_nDownState != DOWN_IDLE; }
    // Waits until every operation thread has ended (the command line's way of waiting).
    void WaitForWorkers();

    // The folder the running pool saves into, for the window's open-folder button (read on the
    // window's thread while the download thread moves on to the next album).
    QString PoolFolder() const;
    void SetPoolFolder(const QString& folder);

    // The run-state switches; they also set the status texts and tell the front end.
    void SetGetListUi(bool running);
    void SetDownloadUi(bool running);

    // Album records.
    void AddAlbum(const ST_PERLISTRECORD& album);
    int AddAlbumRecord(const ST_PERLISTRECORD& album);
    int FindAlbumName(const QString& name) const;
    void ClearAlbums();

    // Picture records of the album being listed for download.
    void AddPicture(const QString& strUrl, const QString& strDesc, const QString& strHeaders, int nAlbum);
    int FindPictureName(const QString& name) const;

    const QString m_strAppDir; // ends with "/"
    std::unique_ptr<ST_PERLIST> m_pAlbumList = std::make_unique<ST_PERLIST>();
    CDownList m_downList;
    QString m_strHistoryUrl;

    std::atomic<int> m_nSourceKind{0};
    std::atomic<int> m_nSubKind{-1};
    // Written by the album lister, read by the photo lister and the download driver.
    QString m_strOwnerName;
    QString m_strOwnerSubDir;
    QString m_strSourceArg1;
    QString m_strSourceArg2;

    std::atomic<bool> m_bReady{false};
    std::atomic<std::uint8_t> m_nGetListState{GETLIST_IDLE};
    std::atomic<std::uint8_t> m_nDownState{DOWN_IDLE};
    // The worker pool's stop request and whether a pool is running.
    std::atomic<bool> m_bStopDown{false};
    std::atomic<bool> m_bPoolRunning{false};

private:
    QString SoftDataPath() const { return m_strAppDir + QStringLiteral("soft.dat"); }
    void StartAlbumFolder(const ST_PERLISTRECORD& album);
    // The first free name among name and the "(n)" forms of stem; counter says which it is.
    QString UniquePictureName(const QString& stem, const QString& name, unsigned& counter) const;

    // False when the thread cannot be created.
    bool StartWorker(std::function<void()> work);

    IFrontEnd& m_frontEnd;
    std::mutex m_workersLock;
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Worker> m_workers;
    mutable std::mutex m_poolFolderLock;
    QString m_strPoolFolder;
    mutable std::mutex m_softLock;
    ST_SOFTDATA m_soft{};
};
