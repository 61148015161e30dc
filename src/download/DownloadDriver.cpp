#include "download/DownloadDriver.h"

#include "MyCode/RequestWatch.h"
#include "MyCode/URLSource2.h"
#include "core/LumarexCore.h"
#include "download/AlbumDownload.h"
#include "download/DownPool.h"
#include "download/History.h"
#include "download/ListFiles.h"
#include "download/Naming.h"

#include <ctime>
#include <optional>

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
    return {slot.nThreads, slot.nTimeout, slot.nMinKB, slot.nMaxKB};
}

// After an album's pool: the history mark, then the fix steps (also after a stop). The mark
// moves only when every picture is on disk: a later run stops at it, so a picture that failed
// before it would never be fetched again. Runs stop at marks only with the skip option: then
// the album is flushed to the disk before its mark, so that a power cut cannot leave a mark
// above lost pictures; without it nothing waits for the disk.
void FinishAlbum(CLumarexCore& core, CAlbumDownload& album, const DownSummary& summary)
{
    CDownList& list = album.m_downList;
    if (!core.States().DownloadStopRequested() && !summary.stopped && summary.listingError.isEmpty() &&
        summary.AllSaved())
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
// What the albums of one run share.
struct RunOfAlbums {
    CLumarexCore& core;
    const CListing& listing;
    const QString root;
    const AlbumFiller& fill;
    const DownRunParams params;
    CDownPool pool;
    RunProgress progress;
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
    if (run.core.States().DownloadStopRequested() || !last.Failed()) return {};
    return u"图集列表获取失败："_s + FetchFailureText(last.failure, last.status);
}

// One album: listed (counted into listed), then downloaded by the pool (or written to its list
// file), its mark and fix steps applied; what it came to, or no value for an album only listed
// to a file.
std::optional<DownSummary> DownloadAlbum(RunOfAlbums& run, int index, QString& folder, int& listed)
{
    CLumarexCore& core = run.core;
    CAlbumDownload album(core, run.listing, run.root);
    const QString listingError = ListAlbum(run, album, index);
    const CDownList& list = album.m_downList;
    folder = list.m_strSaveDir;
    listed += list.Count();
    const bool stopped = core.States().DownloadStopRequested();
    if (album.HasOption(OPT_LIST_ONLY) && !stopped && list.Count() > 0) {
        WriteDownList(list.m_strSaveDir + FitFileName(core.m_pAlbumList->At(index).strName, u".lst"_s), list.m_arrUrls);
        return std::nullopt;
    }
    DownSummary summary;
    if (stopped) {
        summary.total = summary.notTried = list.Count();
        summary.stopped = true;
    } else if (list.Count() > 0) {
        core.FrontEnd().SetStatusText(StatusLine::Counts, u"已开始下载图片"_s);
        core.SetPoolFolder(list.m_strSaveDir);
        summary = run.pool.Run(list, run.params, &core.FrontEnd(), run.progress);
        core.SetPoolFolder({});
    }
    const ST_PERLISTRECORD record = core.m_pAlbumList->At(index);
    summary.album = index;
    summary.name = record.strName;
    summary.declared = record.nPicCount;
    summary.listingError = listingError;
    if (list.Count() > 0) FinishAlbum(core, album, summary);
    return summary;
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
    RunOfAlbums run{core, listing, root, fill, RunParams(core, listing.m_nSourceKind),
                    CDownPool(core.States().DownloadStopFlag()), {}};
    run.progress.albums = int(albums.size());
    DownSummary total;
    int listed = 0;
    QString lastFolder = root;
    for (size_t i = 0; i < albums.size(); ++i) {
        if (!BeginAlbum(core)) break;
        run.progress.album = int(i) + 1;
        run.progress.picturesDone = 0;
        run.progress.pictures = -1;
        core.FrontEnd().Progress(run.progress);
        const std::optional<DownSummary> album = DownloadAlbum(run, albums[i], lastFolder, listed);
        if (!album) continue;
        total.Add(*album);
        run.progress.saved = total.saved;
        run.progress.failed = total.failed;
        run.progress.skipped = total.skipped;
        core.FrontEnd().DownloadFinished(*album, lastFolder);
    }
    total.stopped = total.stopped || core.States().DownloadStopRequested();
    core.SetDownloadUi(false);
    if (total.stopped) core.FrontEnd().SetStatusText(StatusLine::Phase, u"已停止"_s);
    core.FrontEnd().RunFinished(total);
    if (listed > 0 && (core.NameSet(listing.m_nSourceKind).nOptions & OPT_OPEN_FOLDER))
        core.FrontEnd().OpenFolder(lastFolder);
    return true;
}
