#include "download/DownloadDriver.h"

#include "MyCode/RequestWatch.h"
#include "MyCode/URLSource2.h"
#include "core/LumarexCore.h"
#include "download/AlbumDownload.h"
#include "download/AlbumMetadata.h"
#include "download/DownPool.h"
#include "download/History.h"
#include "download/ListFiles.h"
#include "download/Naming.h"

#include <QStringList>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

using namespace Qt::StringLiterals;

AlbumFiller FillWith(const PhotoLister& lister)
{
    return [lister](CAlbumDownload& album, int index) {
        if (lister) lister(album, index);
    };
}

QString PrepareRoot(CLumarexCore& core, const CListing& listing, const QString& savePathText)
{
    QString root = savePathText.trimmed();
    if (root.isEmpty()) {
        core.FrontEnd().ShowMessage(u"请先设置保存路径"_s);
        return {};
    }
    if (!root.endsWith(u'/')) root += u'/';
    root += listing.m_strOwnerName + listing.m_strOwnerSubDir;
    QString failedFolder;
    if (!MakeDirs(root, &failedFolder)) {
        core.FrontEnd().ShowMessage(failedFolder);
        core.FrontEnd().ShowMessage(u"请检测设置的保存路径是否有误"_s);
        return {};
    }
    return root;
}

namespace {
DownRunParams RunParams(const CLumarexCore& core, int kind)
{
    const ST_DOWNPARAM slot = core.DownParam(kind);
    const ServiceExtras extras = core.Extras(kind);
    DownRunParams params{slot.nThreads, slot.nTimeout, slot.nMinKB, slot.nMaxKB};
    params.maxPerHost = extras.maxPerHost;
    params.keepServerTimes = extras.keepServerTimes;
    params.keepFacts = extras.writeMetadata;
    return params;
}

// The album's metadata file, with the names the fix steps gave; pictures is empty when the pool
// kept no facts (nothing of the album was handed to it). A file that cannot be written is told
// once a run.
void WriteMetadata(CLumarexCore& core, const CListing& listing, const CAlbumDownload& album,
                   const ST_PERLISTRECORD& record, std::vector<PictureFacts> pictures, bool& failureTold)
{
    AlbumFacts facts;
    facts.service = listing.m_strService;
    facts.owner = QString(listing.m_strOwnerName).remove(u'/');
    facts.pageAddress = listing.m_strAddress;
    facts.albumName = record.strName;
    facts.albumId = record.strAlbumId;
    facts.countShown = record.nPicCount;
    facts.list = &album.m_downList;
    facts.descriptions = album.m_arrDescs;
    facts.pictures = std::move(pictures);
    facts.pictures.resize(size_t(album.m_downList.Count()));
    if (WriteAlbumMetadata(album.m_downList.m_strSaveDir, facts) || std::exchange(failureTold, true)) return;
    core.FrontEnd().ShowMessage(u"无法写入图集信息文件：%1"_s.arg(album.m_downList.m_strSaveDir + AlbumMetadataName()));
}

// After an album's pool: the history mark, then the fix steps (also after a stop). The mark
// moves only when every picture is on disk: a later run stops at it, so a picture that failed
// before it would never be fetched again. Runs stop at marks only with the skip option: then
// the album is flushed to the disk before its mark, so that a power cut cannot leave a mark
// above lost pictures; without it nothing waits for the disk.
void FinishAlbum(CAlbumDownload& album, const DownSummary& summary, bool stopRequested)
{
    CDownList& list = album.m_downList;
    if (!stopRequested && !summary.stopped && summary.listingError.isEmpty() && summary.AllSaved())
        WriteHistoryMark(list.m_arrUrls.front(), list.m_strSaveDir, album.HasOption(OPT_SKIP_OLD));
    if (album.HasOption(OPT_FIX_FORMAT)) FixPictureFormats(list);
    if (album.HasOption(OPT_FIX_ORDER)) FixPictureOrder(list, std::time(nullptr));
}
} // namespace

std::vector<int> TakeSelection(CLumarexCore& core, const std::vector<int>& selection)
{
    const int count = core.m_pAlbumList->Count();
    std::vector<int> albums;
    for (int album : selection)
        if (album >= 0 && album < count) albums.push_back(album);
    core.m_pAlbumList->nSelCount = int(albums.size());
    if (albums.empty()) core.FrontEnd().ShowMessage(NoAlbumSelectedMessage());
    return albums;
}

bool BeginAlbum(CLumarexCore& core)
{
    core.States().NextAlbum();
    return !core.States().DownloadStopRequested();
}

namespace {
// How far the listing runs ahead of the downloads: it waits while this many pictures per worker
// are listed and not yet handed out, or this many albums are listed and not yet finished, so
// that memory stays flat on an account of thousands of albums.
constexpr int kPicturesAheadPerThread = 4;
constexpr size_t kAlbumsAhead = 8;

// One album as the listing left it for the downloads.
struct ListedAlbum {
    int index = 0;
    std::unique_ptr<CAlbumDownload> album;
    QString listingError;
    bool stopped = false; // a stop came while it was listed
    bool queued = false;  // its pictures were handed to the pool
};

// What the albums of one run share: the listing thread fills the queue of listed albums in
// album order, the run's own thread takes them in the same order.
struct RunOfAlbums {
    RunOfAlbums(CLumarexCore& core, const CListing& listing, const QString& root, const AlbumFiller& fill,
                const std::vector<int>& albums, CDownPool& pool, int picturesAhead, bool writeMetadata)
        : core(core), listing(listing), root(root), fill(fill), albums(albums), pool(pool), picturesAhead(picturesAhead),
          writeMetadata(writeMetadata)
    {
    }

    CLumarexCore& core;
    const CListing& listing;
    const QString root;
    const AlbumFiller& fill;
    const std::vector<int>& albums;
    CDownPool& pool;
    int picturesAhead;
    const bool writeMetadata; // as the run's settings said at its start, like the pool's facts
    // The album whose listing may show its count line: the one the run waits for.
    std::atomic<int> shownAlbum{-1};
    bool metadataFailureTold = false; // on the run's own thread

    std::mutex lock;
    std::condition_variable changed;
    std::deque<ListedAlbum> listed;
    bool listingDone = false;

    bool Stopped() const { return core.States().DownloadStopRequested(); }
};

// Lets the filler list one album, watching its requests: a listing that ended at a failed
// request failed, unless a stop ended it; one the filler could not begin failed in any case.
// Returns the cause, or an empty text.
QString ListAlbum(RunOfAlbums& run, CAlbumDownload& album, int index)
{
    CRequestWatch watch(&run.core.States().DownloadStopFlag());
    run.fill(album, index);
    if (!album.m_strFailure.isEmpty()) return album.m_strFailure;
    const CRequestWatch::Outcome& last = watch.Last();
    if (run.Stopped() || !last.Failed()) return {};
    return u"图集列表获取失败："_s + FetchFailureText(last.failure, last.status);
}

// The listing side of a run: album after album, a bounded distance ahead of the downloads, one
// lister at a time as the services expect. An album with pictures to fetch goes to the pool at
// once, so that the workers take its first picture as soon as the album before has none left.
void ListAlbums(RunOfAlbums& run)
{
    for (const int index : run.albums) {
        {
            std::unique_lock guard(run.lock);
            while (!run.Stopped() && run.listed.size() >= kAlbumsAhead)
                run.changed.wait_for(guard, std::chrono::milliseconds(100));
        }
        if (!run.pool.WaitForRoom(run.picturesAhead) || !BeginAlbum(run.core)) break;
        ListedAlbum entry;
        entry.index = index;
        entry.album =
            std::make_unique<CAlbumDownload>(run.core, run.listing, run.root, &run.shownAlbum, run.writeMetadata);
        entry.listingError = ListAlbum(run, *entry.album, index);
        entry.stopped = run.Stopped();
        const CDownList& list = entry.album->m_downList;
        entry.queued = !entry.stopped && !entry.album->HasOption(OPT_LIST_ONLY) && list.Count() > 0;
        if (entry.queued) run.pool.Add(list);
        std::lock_guard guard(run.lock);
        run.listed.push_back(std::move(entry));
        run.changed.notify_all();
        if (run.listed.back().stopped) break;
    }
    std::lock_guard guard(run.lock);
    run.listingDone = true;
    run.changed.notify_all();
}

// The next album the listing left, in album order; no value when the listing has ended.
std::optional<ListedAlbum> NextListed(RunOfAlbums& run)
{
    std::unique_lock guard(run.lock);
    run.changed.wait(guard, [&] { return !run.listed.empty() || run.listingDone; });
    if (run.listed.empty()) return std::nullopt;
    ListedAlbum entry = std::move(run.listed.front());
    run.listed.pop_front();
    run.changed.notify_all();
    return entry;
}

// One listed album: downloaded by the pool (or written to its list file), its mark and fix
// steps applied; what it came to, or no value for an album only listed to a file.
std::optional<DownSummary> DownloadAlbum(RunOfAlbums& run, ListedAlbum& entry, QString& folder,
                                         const RunProgress& progress)
{
    CLumarexCore& core = run.core;
    CAlbumDownload& album = *entry.album;
    const CDownList& list = album.m_downList;
    folder = list.m_strSaveDir;
    const bool stopped = entry.stopped || (!entry.queued && run.Stopped());
    if (album.HasOption(OPT_LIST_ONLY) && !stopped && list.Count() > 0) {
        WriteDownList(list.m_strSaveDir + FitFileName(core.m_pAlbumList->At(entry.index).strName, u".lst"_s),
                      list.m_arrUrls);
        return std::nullopt;
    }
    DownSummary summary;
    std::vector<PictureFacts> facts;
    if (entry.queued) {
        core.FrontEnd().SetStatusText(StatusLine::Counts, u"已开始下载图片"_s);
        core.SetPoolFolder(list.m_strSaveDir);
        summary = run.pool.WaitForAlbum(&core.FrontEnd(), progress, &facts);
        core.SetPoolFolder({});
    } else if (stopped) {
        summary.total = summary.notTried = list.Count();
        summary.stopped = true;
    }
    const ST_PERLISTRECORD record = core.m_pAlbumList->At(entry.index);
    summary.album = entry.index;
    summary.name = record.strName;
    summary.declared = record.nPicCount;
    summary.listingError = entry.listingError;
    if (list.Count() > 0) {
        FinishAlbum(album, summary, run.Stopped());
        if (album.m_bWriteMetadata)
            WriteMetadata(core, run.listing, album, record, std::move(facts), run.metadataFailureTold);
    }
    return summary;
}

// Starts the listing on a thread of its own; where none can start, the albums are listed
// first, all of them, on this one.
std::optional<std::thread> StartListing(RunOfAlbums& run)
{
    try {
        return std::thread([&run] { ListAlbums(run); });
    } catch (const std::system_error&) {
        ListAlbums(run);
        return std::nullopt;
    }
}
} // namespace

bool DownloadDriver(CLumarexCore& core, const CListing& listing, const QString& savePathText,
                    const std::vector<int>& selection, const AlbumFiller& fill)
{
    const QString root = PrepareRoot(core, listing, savePathText);
    if (root.isEmpty()) {
        core.States().EndDownload();
        return false;
    }
    core.SetDownloadUi(true);
    const std::vector<int> albums = TakeSelection(core, selection);
    const DownRunParams params = RunParams(core, listing.m_nSourceKind);
    DownSummary total;
    int listed = 0;
    QString lastFolder = root;
    {
        CDownPool pool(core.States().DownloadStopFlag(), params);
        RunOfAlbums run(core, listing, root, fill, albums, pool,
                        kPicturesAheadPerThread * std::max<int>(1, params.nThreads), params.keepFacts);
        std::optional<std::thread> lister = StartListing(run);
        RunProgress progress;
        progress.albums = int(albums.size());
        for (int number = 1;; ++number) {
            progress.album = number;
            progress.picturesDone = 0;
            progress.pictures = -1;
            if (number <= progress.albums && !run.Stopped()) {
                run.shownAlbum = albums[size_t(number - 1)];
                core.FrontEnd().Progress(progress);
            }
            std::optional<ListedAlbum> entry = NextListed(run);
            if (!entry) break;
            listed += entry->album->m_downList.Count();
            const std::optional<DownSummary> album = DownloadAlbum(run, *entry, lastFolder, progress);
            if (!album) continue;
            total.Add(*album);
            progress.saved = total.saved;
            progress.failed = total.failed;
            progress.skipped = total.skipped;
            core.FrontEnd().DownloadFinished(*album, lastFolder);
        }
        if (lister) lister->join();
    }
    total.stopped = total.stopped || core.States().DownloadStopRequested();
    core.SetDownloadUi(false);
    if (total.stopped) core.FrontEnd().SetStatusText(StatusLine::Phase, u"已停止"_s);
    core.FrontEnd().RunFinished(total);
    if (listed > 0 && (core.NameSet(listing.m_nSourceKind).nOptions & OPT_OPEN_FOLDER))
        core.FrontEnd().OpenFolder(lastFolder);
    return true;
}
