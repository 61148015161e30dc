#include "core/LumarexCore.h"
#include "download/AlbumDownload.h"
#include "download/History.h"
#include "download/ListFiles.h"
#include "download/Naming.h"
#include "support/ScriptedFrontEnd.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ST_PERLISTRECORD Album(const QString& name)
{
    ST_PERLISTRECORD album;
    album.strName = name;
    return album;
}

class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core.LoadSoftData();
        core.m_bReady = true;
    }
    void SetOptions(std::uint8_t options)
    {
        core.EditSoft([&](ST_SOFTDATA& soft) { soft.names[core.m_nSourceKind].nOptions = options; });
    }
    // Starts listing album index for download the way the driver does.
    void StartAlbum()
    {
        core.States().EndDownload();
        core.States().BeginDownload();
        album = std::make_unique<CAlbumDownload>(core, core.Listing(), saveRoot.path());
    }
    const CDownList& Pictures() const { return album->m_downList; }

    TempFolder appDir;
    TempFolder saveRoot;
    ScriptedFrontEnd frontEnd;
    CLumarexCore core{frontEnd, appDir.path()};
    std::unique_ptr<CAlbumDownload> album;
};
} // namespace

TEST(RecordLabels, CountAndPrivacy)
{
    EXPECT_EQ(FormatPicCount(-1), u"未知"_s);
    EXPECT_EQ(FormatPicCount(7), u"   7"_s);
    EXPECT_EQ(FormatPicCount(12345), u"12345"_s);
    EXPECT_EQ(FormatPrivacy(3), u"加密相册"_s);
    EXPECT_EQ(FormatPrivacy(6), u"私密相册"_s);
    EXPECT_EQ(FormatPrivacy(4), u"好友可见"_s);
    EXPECT_EQ(FormatPrivacy(0), QString());
    EXPECT_EQ(FormatPrivacy(int(0x80000005u)), u"00000005"_s);
}

TEST_F(RecordsTest, AlbumNamesAreCleanedAndMadeUnique)
{
    for (const QString& name : {u"A"_s, u"A"_s, u"A (1)"_s, u"a.b"_s})
        core.AddAlbum(Album(name));
    EXPECT_EQ(core.m_pAlbumList->At(0).strName, u"A"_s);
    EXPECT_EQ(core.m_pAlbumList->At(1).strName, u"A (1)"_s);
    EXPECT_EQ(core.m_pAlbumList->At(2).strName, u"A (1) (1)"_s);
    EXPECT_EQ(core.m_pAlbumList->At(3).strName, u"a\u3002b"_s);
    EXPECT_EQ(core.m_pAlbumList->At(3).nIndex, 3);
    EXPECT_EQ(core.m_pAlbumList->At(3).nImageIndex, -1);
    EXPECT_EQ(frontEnd.AlbumsAdded(), 4);
    EXPECT_TRUE(core.HasAlbumName(u"A (1)"_s));
    EXPECT_FALSE(core.HasAlbumName(u"a (1)"_s));
    core.ClearAlbums();
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
}

TEST_F(RecordsTest, AlbumsNeverShareAFolder)
{
    // Lone surrogates all reach the disk as one character; a deleted "/" leaves a double space
    // that the folder's own cleaning folds; a doubly escaped "&" is decoded once more there.
    const QStringList names{u"x"_s + QChar(0xD800), u"x"_s + QChar(0xDBFF),   u"x"_s + QChar(0xDC00), u"Trip / Day 1"_s,
                            u"Trip Day 1"_s,        u"Tom &amp;amp; Jerry"_s, u"Tom & Jerry"_s};
    for (const QString& name : names)
        core.AddAlbum(Album(name));
    const QString x = u"x"_s + QChar(QChar::ReplacementCharacter);
    EXPECT_EQ(core.m_pAlbumList->At(0).strName, x);
    EXPECT_EQ(core.m_pAlbumList->At(1).strName, x + u" (1)"_s);
    EXPECT_EQ(core.m_pAlbumList->At(2).strName, x + u" (2)"_s);
    EXPECT_EQ(core.m_pAlbumList->At(4).strName, u"Trip Day 1 (1)"_s);
    EXPECT_EQ(core.m_pAlbumList->At(6).strName, u"Tom & Jerry (1)"_s);
    const ST_NAMESET settings = core.NameSet(core.m_nSourceKind);
    QSet<QByteArray> folders;
    for (int i = 0; i < core.m_pAlbumList->Count(); ++i)
        folders.insert(MakeAlbumDirName(core.m_pAlbumList->At(i), settings).toUtf8());
    EXPECT_EQ(folders.size(), names.size());

    // A name learnt later takes its folder along; the old one is free again.
    core.m_pAlbumList->SetName(4, u"Later"_s);
    EXPECT_TRUE(core.HasAlbumName(u"Later"_s));
    EXPECT_FALSE(core.HasAlbumName(u"Trip Day 1 (1)"_s));
    EXPECT_TRUE(core.HasAlbumName(u"Trip  Day 1"_s));
}

TEST_F(RecordsTest, NamelessAlbumsTakeTheTimeStampAndCounters)
{
    for (int i = 0; i < 3; ++i)
        core.AddAlbumRecord(Album(QString()));
    const QString first = core.m_pAlbumList->At(0).strName;
    ASSERT_EQ(first.size(), 14);
    // The three may straddle a second; each later one is unique either way.
    const QString second = core.m_pAlbumList->At(1).strName;
    const QString third = core.m_pAlbumList->At(2).strName;
    if (second.startsWith(first)) {
        EXPECT_EQ(second, first + u" (1)"_s);
        if (third.startsWith(first)) {
            EXPECT_EQ(third, first + u" (2)"_s);
        }
    }
    EXPECT_NE(second, third);
}

TEST_F(RecordsTest, AddAlbumBeforeReadyDoesNothing)
{
    core.m_bReady = false;
    core.AddAlbum(Album(u"x"_s));
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
}

TEST_F(RecordsTest, PicturesGetUniqueNamesInTheAlbumFolder)
{
    core.AddAlbumRecord(Album(u"Holiday"_s));
    StartAlbum();
    album->AddPicture(u"http://h/1.jpg"_s, u"x"_s, {}, 0);
    album->AddPicture(u"http://h/2.jpg"_s, u"X"_s, u"Referer: http://h/\r\n"_s, 0);
    album->AddPicture(u"http://h/3.jpg"_s, u"x"_s, {}, 0);
    album->AddPicture(u"http://h/4.jpg"_s, u"y.png"_s, {}, 0);
    const CDownList& list = Pictures();
    EXPECT_EQ(list.m_strSaveDir, saveRoot.path() + u"Holiday/"_s);
    EXPECT_TRUE(QDir(list.m_strSaveDir).exists());
    EXPECT_EQ(list.m_arrNames, (QStringList{u"x.jpg"_s, u"X (1).jpg"_s, u"x (2).jpg"_s, u"y\u3002png.jpg"_s}));
    EXPECT_EQ(list.m_arrHeaders[1], u"Referer: http://h/\r\n"_s);
    EXPECT_EQ(list.m_arrUrls.size(), 4);
    EXPECT_EQ(frontEnd.Status(StatusLine::Counts), u"已获取到4张图片信息"_s);
}

TEST_F(RecordsTest, HostileDescriptionsStayInsideTheAlbumFolder)
{
    core.AddAlbumRecord(Album(u"../up"_s));
    StartAlbum();
    for (const QString& desc : {u"../../x"_s, u"/etc/x"_s, u"C:\\pics\\a.png"_s})
        album->AddPicture(u"http://h/p.jpg"_s, desc, {}, 0);
    const CDownList& list = Pictures();
    EXPECT_EQ(list.m_strSaveDir, saveRoot.path() + u"\u3002\u3002up/"_s);
    for (const QString& name : list.m_arrNames) {
        EXPECT_FALSE(name.contains(u'/')) << name.toStdString();
        EXPECT_TRUE(name.endsWith(u".jpg"_s));
    }
    EXPECT_EQ(list.m_arrNames[2], u"Cpicsa\u3002png.jpg"_s);
}

TEST_F(RecordsTest, HistoryMarkStopsTheListing)
{
    SetOptions(OPT_SKIP_OLD);
    core.AddAlbumRecord(Album(u"A"_s));
    QDir().mkpath(saveRoot.path() + u"A"_s);
    WriteHistoryMark(u"http://h/3.jpg"_s, saveRoot.path() + u"A/"_s);
    StartAlbum();
    for (int i = 1; i <= 5 && !core.States().AlbumListingEnded(); ++i)
        album->AddPicture(u"http://h/%1.jpg"_s.arg(i), u"p"_s, {}, 0);
    EXPECT_EQ(Pictures().Count(), 2);
    EXPECT_TRUE(core.States().AlbumListingEnded());
    EXPECT_FALSE(core.States().DownloadStopRequested());

    // With the option off the mark is never consulted.
    SetOptions(0);
    StartAlbum();
    for (int i = 1; i <= 5; ++i)
        album->AddPicture(u"http://h/%1.jpg"_s.arg(i), u"p"_s, {}, 0);
    EXPECT_EQ(Pictures().Count(), 5);
    EXPECT_FALSE(core.States().AlbumListingEnded());
}

TEST_F(RecordsTest, PictureNameFileHasTheByteOrderMarkAndOneLineEach)
{
    SetOptions(OPT_NAME_FILE);
    core.AddAlbumRecord(Album(u"N"_s));
    StartAlbum();
    album->AddPicture(u"http://h/1.jpg"_s, u"ab"_s, {}, 0);
    album->AddPicture(u"http://h/2.jpg"_s, u"c"_s, {}, 0);
    const QString path = saveRoot.path() + u"N/N.txt"_s;
    EXPECT_EQ(ReadAll(path), QByteArray("\xFF\xFE"
                                        "a\0b\0\r\0\n\0c\0\r\0\n\0",
                                        16));

    // Listing the album again starts the file anew.
    StartAlbum();
    album->AddPicture(u"http://h/1.jpg"_s, u"c"_s, {}, 0);
    EXPECT_EQ(ReadAll(path).size(), 8);
}

TEST(History, MarkIsAHiddenUtf16FileAndWindowsCopiesAreRead)
{
    TempFolder dir;
    EXPECT_EQ(ReadHistoryMark(dir.path()), QString());
    WriteHistoryMark(u"http://h/图.jpg"_s, dir.path());
    EXPECT_EQ(ReadAll(dir.file(u".pic.zrv"_s)), QByteArray("h\0t\0t\0p\0:\0/\0/\0h\0/\0\xfe\x56.\0j\0p\0g\0", 28));
    EXPECT_EQ(ReadHistoryMark(dir.path()), u"http://h/图.jpg"_s);

    TempFolder fromWindows;
    QFile legacy(fromWindows.file(u"pic.zrv"_s));
    ASSERT_TRUE(legacy.open(QIODevice::WriteOnly));
    legacy.write(QByteArray("a\0b\0\n\0c\0", 8));
    legacy.close();
    EXPECT_EQ(ReadHistoryMark(fromWindows.path()), u"ab"_s);
}

TEST(ListFiles, DownListIsGbkWithCrLf)
{
    TempFolder dir;
    ASSERT_TRUE(WriteDownList(dir.file(u"a.lst"_s), {u"http://h/相册/1.jpg"_s, u"http://h/2.jpg"_s}));
    EXPECT_EQ(ReadAll(dir.file(u"a.lst"_s)), QByteArray("http://h/\xCF\xE0\xB2\xE1/1.jpg\r\nhttp://h/2.jpg\r\n"));
    EXPECT_FALSE(WriteDownList(dir.file(u"missing/a.lst"_s), {u"x"_s}));
}

// Thousands of same-named entries resume their "(n)" search where the name left it, and still
// step over every form some other name took meanwhile.
TEST_F(RecordsTest, ThousandsOfSameNamedPicturesFollowTheCounterRule)
{
    core.AddAlbumRecord(Album(u"A"_s));
    StartAlbum();
    int url = 0;
    const auto add = [&](const QString& desc) { album->AddPicture(u"http://h/%1.jpg"_s.arg(++url), desc, {}, 0); };
    add(u"x (2)"_s);
    for (int k = 1; k <= 20000; ++k) {
        add(u"x"_s);
        if (k == 3) add(u"x (3)"_s);
        // Letter case does not make a name differ: this one walks past every counter of "x".
        if (k == 10000) add(u"X"_s);
    }
    const QStringList& names = Pictures().m_arrNames;
    ASSERT_EQ(names.size(), 20003);
    EXPECT_EQ(names[0], u"x (2).jpg"_s);
    EXPECT_EQ(names[1], u"x.jpg"_s);
    EXPECT_EQ(names[2], u"x (1).jpg"_s);
    EXPECT_EQ(names[3], u"x (3).jpg"_s);
    EXPECT_EQ(names[4], u"x (3) (1).jpg"_s);
    EXPECT_EQ(names[5], u"x (4).jpg"_s);
    EXPECT_EQ(names[10001], u"x (10000).jpg"_s);
    EXPECT_EQ(names[10002], u"X (10001).jpg"_s);
    EXPECT_EQ(names[10003], u"x (10002).jpg"_s);
    EXPECT_EQ(names[20002], u"x (20001).jpg"_s);
    QSet<QString> folded;
    for (const QString& name : names)
        folded.insert(name.toCaseFolded());
    EXPECT_EQ(folded.size(), names.size());

    // The next album starts its counters afresh.
    StartAlbum();
    add(u"x"_s);
    add(u"x"_s);
    EXPECT_EQ(Pictures().m_arrNames, (QStringList{u"x.jpg"_s, u"x (1).jpg"_s}));
}

TEST_F(RecordsTest, ThousandsOfSameNamedAlbumsFollowTheCounterRule)
{
    // "A / B" is kept as "A  B" but leads to the folder "A B": the counters of both names step
    // over each other's folders.
    core.AddAlbumRecord(Album(u"A B (2)"_s));
    for (int k = 0; k < 10000; ++k)
        core.AddAlbumRecord(Album(u"A / B"_s));
    for (int k = 0; k < 10000; ++k)
        core.AddAlbumRecord(Album(u"A B"_s));
    const ST_PERLIST& list = *core.m_pAlbumList;
    ASSERT_EQ(list.Count(), 20001);
    EXPECT_EQ(list.At(1).strName, u"A  B"_s);
    EXPECT_EQ(list.At(2).strName, u"A  B (1)"_s);
    EXPECT_EQ(list.At(3).strName, u"A  B (3)"_s);
    EXPECT_EQ(list.At(10000).strName, u"A  B (10000)"_s);
    EXPECT_EQ(list.At(10001).strName, u"A B (10001)"_s);
    EXPECT_EQ(list.At(20000).strName, u"A B (20000)"_s);

    // A folder freed by a later name is the first one a counter finds again.
    core.m_pAlbumList->SetName(2, u"Elsewhere"_s);
    core.AddAlbumRecord(Album(u"A B"_s));
    EXPECT_EQ(list.At(20001).strName, u"A B (1)"_s);
    core.AddAlbumRecord(Album(u"A B"_s));
    EXPECT_EQ(list.At(20002).strName, u"A B (20001)"_s);

    core.ClearAlbums();
    core.AddAlbumRecord(Album(u"A B"_s));
    core.AddAlbumRecord(Album(u"A B"_s));
    EXPECT_EQ(list.At(1).strName, u"A B (1)"_s);
}
