// Names pictures and albums that all share a name, through the same calls the listers use, and
// the pictures of import lists. Prints seconds per run; naming is linear when doubling the count
// about doubles the time.
#include "core/LumarexCore.h"
#include "download/AlbumDownload.h"
#include "download/ImportList.h"
#include "support/ScriptedFrontEnd.h"
#include "support/TempFolder.h"

#include <QElapsedTimer>
#include <QFile>

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
// An import of the list text, listed only (the list-only option writes the addresses to a file
// instead of fetching them): the naming of its pictures and nothing else.
double ImportListed(const QByteArray& listText)
{
    TempFolder appDir;
    TempFolder saveRoot;
    ScriptedFrontEnd frontEnd;
    CLumarexCore core{frontEnd, appDir.path()};
    core.LoadSoftData();
    core.EditSoft([&](ST_SOFTDATA& soft) { soft.names[core.m_nSourceKind].nOptions = OPT_LIST_ONLY; });
    QFile list(saveRoot.file(u"list.txt"_s));
    list.open(QIODevice::WriteOnly);
    list.write(listText);
    list.close();
    core.States().BeginDownload();
    QElapsedTimer timer;
    timer.start();
    ImportAndDownload(core, list.fileName(), saveRoot.path() + u"out"_s);
    return double(timer.nsecsElapsed()) / 1e9;
}

// count addresses whose last segment is one and the same ("show.php?id=N").
void SameNamedImport(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "http://pics.example.com/show.php?id=" + QByteArray::number(i) + "\n";
    std::printf("%6d imported addresses of one file name: %8.3f s\n", count, ImportListed(text));
}

// count addresses that all name one "out=" path.
void RepeatedOutImport(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "http://pics.example.com/" + QByteArray::number(i) + ".jpg\n  out=a/x.jpg\n";
    std::printf("%6d imported addresses of one out= path: %8.3f s\n", count, ImportListed(text));
}

// One address whose "out=" name is megabytes long (three UTF-8 bytes a character).
void LongOutImport(int megabytes)
{
    const QByteArray name = QString(megabytes * 1024 * 1024 / 3, u'名').toUtf8();
    const QByteArray text = "http://pics.example.com/1.jpg\n  out=" + name + ".jpg\n";
    std::printf("%6d MB out= name: %8.3f s\n", megabytes, ImportListed(text));
}
} // namespace

int main()
{
    SameDescribedPictures(10000);
    SameDescribedPictures(20000);
    RepeatedAlbumNames(10000, 20);
    RepeatedAlbumNames(20000, 20);
    SameNamedImport(10000);
    SameNamedImport(20000);
    RepeatedOutImport(5000);
    RepeatedOutImport(10000);
    RepeatedOutImport(20000);
    LongOutImport(1);
    LongOutImport(2);
    return 0;
}
