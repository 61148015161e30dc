#include "download/DownPool.h"

#include "MyCode/URLSource2.h"
#include "core/FrontEnd.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>

using namespace Qt::StringLiterals;

// What the workers of one pool share with its manager; a worker that outlives its pool after a
// stop still holds it.
struct CDownPool::Shared {
    std::mutex lock;
    std::condition_variable finished;
    int total = 0;
    int next = 0;                                  // the next picture a worker takes
    int finishedSeen = 0;                          // pictures finished, as far as the manager has looked
    bool closed = false;                           // the manager has left: the list may be gone, no picture is taken
    int working = 0;                               // workers not yet returned
    std::vector<std::pair<int, QString>> failures; // picture index, reason
};

CDownPool::CDownPool(const std::atomic<bool>& stop) : m_bStopDown(stop)
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

// What became of one picture.
struct PictureOutcome {
    // NotTried: a stop came before the transfer or cut it; the picture is still to be had.
    enum Kind { Saved, Failed, Skipped, NotTried } kind;
    QString reason;
};

namespace {

// How often the count of finished pictures is shown while they arrive.
constexpr std::chrono::milliseconds kStatusInterval{100};

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
PictureOutcome FetchPicture(QString url, const QString& host, QString headers, QString savePath, DownRunParams params,
                            const std::atomic<bool>* abort, CHostGate& hosts)
{
    if (QFileInfo(savePath).size() > 0) return {PictureOutcome::Skipped, {}};
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
            return {PictureOutcome::NotTried, {}};
        case CHostGate::Admission::Go:
            break;
        }
        if (request.Send(response, FLAG_DECOMPRESS)) {
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
        if (response.m_eFailure == FetchFailure::Aborted) return {PictureOutcome::NotTried, {}};
        return {PictureOutcome::Failed, response.FailureText()};
    }
}
} // namespace

void CDownPool::Finish(Shared& shared, int picture, const PictureOutcome& outcome)
{
    switch (outcome.kind) {
    case PictureOutcome::Saved:
        ++m_nSaved;
        break;
    case PictureOutcome::Skipped:
        ++m_nSkipped;
        break;
    case PictureOutcome::NotTried:
        break;
    case PictureOutcome::Failed: {
        // Counted with its reason, so that a summary never lists more reasons than failures.
        std::lock_guard guard(shared.lock);
        ++m_nFailed;
        shared.failures.emplace_back(picture, outcome.reason);
        break;
    }
    }
    // The manager looks at the count on its own every status interval; it is woken only for the
    // last picture and for a stop, so that a thousand small pictures do not wake it a thousand
    // times.
    if (++m_nDoneCount >= shared.total || m_bStopDown) {
        std::lock_guard guard(shared.lock);
        shared.finished.notify_one();
    }
}

void CDownPool::Work(const std::shared_ptr<Shared>& shared, const std::shared_ptr<CHostGate>& hosts)
{
    // Each worker takes the next picture until none is left or a stop came; the address, headers
    // and path are copied while the list is sure to be there.
    for (;;) {
        int picture = 0;
        QString url, headers, path;
        {
            std::lock_guard guard(shared->lock);
            if (shared->closed || m_bStopDown || shared->next >= shared->total) return;
            picture = shared->next++;
            const CDownList& list = *m_list;
            url = list.m_arrUrls[picture];
            if (!list.m_arrHeaders.isEmpty()) headers = list.m_arrHeaders.value(picture);
            path = list.m_strSaveDir + list.m_arrNames[picture];
        }
        // A host given up fails its remaining pictures at once.
        const QString host = CHostGate::HostOf(url);
        const PictureOutcome outcome = hosts->IsDown(host)
                                           ? PictureOutcome{PictureOutcome::Failed, HostDownReason()}
                                           : FetchPicture(std::move(url), host, std::move(headers), std::move(path),
                                                          m_params, &m_bStopDown, *hosts);
        Finish(*shared, picture, outcome);
    }
}

DownSummary CDownPool::Run(const CDownList& list, const DownRunParams& params, IFrontEnd* frontEnd,
                           RunProgress progress)
{
    JoinStragglers();
    m_nDoneCount = 0;
    m_nSaved = 0;
    m_nFailed = 0;
    m_nSkipped = 0;
    const int total = list.Count();
    const int n = std::min<int>(params.nThreads, total);
    if (n <= 0) return {};
    if (m_bStopDown) {
        // Stopped before the first picture: none of them was tried.
        DownSummary summary;
        summary.total = summary.notTried = total;
        summary.stopped = true;
        return summary;
    }
    const auto start = std::chrono::steady_clock::now();
    m_list = &list;
    m_params = params;
    m_shared = std::make_shared<Shared>();
    m_shared->total = total;
    std::vector<std::thread> workers;
    workers.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        try {
            {
                std::lock_guard guard(m_shared->lock);
                ++m_shared->working;
            }
            workers.emplace_back([this, shared = m_shared, hosts = m_hosts] {
                Work(shared, hosts);
                // A worker that leaves on a stop before taking a picture finishes none: its
                // leaving must wake the manager all the same.
                std::lock_guard guard(shared->lock);
                --shared->working;
                shared->finished.notify_one();
            });
        } catch (const std::system_error&) {
            std::lock_guard guard(m_shared->lock);
            --m_shared->working;
            break;
        }
    }
    if (workers.empty()) {
        // No worker at all: every picture counts as done, failed.
        const PictureOutcome outcome{PictureOutcome::Failed, QStringLiteral("无法启动下载线程")};
        for (int picture = 0; picture < total; ++picture)
            Finish(*m_shared, picture, outcome);
        m_shared->next = total;
    }

    const RunProgress before = progress;
    progress.pictures = total;
    bool shown = false;
    for (;;) {
        bool finished = false;
        {
            // Woken at the end or by a stop, and every status interval to show the count and a
            // host's pause counting down.
            std::unique_lock guard(m_shared->lock);
            const auto stopSeen = [&] {
                return m_bStopDown && (m_nDoneCount != m_shared->finishedSeen || m_shared->working == 0);
            };
            m_shared->finished.wait_for(guard, kStatusInterval, [&] { return m_nDoneCount >= total || stopSeen(); });
            const bool stopped = stopSeen();
            finished = m_nDoneCount != m_shared->finishedSeen;
            m_shared->finishedSeen = m_nDoneCount;
            if (stopped) {
                m_shared->closed = true;
                break;
            }
        }
        const int done = m_nDoneCount;
        const QString pause = m_hosts->PauseNote();
        const bool changed = !shown || done != progress.picturesDone || pause != progress.pauseNote;
        progress.picturesDone = done;
        progress.pauseNote = pause;
        progress.saved = before.saved + m_nSaved;
        progress.failed = before.failed + m_nFailed;
        progress.skipped = before.skipped + m_nSkipped;
        if ((changed || (finished && done >= total)) && frontEnd) frontEnd->Progress(progress);
        shown = true;
        if (finished && done >= total) break;
    }
    {
        std::lock_guard guard(m_shared->lock);
        m_shared->closed = true;
    }
    // After a stop the transfers still running end on their own, cut short; they are joined
    // before the next pool starts, so nothing of this pool touches the next album.
    for (std::thread& worker : workers)
        m_stragglers.push_back(std::move(worker));
    if (!m_bStopDown) JoinStragglers();

    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    const DownSummary summary = Summary(list, int(elapsed.count()));
    return summary;
}

DownSummary CDownPool::Summary(const CDownList& list, int seconds) const
{
    DownSummary summary;
    summary.seconds = seconds;
    summary.total = list.Count();
    summary.saved = m_nSaved;
    summary.skipped = m_nSkipped;
    summary.stopped = m_bStopDown;
    std::lock_guard guard(m_shared->lock);
    summary.failed = m_nFailed;
    summary.notTried = summary.total - summary.saved - summary.failed - summary.skipped;
    auto failures = m_shared->failures;
    std::sort(failures.begin(), failures.end());
    for (const auto& [picture, reason] : failures)
        summary.failures << list.m_arrNames[picture] + u": "_s + reason;
    return summary;
}
