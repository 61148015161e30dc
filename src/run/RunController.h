#pragma once

#include "core/ExportFormat.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CLumarexCore;

// The one run controller both front ends start everything through: listing an owner's albums,
// downloading, importing and exporting. It begins the run states, resolves the family's listers
// once, owns the threads, and stops and waits for them. A press that finds its operation running
// requests its stop instead; a press while the other operation runs does nothing.
class CRunController {
public:
    explicit CRunController(CLumarexCore& core);
    // Requests every run to stop and waits for its thread.
    ~CRunController();
    CRunController(const CRunController&) = delete;
    CRunController& operator=(const CRunController&) = delete;

    // "获取相册": lists the albums at the address for the family chosen in the hub.
    void OnGetAlbums(const QString& address);
    // "下载": downloads the selected albums (indexes in the album list) of the last listing.
    void OnDownload(const QString& savePath, const std::vector<int>& selection);
    // Downloads every address of a list file, under the download button.
    void OnImport(const QString& listPath, const QString& savePath);
    // Writes the selected albums' pictures to a list file without downloading them, under the
    // download button.
    void OnExport(const QString& savePath, const std::vector<int>& selection, const QString& listPath,
                  ExportFormat format);

    void RequestStop();
    // Waits until every run's thread has ended.
    void Wait();
    bool IsBusy() const;
    // Whether the last run that ended did its work: the address or save path was usable, the
    // list was read or written.
    bool LastRunCompleted() const { return m_bLastCompleted; }

private:
    // Begins the download state and starts run on a thread; a press while a download runs
    // requests its stop.
    void StartDownloadRun(std::function<bool()> run);
    // False when the thread cannot be created.
    bool StartWorker(std::function<bool()> work);

    CLumarexCore& m_core;
    std::atomic<bool> m_bLastCompleted{true};
    std::mutex m_workersLock;
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Worker> m_workers;
};
