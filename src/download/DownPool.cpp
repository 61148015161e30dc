#include "download/DownPool.h"

#include "MyCode/URLSource2.h"
#include "core/FrontEnd.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>

using namespace Qt::StringLiterals;

// What the workers of one pool share with its manager; a worker that outlives its pool after a
// stop still holds it.
struct CDownPool::Shared {
    std::mutex lock;
    std::condition_variable finished;
    std::deque<int> finishedSlots;
    std::vector<std::pair<int, QString>> failures; // picture index, reason
};

CDownPool::CDownPool(std::atomic<bool>& stopDown, std::atomic<bool>& poolRunning)
    : m_bStopDown(stopDown), m_bPoolRunning(poolRunning)
{
}

CDownPool::~CDownPool()
{
    JoinStragglers();
}

void CDownPool::JoinStragglers()
{
    for (std::thread& worker : m_stragglers)
        worker.join();
    m_stragglers.clear();
}

namespace {
struct PictureOutcome {
    enum Kind { Saved, Failed, Skipped } kind;
    QString reason;
};

// DownPicWorker: one picture, one request, one attempt. A file already saved under the
// picture's name by an earlier run is kept, so a second run fetches only what is missing.
PictureOutcome FetchPicture(QString url, QString headers, QString savePath, DownRunParams params,
                            const std::atomic<bool>* abort)
{
    if (QFileInfo(savePath).size() > 0) return {PictureOutcome::Skipped, {}};
    CURLSource2 request;
    CURLResponse response;
    request.m_nReadTimeout = int(params.nTimeout) * 1000;
    request.m_strUrl = std::move(url);
    request.m_strHeaders = std::move(headers);
    request.m_nMinKB = params.nMinKB;
    request.m_nMaxKB = params.nMaxKB;
    request.m_strSavePath = std::move(savePath);
    request.m_pAbort = abort;
    if (request.Send(response, FLAG_DECOMPRESS | FLAG_UTF8)) return {PictureOutcome::Saved, {}};
    return {PictureOutcome::Failed, FetchFailureText(response.m_eFailure, response.m_nStatus)};
}
} // namespace

void CDownPool::StartWorker(int slot, int picture)
{
    const CDownList& list = *m_list;
    QString headers = list.m_arrHeaders.isEmpty() ? QString() : list.m_arrHeaders.value(picture);
    auto shared = m_shared;
    const auto finish = [this, shared, slot, picture](const PictureOutcome& outcome) {
        std::lock_guard guard(shared->lock);
        switch (outcome.kind) {
        case PictureOutcome::Saved:
            ++m_nSaved;
            break;
        case PictureOutcome::Skipped:
            ++m_nSkipped;
            break;
        case PictureOutcome::Failed:
            ++m_nFailed;
            shared->failures.emplace_back(picture, outcome.reason);
            break;
        }
        ++m_nDoneCount;
        shared->finishedSlots.push_back(slot);
        shared->finished.notify_one();
    };
    try {
        m_slots[size_t(slot)] = std::thread([this, finish, url = list.m_arrUrls[picture], headers = std::move(headers),
                                             path = list.m_strSaveDir + list.m_arrNames[picture], params = m_params] {
            // A stop request cuts the transfer short at once.
            finish(FetchPicture(url, headers, path, params, &m_bStopDown));
        });
    } catch (const std::system_error&) {
        finish({PictureOutcome::Failed, QStringLiteral("无法启动下载线程")});
    }
}

DownSummary CDownPool::Run(const CDownList& list, const DownRunParams& params, IFrontEnd* frontEnd)
{
    JoinStragglers();
    m_bStopDown = false;
    m_nDoneCount = 0;
    m_nSaved = 0;
    m_nFailed = 0;
    m_nSkipped = 0;
    const int total = list.Count();
    const int n = std::min<int>(params.nThreads, total);
    if (n <= 0) return {};
    m_bPoolRunning = true;
    const auto start = std::chrono::steady_clock::now();
    m_list = &list;
    m_params = params;
    m_shared = std::make_shared<Shared>();
    m_slots.clear();
    m_slots.resize(size_t(n));
    for (int slot = 0; slot < n; ++slot)
        StartWorker(slot, slot);

    int next = n;
    int shown = -1;
    for (;;) {
        int slot;
        {
            std::unique_lock guard(m_shared->lock);
            m_shared->finished.wait(guard, [&] { return !m_shared->finishedSlots.empty(); });
            slot = m_shared->finishedSlots.front();
            m_shared->finishedSlots.pop_front();
        }
        if (m_bStopDown) break;
        if (m_slots[size_t(slot)].joinable()) m_slots[size_t(slot)].join();
        if (next < total) StartWorker(slot, next++);
        const int done = m_nDoneCount;
        if ((done != shown || done >= total) && frontEnd)
            frontEnd->SetStatusText(STATUS_COUNTS, u"已下载%1/%2......"_s.arg(done).arg(total));
        shown = done;
        if (done >= total) break;
    }
    // After a stop the transfers still running end on their own, cut short; they are joined
    // before the next pool starts, so nothing of this pool touches the next album.
    for (std::thread& worker : m_slots)
        if (worker.joinable()) m_stragglers.push_back(std::move(worker));
    if (!m_bStopDown) JoinStragglers();
    m_slots.clear();

    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    const DownSummary summary = Summary(list, int(elapsed.count()));
    if (frontEnd) frontEnd->DownloadFinished(summary);
    m_bPoolRunning = false;
    return summary;
}

DownSummary CDownPool::Summary(const CDownList& list, int seconds) const
{
    DownSummary summary;
    summary.seconds = seconds;
    summary.total = list.Count();
    std::lock_guard guard(m_shared->lock);
    summary.saved = m_nSaved;
    summary.failed = m_nFailed;
    summary.skipped = m_nSkipped;
    summary.stopped = m_bStopDown;
    auto failures = m_shared->failures;
    std::sort(failures.begin(), failures.end());
    for (const auto& [picture, reason] : failures)
        summary.failures << list.m_arrNames[picture] + u": "_s + reason;
    return summary;
}
