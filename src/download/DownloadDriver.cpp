#include "download/DownloadDriver.h"

#include "core/LumarexCore.h"
#include "download/DownPool.h"
#include "download/History.h"
#include "download/ListFiles.h"
#include "download/Naming.h"
#include "sources/Registry.h"

#include <ctime>

using namespace Qt::StringLiterals;

QString DownSummaryText(const DownSummary& summary)
{
    return u"已保存%1张，失败%2张，跳过%3张，用时%4秒"_s.arg(summary.saved)
        .arg(summary.failed)
        .arg(summary.skipped)
        .arg(summary.seconds);
}

QString NoAlbumSelectedMessage()
{
    return u"请先在相册列表中勾选要下载的相册"_s;
}

namespace {
// The download root: save path, owner folder and owner sub-folder, created; empty on failure.
QString PrepareRoot(CLumarexCore& core, const QString& savePathText)
{
    QString root = savePathText.trimmed();
    if (root.isEmpty()) {
        core.FrontEnd().ShowMessage(u"请先设置保存路径"_s);
        return {};
    }
    if (!root.endsWith(u'/')) root += u'/';
    root += core.m_strOwnerName + core.m_strOwnerSubDir;
    QString failedFolder;
    if (!MakeDirs(root, &failedFolder)) {
        core.FrontEnd().ShowMessage(failedFolder);
        core.FrontEnd().ShowMessage(u"请检测设置的保存路径是否有误"_s);
        return {};
    }
    return root;
}

DownRunParams RunParams(const CLumarexCore& core)
{
    const ST_DOWNPARAM slot = core.DownParam(core.m_nSourceKind);
    return {slot.nThreads, slot.nTimeout, slot.nMinKB, slot.nMaxKB};
}

// Lists one album into the download list; false when the album is to be skipped.
bool ListAlbum(CLumarexCore& core, int album, const AlbumPictureLister& override)
{
    if (override) {
        override(core, album);
        return core.m_downList.Count() > 0 && core.m_nDownState != DOWN_STOP;
    }
    const int kind = core.m_nSourceKind;
    if (kind < 0 || kind >= kFamilyCount) {
        core.FrontEnd().ShowMessage(u"Error ListType Code."_s);
        return false;
    }
    if (const PhotoLister lister = PhotoListerFor(kind, core.m_nSubKind)) lister(core, album);
    return core.m_downList.Count() > 0 && core.m_nDownState != DOWN_STOP;
}

// After an album's pool: the history mark, then the fix steps (also after a stop). The mark
// moves only when every picture is on disk: a later run stops at it, so a picture that failed
// before it would never be fetched again. Runs stop at marks only with the skip option: then
// the album is flushed to the disk before its mark, so that a power cut cannot leave a mark
// above lost pictures; without it nothing waits for the disk.
void FinishAlbum(CLumarexCore& core, const DownSummary& album)
{
    CDownList& list = core.m_downList;
    if (core.m_nDownState != DOWN_STOP && !album.stopped && album.AllSaved())
        WriteHistoryMark(list.m_arrUrls.front(), list.m_strSaveDir, core.HasOption(OPT_SKIP_OLD));
    if (core.HasOption(OPT_FIX_FORMAT)) FixPictureFormats(list);
    if (core.HasOption(OPT_FIX_ORDER)) FixPictureOrder(list, std::time(nullptr));
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

bool BeginAlbum(CLumarexCore& core, const QString& root)
{
    // A stop request stays.
    std::uint8_t atHistory = DOWN_AT_HISTORY;
    core.m_nDownState.compare_exchange_strong(atHistory, DOWN_RUNNING);
    if (core.m_nDownState == DOWN_STOP) return false;
    core.m_downList.Clear();
    core.m_downList.m_strSaveDir = root;
    return true;
}

bool DownloadDriver(CLumarexCore& core, const QString& savePathText, const std::vector<int>& selection,
                    const AlbumPictureLister& lister)
{
    const QString root = PrepareRoot(core, savePathText);
    if (root.isEmpty()) {
        core.m_nDownState = DOWN_IDLE;
        return false;
    }
    core.SetDownloadUi(true);
    CDownList& list = core.m_downList;
    list.m_strSaveDir = root;
    const DownRunParams params = RunParams(core);
    const std::vector<int> albums = TakeSelection(core, selection);

    CDownPool pool(core.m_bStopDown, core.m_bPoolRunning);
    DownSummary run;
    int listed = 0;
    for (size_t i = 0; i < albums.size(); ++i) {
        if (!BeginAlbum(core, root)) break;
        core.FrontEnd().SetStatusText(STATUS_PHASE, u"正在下载第%1/%2个图集"_s.arg(i + 1).arg(albums.size()));
        core.FrontEnd().SetStatusText(STATUS_COUNTS, u"......"_s);
        if (!ListAlbum(core, albums[i], lister)) continue;
        listed += list.Count();
        if (core.HasOption(OPT_LIST_ONLY)) {
            const QString name = core.m_pAlbumList->At(albums[i]).strName;
            WriteDownList(list.m_strSaveDir + FitFileName(name, u".lst"_s), list.m_arrUrls);
            continue;
        }
        core.FrontEnd().SetStatusText(STATUS_COUNTS, u"已开始下载图片"_s);
        core.SetPoolFolder(list.m_strSaveDir);
        const DownSummary album = pool.Run(list, params, &core.FrontEnd());
        run.Add(album);
        FinishAlbum(core, album);
    }
    run.stopped = run.stopped || core.m_nDownState == DOWN_STOP;
    core.SetDownloadUi(false);
    core.FrontEnd().RunFinished(run);
    if (listed > 0 && core.HasOption(OPT_OPEN_FOLDER)) core.FrontEnd().OpenFolder(list.m_strSaveDir);
    return true;
}
