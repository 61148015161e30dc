#include "download/DownloadDriver.h"

#include "core/LumarexCore.h"
#include "download/AlbumDownload.h"
#include "download/DownPool.h"
#include "download/History.h"
#include "download/ListFiles.h"
#include "download/Naming.h"

#include <ctime>

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
    if (!core.States().DownloadStopRequested() && !summary.stopped && summary.AllSaved())
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

bool DownloadDriver(CLumarexCore& core, const CListing& listing, const QString& savePathText,
                    const std::vector<int>& selection, const AlbumFiller& fill)
{
    const QString root = PrepareRoot(core, listing, savePathText);
    if (root.isEmpty()) {
        core.States().EndDownload();
        return false;
    }
    core.SetDownloadUi(true);
    const DownRunParams params = RunParams(core, listing.m_nSourceKind);
    const std::vector<int> albums = TakeSelection(core, selection);

    CDownPool pool(core.States().DownloadStopFlag());
    DownSummary run;
    RunProgress progress;
    progress.albums = int(albums.size());
    int listed = 0;
    QString lastFolder = root;
    for (size_t i = 0; i < albums.size(); ++i) {
        if (!BeginAlbum(core)) break;
        progress.album = int(i) + 1;
        progress.picturesDone = 0;
        progress.pictures = -1;
        core.FrontEnd().Progress(progress);
        CAlbumDownload album(core, listing, root);
        fill(album, albums[i]);
        const CDownList& list = album.m_downList;
        lastFolder = list.m_strSaveDir;
        if (list.Count() == 0 || core.States().DownloadStopRequested()) continue;
        listed += list.Count();
        if (album.HasOption(OPT_LIST_ONLY)) {
            const QString name = core.m_pAlbumList->At(albums[i]).strName;
            WriteDownList(list.m_strSaveDir + FitFileName(name, u".lst"_s), list.m_arrUrls);
            continue;
        }
        core.FrontEnd().SetStatusText(StatusLine::Counts, u"已开始下载图片"_s);
        core.SetPoolFolder(list.m_strSaveDir);
        const DownSummary summary = pool.Run(list, params, &core.FrontEnd(), progress);
        core.SetPoolFolder({});
        run.Add(summary);
        progress.saved = run.saved;
        progress.failed = run.failed;
        progress.skipped = run.skipped;
        FinishAlbum(core, album, summary);
    }
    run.stopped = run.stopped || core.States().DownloadStopRequested();
    core.SetDownloadUi(false);
    core.FrontEnd().RunFinished(run);
    if (listed > 0 && (core.NameSet(listing.m_nSourceKind).nOptions & OPT_OPEN_FOLDER)) core.FrontEnd().OpenFolder(lastFolder);
    return true;
}
