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

QString HostDownReason()
{
    return u"连接失败（该主机已连续%1次无法连接，不再尝试）"_s.arg(CHostGate::kDownAfter);
}

bool IsBusyStatus(int status)
{
    return status == 429 || status == 503;
}

// DownPicWorker: one picture, one request, one attempt; a busy answer is waited out (the host
// pauses for every worker) and costs no attempt. A file already saved under the picture's name
// by an earlier run is kept, so a second run fetches only what is missing.
PictureOutcome FetchPicture(QString url, QString headers, QString savePath, DownRunParams params,
                            const std::atomic<bool>* abort, CHostGate& hosts)
{
    if (QFileInfo(savePath).size() > 0) return {PictureOutcome::Skipped, {}};
    const QString host = CHostGate::HostOf(url);
    CURLSource2 request;
    CURLResponse response;
    request.m_nConnectTimeout = int(params.nTimeout) * 1000;
    request.m_nReadTimeout = int(params.nTimeout) * 1000;
    // The one attempt's failure is final; a pause after it would only hold the worker.
    request.m_nRetryDelay = 0;
    request.m_strUrl = std::move(url);
    request.m_strHeaders = std::move(headers);
    request.m_nMinKB = params.nMinKB;
    request.m_nMaxKB = params.nMaxKB;
    request.m_strSavePath = std::move(savePath);
    request.m_pAbort = abort;
    for (int busy = 1;; ++busy) {
        std::uint64_t wave = 0;
        switch (hosts.Admit(host, abort, wave)) {
        case CHostGate::Admission::Down:
            return {PictureOutcome::Failed, HostDownReason()};
        case CHostGate::Admission::Aborted:
            return {PictureOutcome::Failed, FetchFailureText(FetchFailure::Aborted, 0)};
        case CHostGate::Admission::Go:
            break;
        }
        if (request.Send(response, FLAG_DECOMPRESS | FLAG_UTF8)) {
            hosts.Answered(host);
            return {PictureOutcome::Saved, {}};
        }
        if (IsBusyStatus(response.m_nStatus) && busy <= CHostGate::kMaxBusy &&
            hosts.Busy(host, wave, response.RetryAfterSeconds()))
            continue;
        // A busy answer past the limit fails the picture but leaves the host's count as it is.
        if (IsConnectionFailure(response.m_eFailure))
            hosts.ConnectionFailed(host);
        else if (response.m_nStatus != 0 && !IsBusyStatus(response.m_nStatus))
            hosts.Answered(host);
        return {PictureOutcome::Failed, FetchFailureText(response.m_eFailure, response.m_nStatus)};
    }
}
} // namespace

void CDownPool::StartWorker(int slot, int picture)
{
    const CDownList& list = *m_list;
    QString headers = list.m_arrHeaders.isEmpty() ? QString() : list.m_arrHeaders.value(picture);
    auto shared = m_shared;
    const QString& url = list.m_arrUrls[picture];
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
    // A host given up fails its remaining pictures at once, without a thread each.
    if (m_hosts->IsDown(CHostGate::HostOf(url))) {
        finish({PictureOutcome::Failed, HostDownReason()});
        return;
    }
    try {
        m_slots[size_t(slot)] = std::thread([this, finish, url, headers = std::move(headers), hosts = m_hosts,
                                             path = list.m_strSaveDir + list.m_arrNames[picture], params = m_params] {
            // A stop request cuts the transfer short at once.
            finish(FetchPicture(url, headers, path, params, &m_bStopDown, *hosts));
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
    QString shown;
    for (;;) {
        int slot = -1;
        {
            // Woken now and then without a finished worker, to show a host's pause counting down.
            std::unique_lock guard(m_shared->lock);
            m_shared->finished.wait_for(guard, std::chrono::milliseconds(500),
                                        [&] { return !m_shared->finishedSlots.empty(); });
            if (!m_shared->finishedSlots.empty()) {
                slot = m_shared->finishedSlots.front();
                m_shared->finishedSlots.pop_front();
            }
        }
        if (slot >= 0) {
            if (m_bStopDown) break;
            if (m_slots[size_t(slot)].joinable()) m_slots[size_t(slot)].join();
            if (next < total) StartWorker(slot, next++);
        }
        const int done = m_nDoneCount;
        QString text = u"已下载%1/%2......"_s.arg(done).arg(total);
        if (const QString pause = m_hosts->PauseNote(); !pause.isEmpty()) text += u"（"_s + pause + u"）"_s;
        if ((text != shown || (slot >= 0 && done >= total)) && frontEnd) frontEnd->SetStatusText(STATUS_COUNTS, text);
        shown = text;
        if (slot >= 0 && done >= total) break;
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
