// Names pictures and albums that all share a name, through the same calls the listers use.
// Prints seconds per run; naming is linear when doubling the count about doubles the time.
#include "core/LumarexCore.h"
#include "download/AlbumDownload.h"
#include "support/ScriptedFrontEnd.h"
#include "support/TempFolder.h"

#include <QElapsedTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
// One album of count pictures with one description, listed without downloading.
void SameDescribedPictures(int count)
{
    TempFolder appDir;
    TempFolder saveRoot;
    ScriptedFrontEnd frontEnd;
    CLumarexCore core{frontEnd, appDir.path()};
    core.LoadSoftData();
    ST_PERLISTRECORD album;
    album.strName = u"Taobao item"_s;
    core.AddAlbumRecord(album);
    core.States().BeginDownload();
    CAlbumDownload run(core, core.Listing(), saveRoot.path());

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        run.AddPicture(u"http://img.example.com/item/%1.jpg"_s.arg(i), u"宝贝描述_价格99元"_s, {}, 0);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%6d same-described pictures: %8.3f s (last name %s)\n", count, seconds,
                qPrintable(run.m_downList.m_arrNames.back()));
}

// count albums whose names repeat `repeats` times each.
void RepeatedAlbumNames(int count, int repeats)
{
    TempFolder appDir;
    ScriptedFrontEnd frontEnd;
    CLumarexCore core{frontEnd, appDir.path()};
    core.LoadSoftData();
    ST_PERLISTRECORD album;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        album.strName = u"相册 %1"_s.arg(i / repeats);
        core.AddAlbumRecord(album);
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%6d albums, names repeated %d times: %8.3f s (last name %s)\n", count, repeats, seconds,
                qPrintable(core.m_pAlbumList->At(count - 1).strName));
}
} // namespace

int main()
{
    SameDescribedPictures(10000);
    SameDescribedPictures(20000);
    RepeatedAlbumNames(10000, 20);
    RepeatedAlbumNames(20000, 20);
    return 0;
}
