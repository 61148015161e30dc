#include "download/DownPool.h"

#include "MyCode/URLSource2.h"
#include "core/FrontEnd.h"

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
// DownPicWorker: one picture, one request, one attempt; any failure only counts as done.
void FetchPicture(QString url, QString headers, QString savePath, DownRunParams params, const std::atomic<bool>* abort)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_nReadTimeout = int(params.nTimeout) * 1000;
    request.m_strUrl = std::move(url);
    request.m_strHeaders = std::move(headers);
    request.m_nMinKB = params.nMinKB;
    request.m_nMaxKB = params.nMaxKB;
    request.m_strSavePath = std::move(savePath);
    request.m_pAbort = abort;
    request.Send(response, FLAG_DECOMPRESS | FLAG_UTF8);
}
} // namespace

void CDownPool::StartWorker(int slot, int picture)
{
    const CDownList& list = *m_list;
    QString headers = list.m_arrHeaders.isEmpty() ? QString() : list.m_arrHeaders.value(picture);
    auto shared = m_shared;
    const auto finish = [this, shared, slot] {
        ++m_nDoneCount;
        std::lock_guard guard(shared->lock);
        shared->finishedSlots.push_back(slot);
        shared->finished.notify_one();
    };
    try {
        m_slots[size_t(slot)] = std::thread([this, finish, url = list.m_arrUrls[picture], headers = std::move(headers),
                                             path = list.m_strSaveDir + list.m_arrNames[picture], params = m_params] {
            // A stop request cuts the transfer short at once.
            FetchPicture(url, headers, path, params, &m_bStopDown);
            finish();
        });
    } catch (const std::system_error&) {
        // A picture whose worker cannot start fails like one whose transfer fails.
        finish();
    }
}

void CDownPool::Run(const CDownList& list, const DownRunParams& params, IFrontEnd* frontEnd)
{
    JoinStragglers();
    m_bStopDown = false;
    m_nDoneCount = 0;
    const int total = list.Count();
    const int n = std::min<int>(params.nThreads, total);
    if (n <= 0) return;
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
    if (frontEnd) frontEnd->DownloadFinished(int(elapsed.count()), total);
    m_bPoolRunning = false;
}
