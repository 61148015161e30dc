#include "download/DownPool.h"

#include "MyCode/HeaderLines.h"
#include "MyCode/URLSource2.h"
#include "core/FrontEnd.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

using namespace Qt::StringLiterals;

namespace {
// How often the count of finished pictures is shown while they arrive.
constexpr std::chrono::milliseconds kStatusInterval{100};
// How far past the next picture a worker looks for one whose host is below its cap.
constexpr int kLookAhead = 64;
// How often the bytes of pictures on their way are shown.
constexpr std::chrono::milliseconds kBytesInterval{250};

bool IsBusyStatus(int status)
{
    return status == 429 || status == 503;
}

// What the answer said of the picture, and the size of its file (the bytes written), for the
// album's metadata. The headers are those of the last attempt only when it got an answer.
PictureFacts WithFacts(PictureFacts outcome, const CURLResponse& response)
{
    const QByteArray headers = response.m_nStatus != 0 ? response.m_strHeaders.toLatin1() : QByteArray();
    outcome.lastModified = QString::fromLatin1(HeaderValue(headers, "Last-Modified"));
    outcome.contentType = QString::fromLatin1(HeaderValue(headers, "Content-Type"));
    if (outcome.state == PictureFacts::Saved) outcome.bytes = response.m_nReceived;
    return outcome;
}

// The request's attempts: a busy answer is waited out (the host pauses for every worker) and
// costs no attempt; the host gate hears how each one went.
PictureFacts SendThroughGate(CURLSource2& request, CURLResponse& response, const QString& host,
                               const std::atomic<bool>* abort, CHostGate& hosts)
{
    for (int busy = 1;; ++busy) {
        std::uint64_t wave = 0;
        switch (hosts.Admit(host, abort, wave)) {
        case CHostGate::Admission::Down:
            return {PictureFacts::Failed, hosts.DownReason(host)};
        case CHostGate::Admission::Aborted:
            return {PictureFacts::NotTried, {}};
        case CHostGate::Admission::Go:
            break;
        }
        // Left on every way out of this attempt, after its outcome was told to the gate.
        CHostGate::Sent sent(hosts, host);
        if (request.Send(response, FLAG_DECOMPRESS)) {
            sent.Answered();
            return {PictureFacts::Saved, {}};
        }
        if (IsBusyStatus(response.m_nStatus) && busy <= CHostGate::kMaxBusy &&
            hosts.Busy(host, wave, response.RetryAfterSeconds()))
            continue;
        // A busy answer past the limit fails the picture but leaves the host's count as it is.
        if (IsHostSilence(response.m_eFailure))
            hosts.Silent(host, !IsConnectionFailure(response.m_eFailure));
        else if (response.m_nStatus != 0 && !IsBusyStatus(response.m_nStatus))
            hosts.Answered(host);
        if (response.m_eFailure == FetchFailure::Aborted) return {PictureFacts::NotTried, {}};
        return {PictureFacts::Failed, response.FailureText()};
    }
}

// DownPicWorker: one picture, one request, one attempt besides the busy answers. A file already
// saved under the picture's name by an earlier run is kept, so a second run fetches only what is
// missing; in a folder made for this album there is none to look for.
PictureFacts FetchPicture(QString url, const QString& host, QString headers, QString savePath, bool mayBeOnDisk,
                            DownRunParams params, const std::atomic<bool>* abort, CHostGate& hosts,
                            TransferMeter& meter)
{
    struct stat onDisk {};
    if (mayBeOnDisk && ::stat(QFile::encodeName(savePath).constData(), &onDisk) == 0 && S_ISREG(onDisk.st_mode) &&
        onDisk.st_size > 0)
        return {PictureFacts::Skipped, {}, std::int64_t(onDisk.st_size)};
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
    request.m_pMeter = &meter;
    request.m_bKeepServerTime = params.keepServerTimes;
    PictureFacts outcome = SendThroughGate(request, response, host, abort, hosts);
    return params.keepFacts ? WithFacts(std::move(outcome), response) : outcome;
}
} // namespace

// One album's pictures in the pool, counted apart; a worker still in a transfer after a stop
// may hold it after the run has moved on.
struct CDownPool::Album {
    const CDownList* list = nullptr;
    int total = 0;
    int next = 0;     // the first picture not handed out
    // With a cap per host, pictures of a host with room may be handed out ahead of their turn:
    // which ones were (empty while none was).
    std::vector<char> handed;
    int done = 0;     // saved, failed, skipped or not tried
    int inFlight = 0; // handed out and not yet done
    int saved = 0;
    int failed = 0;
    int skipped = 0;
    std::vector<std::pair<int, QString>> failures; // picture index, reason
    std::vector<PictureFacts> facts;               // per picture, when they are kept
    std::chrono::steady_clock::time_point started{};
};

CDownPool::CDownPool(const std::atomic<bool>& stop, const DownRunParams& params)
    : m_bStopDown(stop), m_params(params), m_hosts(params.maxPerHost)
{
    const int threads = std::max<int>(1, params.nThreads);
    m_slots = std::make_unique<Slot[]>(size_t(threads));
    m_slotCount = threads;
    // One loop drives every transfer, as curl's own does: one poll for all of them. It moves
    // far more pictures a second than any line brings in, and a second loop on another core
    // would only cost each picture more, in switches between the threads and in the locks.
    for (int worker = 0; worker < threads; ++worker)
        if (!m_loop.Spawn([this, &slot = m_slots[size_t(worker)]] { Work(slot); })) break;
    try {
        m_runner = std::thread([this] { m_loop.Run(); });
    } catch (const std::system_error&) {
        // No thread, no worker: Add fails every picture.
    }
}

CDownPool::~CDownPool()
{
    {
        std::lock_guard guard(m_lock);
        m_closed = true;
    }
    m_loop.Notify();
    if (m_runner.joinable()) m_runner.join();
}

void CDownPool::Add(const CDownList& list)
{
    auto album = std::make_shared<Album>();
    album->list = &list;
    album->total = list.Count();
    if (m_params.keepFacts) album->facts.resize(size_t(album->total));
    if (!m_runner.joinable()) {
        // No worker at all: every picture counts as done, failed.
        const PictureFacts outcome{PictureFacts::Failed, QStringLiteral("无法启动下载线程")};
        album->next = album->total;
        for (int picture = 0; picture < album->total; ++picture)
            Finish(*album, picture, outcome);
    }
    {
        std::lock_guard guard(m_lock);
        m_waiting += album->total - album->next;
        m_albums.push_back(std::move(album));
    }
    m_loop.Notify();
}

bool CDownPool::TakePicture(Taken& taken, Slot& slot)
{
    std::unique_lock guard(m_lock);
    for (;;) {
        if (m_bStopDown) return false;
        while (m_handOut < m_albums.size() && m_albums[m_handOut]->next >= m_albums[m_handOut]->total)
            ++m_handOut;
        if (m_handOut < m_albums.size()) break;
        if (m_closed) return false;
        // The stop request is a flag nobody signals: it is looked at every status interval.
        guard.unlock();
        CFiberLoop::WaitForNews(std::chrono::steady_clock::now() + kStatusInterval);
        guard.lock();
    }
    taken.album = m_albums[m_handOut];
    Album& album = *taken.album;
    if (album.next == 0 && album.handed.empty()) album.started = std::chrono::steady_clock::now();
    taken.picture = PickPicture(album);
    ++album.inFlight;
    --m_waiting;
    // Copied while the list is sure to be there: it may go once the album is waited for.
    const CDownList& list = *album.list;
    taken.url = list.m_arrUrls[taken.picture];
    taken.host = CHostGate::HostOf(taken.url);
    taken.headers = list.m_arrHeaders.isEmpty() ? QString() : list.m_arrHeaders.value(taken.picture);
    taken.path = list.m_strSaveDir + list.m_arrNames[taken.picture];
    taken.mayBeOnDisk = !list.m_bNewFolder;
    slot.album = &album;
    slot.meter.Reset();
    m_room.notify_one();
    return true;
}

void CDownPool::Work(Slot& slot)
{
    // Each worker takes the next picture until the pool closes or a stop came. A host given up
    // fails its remaining pictures at once, at the gate.
    Taken taken;
    while (TakePicture(taken, slot)) {
        PictureFacts outcome =
            FetchPicture(std::move(taken.url), taken.host, std::move(taken.headers), std::move(taken.path),
                         taken.mayBeOnDisk, m_params, &m_bStopDown, m_hosts, slot.meter);
        std::lock_guard guard(m_lock);
        if (m_params.maxPerHost > 0) --m_handedToHost[taken.host];
        --taken.album->inFlight;
        slot.album = nullptr;
        const std::int64_t bytes = slot.meter.received;
        m_finishedBytes += bytes;
        if (outcome.state == PictureFacts::Saved) {
            m_savedBytes += bytes;
            ++m_savedPictures;
        }
        Finish(*taken.album, taken.picture, std::move(outcome));
    }
}

int CDownPool::PickPicture(Album& album)
{
    // The first picture not handed out, unless its host has its cap of pictures handed out and
    // one of the next few is on a host with room: that one goes first, so that a full host
    // holds no worker idle. Pictures are counted as they are handed out, before the gate admits
    // them, so that workers taking pictures together do not all take the same host's.
    int picture = album.next;
    const QStringList& urls = album.list->m_arrUrls;
    if (m_params.maxPerHost > 0) {
        const int end = std::min(album.total, album.next + kLookAhead);
        for (int i = album.next; i < end; ++i) {
            if (!album.handed.empty() && album.handed[size_t(i)]) continue;
            if (m_handedToHost.value(CHostGate::HostOf(urls[i])) < m_params.maxPerHost) {
                picture = i;
                break;
            }
        }
        ++m_handedToHost[CHostGate::HostOf(urls[picture])];
    }
    if (picture != album.next || !album.handed.empty()) {
        album.handed.resize(size_t(album.total), 0);
        album.handed[size_t(picture)] = 1;
        while (album.next < album.total && album.handed[size_t(album.next)])
            ++album.next;
    } else {
        ++album.next;
    }
    return picture;
}

int CDownPool::PictureHundredths(const Album& album) const
{
    double inFlight = 0;
    for (int i = 0; i < m_slotCount; ++i)
        if (m_slots[size_t(i)].album == &album) inFlight += m_slots[size_t(i)].meter.Fraction();
    return std::min(album.total * 100, album.done * 100 + int(inFlight * 100));
}

std::int64_t CDownPool::BytesReceived() const
{
    std::int64_t bytes = m_finishedBytes;
    for (int i = 0; i < m_slotCount; ++i)
        if (m_slots[size_t(i)].album) bytes += m_slots[size_t(i)].meter.received;
    return bytes;
}

void CDownPool::Estimate(const Album& album, RunProgress& progress)
{
    m_rate.Sample(std::chrono::steady_clock::now(), BytesReceived());
    progress.bytesPerSecond = m_rate.BytesPerSecond();
    progress.secondsLeft = -1;
    // The pictures still to come weigh what the saved ones did on average.
    if (progress.bytesPerSecond <= 0 || m_savedPictures == 0) return;
    const double picturesLeft = double(album.total * 100 - progress.pictureHundredths) / 100;
    const double bytesLeft = picturesLeft * double(m_savedBytes) / m_savedPictures;
    progress.secondsLeft = int(bytesLeft / double(progress.bytesPerSecond) + 0.5);
}

void CDownPool::Finish(Album& album, int picture, PictureFacts outcome)
{
    switch (outcome.state) {
    case PictureFacts::Saved:
        ++album.saved;
        break;
    case PictureFacts::Skipped:
        ++album.skipped;
        break;
    case PictureFacts::NotTried:
        break;
    case PictureFacts::Failed:
        // Counted with its reason, so that a summary never lists more reasons than failures.
        ++album.failed;
        album.failures.emplace_back(picture, outcome.reason);
        break;
    }
    // The waiting run looks at the count on its own every status interval; it is woken only for
    // an album's last picture and for a stop, so that a thousand small pictures do not wake it a
    // thousand times.
    if (++album.done >= album.total || m_bStopDown) m_progress.notify_all();
    if (!album.facts.empty()) album.facts[size_t(picture)] = std::move(outcome);
}

bool CDownPool::WaitForRoom(int limit)
{
    std::unique_lock guard(m_lock);
    while (!m_bStopDown && m_waiting > limit)
        m_room.wait_for(guard, kStatusInterval);
    return !m_bStopDown;
}

DownSummary CDownPool::WaitForAlbum(IFrontEnd* frontEnd, RunProgress progress, std::vector<PictureFacts>* facts)
{
    std::unique_lock guard(m_lock);
    if (m_albums.empty()) return {};
    const std::shared_ptr<Album> album = m_albums.front();
    const RunProgress before = progress;
    progress.pictures = album->total;
    int shownDone = -1;
    int shownHundredths = -1;
    std::int64_t shownRate = -1;
    auto shownAt = std::chrono::steady_clock::now();
    for (;;) {
        // After a stop, the transfers of the album already running are cut at once: their
        // outcomes are waited for, so that the counts are the files on disk.
        const bool stopped = m_bStopDown && album->inFlight == 0;
        const bool complete = album->done >= album->total;
        if (!stopped && !complete)
            m_progress.wait_for(guard, kStatusInterval,
                                [&] { return album->done >= album->total || (m_bStopDown && album->inFlight == 0); });
        const bool finished = album->done >= album->total;
        progress.picturesDone = album->done;
        progress.saved = before.saved + album->saved;
        progress.failed = before.failed + album->failed;
        progress.skipped = before.skipped + album->skipped;
        progress.pictureHundredths = PictureHundredths(*album);
        Estimate(*album, progress);
        guard.unlock();
        const QString pause = m_hosts.PauseNote();
        const auto now = std::chrono::steady_clock::now();
        // A finished picture or a pause is shown at once; bytes on their way and the speed a few
        // times a second.
        const bool moved = progress.pictureHundredths != shownHundredths || progress.bytesPerSecond != shownRate;
        const bool changed = progress.picturesDone != shownDone || pause != progress.pauseNote ||
                             (moved && now - shownAt >= kBytesInterval);
        progress.pauseNote = pause;
        if (changed && frontEnd && (finished || !m_bStopDown)) {
            frontEnd->Progress(progress);
            shownAt = now;
            shownHundredths = progress.pictureHundredths;
            shownRate = progress.bytesPerSecond;
        }
        shownDone = progress.picturesDone;
        guard.lock();
        if (finished || (m_bStopDown && album->inFlight == 0)) break;
    }
    m_albums.pop_front();
    if (m_handOut > 0) --m_handOut;
    DownSummary summary;
    summary.total = album->total;
    summary.saved = album->saved;
    summary.failed = album->failed;
    summary.skipped = album->skipped;
    summary.notTried = summary.total - summary.saved - summary.failed - summary.skipped;
    summary.stopped = m_bStopDown;
    if (album->started != std::chrono::steady_clock::time_point{})
        summary.seconds = int(std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                                                  album->started)
                                  .count());
    auto failures = std::move(album->failures);
    if (facts) *facts = std::exchange(album->facts, {});
    guard.unlock();
    std::sort(failures.begin(), failures.end());
    for (const auto& [picture, reason] : failures)
        summary.failures << album->list->m_arrNames[picture] + u": "_s + reason;
    return summary;
}

DownSummary CDownPool::Run(const CDownList& list, IFrontEnd* frontEnd, RunProgress progress)
{
    Add(list);
    return WaitForAlbum(frontEnd, progress);
}
