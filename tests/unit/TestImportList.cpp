#include "download/ExportList.h"
#include "download/History.h"
#include "download/ImportList.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {
QString WriteFile(const TempFolder& folder, const QString& name, const QByteArray& bytes)
{
    QFile file(folder.file(name));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return file.fileName();
}
} // namespace

TEST(ImportNames, AnAddressKeepsItsOwnFileNameCleanedOnlyOfWhatAFileNameCannotHold)
{
    EXPECT_EQ(ImportedPictureName(u"http://host/1000.jpg"_s, 1), u"1000.jpg"_s);
    EXPECT_EQ(ImportedPictureName(u"http://host/a.b.PNG?size=2#top"_s, 1), u"a.b.PNG"_s);
    EXPECT_EQ(ImportedPictureName(u"http://host/photo"_s, 1), u"photo.jpg"_s);
    EXPECT_EQ(ImportedPictureName(u"http://host/a.webp"_s, 1), u"a.webp.jpg"_s);
    EXPECT_EQ(ImportedPictureName(u"http://host/%E4%BD%A0%3A%3F.jpg"_s, 1), u"你.jpg"_s);
    EXPECT_EQ(ImportedPictureName(u"http://b1.store.qq.com/psb?/V10pub/7.jpg"_s, 1), u"7.jpg"_s);
    // Nothing usable left: the sequence number.
    EXPECT_EQ(ImportedPictureName(u"http://host/"_s, 3), u"3.jpg"_s);
    EXPECT_EQ(ImportedPictureName(u"http://host/.."_s, 4), u"4.jpg"_s);
    EXPECT_EQ(ImportedPictureName(u"http://host/%2E%2E"_s, 5), u"5.jpg"_s);
    // Invisible marks go like controls; what is left of a name of nothing else is its extension.
    EXPECT_EQ(ImportedPictureName(u"http://host/a%E2%80%8Bb%EF%BB%BF.jpg"_s, 1), u"ab.jpg"_s);
    EXPECT_EQ(ImportedPictureName(u"http://host/%EF%BB%BF%E2%80%8F.png"_s, 6), u"6.png"_s);
}

TEST(ImportNames, OutPathsNeverLeaveTheSaveFolder)
{
    EXPECT_EQ(SafeRelativePath(u"alice/台北街頭/夜市.jpg"_s), u"alice/台北街頭/夜市.jpg"_s);
    EXPECT_EQ(SafeRelativePath(u"../../etc/passwd"_s), u"etc/passwd"_s);
    EXPECT_EQ(SafeRelativePath(u"/abs/./x.jpg"_s), u"abs/x.jpg"_s);
    EXPECT_EQ(SafeRelativePath(u"a\\..\\..\\b.jpg"_s), u"a/b.jpg"_s);
    EXPECT_EQ(SafeRelativePath(u"a/.../b:c.jpg"_s), u"a/bc.jpg"_s);
    EXPECT_EQ(SafeRelativePath(u"../.."_s), QString());
    // A name of megabytes is cut to 255 bytes in one pass, its extension kept.
    const QString huge(2 * 1024 * 1024, u'名');
    EXPECT_EQ(SafeRelativePath(u"a/"_s + huge + u".jpg"_s), u"a/"_s + QString(83, u'名') + u".jpg"_s);
    EXPECT_EQ(SafeRelativePath(huge + u"/x.jpg"_s), QString(85, u'名') + u"/x.jpg"_s);
}

TEST(ImportNames, ThousandsOfOneNameAreNumberedInOnePass)
{
    CDownList list;
    constexpr int kCount = 20000;
    for (int i = 0; i < kCount; ++i) {
        AppendImportedPicture(list, {u"http://pics.example.com/show.php?id=%1"_s.arg(i), {}, {}});
        AppendImportedPicture(list, {u"http://pics.example.com/%1.jpg"_s.arg(i), u"a/x.jpg"_s, {}});
    }
    EXPECT_EQ(list.m_arrNames.mid(0, 3), (QStringList{u"show.php.jpg"_s, u"x.jpg"_s, u"show.php (1).jpg"_s}));
    EXPECT_EQ(list.m_arrNames.mid(2 * kCount - 2),
              (QStringList{u"show.php (%1).jpg"_s.arg(kCount - 1), u"x (%1).jpg"_s.arg(kCount - 1)}));
    // A name the counting already took, given literally, is numbered in turn.
    AppendImportedPicture(list, {u"http://pics.example.com/x.jpg"_s, u"X (1).JPG"_s, {}});
    EXPECT_EQ(list.m_arrNames.back(), u"X (1) (1).JPG"_s);
}

TEST(ImportList, ReadsPlainListsAndAria2InputFilesAlike)
{
    TempFolder folder;
    // GBK plain list with CR LF, as Thunder lists are written.
    const auto plain =
        ReadImportList(WriteFile(folder, u"a.lst"_s, "http://a.com/\xC4\xE3.jpg\r\n\r\nhttp://a.com/2.jpg\r\n"));
    ASSERT_TRUE(plain);
    ASSERT_EQ(plain->size(), 2u);
    EXPECT_EQ(plain->front().url, u"http://a.com/你.jpg"_s);
    EXPECT_TRUE(plain->front().out.isEmpty());

    const auto aria = ReadImportList(WriteFile(folder, u"b.txt"_s,
                                               "# exported\n"
                                               "http://a.com/1.jpg\thttp://mirror/1.jpg\n"
                                               "  out=o/相册/1.jpg\n"
                                               "\theader=Referer: http://a.com/p/1\n"
                                               "  header=X-Two: 2\r\n"
                                               // The transfer frames the request and names its host.
                                               "  header=Host: evil.test\n  header=content-length : 0\n"
                                               "  header=Transfer-Encoding: chunked\n"
                                               "  max-tries=3\n"
                                               "http://a.com/2.jpg\n"));
    ASSERT_TRUE(aria);
    ASSERT_EQ(aria->size(), 2u);
    EXPECT_EQ((*aria)[0].url, u"http://a.com/1.jpg"_s);
    EXPECT_EQ((*aria)[0].out, u"o/相册/1.jpg"_s);
    EXPECT_EQ((*aria)[0].headers, (QStringList{u"Referer: http://a.com/p/1"_s, u"X-Two: 2"_s}));
    EXPECT_TRUE((*aria)[1].headers.isEmpty());

    EXPECT_FALSE(ReadImportList(folder.file(u"missing.lst"_s)));
}

TEST(ExportList, Aria2TextKeepsEachAddressOnOneLine)
{
    // A line break inside an address would start an option line of its own.
    const QByteArray text =
        Aria2ListText({{u"http://a.com/x y\n  out=/etc/x.jpg"_s, u"o/a/x.jpg"_s, {u"Referer: r"_s}}});
    EXPECT_EQ(text, "http://a.com/x%20y%0A%20%20out=/etc/x.jpg\n  out=o/a/x.jpg\n  header=Referer: r\n");
}

namespace {
class ImportRunTest : public AdapterTest {
protected:
    void ServeAt(const QByteArray& path, int seed)
    {
        service.Route("pics.example.com", path, FakeReply::Ok(FakePicture(seed), "image/jpeg"));
    }
};
} // namespace

TEST_F(ImportRunTest, APlainListSavesEachPictureUnderItsAddressName)
{
    ServeAt("/a/1000.jpg", 1);
    ServeAt("/b/1000.jpg", 2);
    ServeAt("/photo", 3);
    const QString list = WriteFile(saveRoot, u"list.lst"_s,
                                   "http://pics.example.com/a/1000.jpg\r\nhttp://pics.example.com/b/1000.jpg\r\n"
                                   "http://pics.example.com/photo\r\n");
    ASSERT_TRUE(ImportAndDownload(core, list, saveRoot.path() + u"out"_s));
    EXPECT_EQ(SavedBytes(u"out/list/1000.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(u"out/list/1000 (1).jpg"_s), FakePicture(2));
    EXPECT_EQ(SavedBytes(u"out/list/photo.jpg"_s), FakePicture(3));
}

TEST_F(ImportRunTest, AnUnreadableEmptyOrRefusedListIsAMessageNotASilentNoOp)
{
    // A carriage return in a header line would end it on the wire: the list is refused.
    const std::pair<QString, QString> rows[] = {
        {saveRoot.file(u"missing.lst"_s), u"无法读取下载文件"_s},
        {WriteFile(saveRoot, u"empty.lst"_s, "\r\n  \r\n"), u"下载文件中没有下载地址"_s},
        {WriteFile(saveRoot, u"cr.txt"_s, "http://pics.example.com/1.jpg\r\n\r\n  header=X-A: 1\rX-B: 2\r\n"),
         u"下载文件第3行的请求头含有换行符"_s},
    };
    for (qsizetype i = 0; i < std::ssize(rows); ++i) {
        // Each run ends the download state it was begun in.
        ASSERT_TRUE(core.States().BeginDownload());
        EXPECT_FALSE(ImportAndDownload(core, rows[i].first, saveRoot.path()));
        ASSERT_EQ(frontEnd.Messages().size(), i + 1);
        EXPECT_TRUE(frontEnd.Messages()[i].startsWith(rows[i].second)) << frontEnd.Messages()[i].toStdString();
    }
    EXPECT_FALSE(core.States().IsDownloading());
    EXPECT_EQ(service.RequestCount(), 0);
}

TEST_F(ImportRunTest, OutPathsWithDotDotStayInsideTheSaveFolder)
{
    ServeAt("/1.jpg", 1);
    const QString list =
        WriteFile(saveRoot, u"evil.txt"_s, "http://pics.example.com/1.jpg\n  out=../../escaped/x.jpg\n");
    ASSERT_TRUE(ImportAndDownload(core, list, saveRoot.path() + u"in/deep"_s));
    EXPECT_EQ(SavedBytes(u"in/deep/escaped/x.jpg"_s), FakePicture(1));
    EXPECT_FALSE(QFile::exists(saveRoot.path() + u"escaped"_s));
}

TEST_F(ImportRunTest, APictureNamedLikeTheHistoryMarkIsRenamedAndTheMarkKept)
{
    // Some file systems fold letter case; the Windows name is read as a mark too.
    const QStringList outs = {u".pic.zrv"_s, u"sub/.pic.zrv"_s, u"fold/.PIC.Zrv"_s, u"win/pic.zrv"_s};
    const QStringList saved = {u".pic (1).zrv"_s, u"sub/.pic (1).zrv"_s, u"fold/.PIC (1).Zrv"_s, u"win/pic (1).zrv"_s};
    QByteArray text;
    for (int i = 0; i < outs.size(); ++i) {
        ServeAt("/" + QByteArray::number(i) + ".jpg", i);
        text += "http://pics.example.com/" + QByteArray::number(i) + ".jpg\n  out=" + outs[i].toUtf8() + '\n';
    }
    ASSERT_TRUE(ImportAndDownload(core, WriteFile(saveRoot, u"marks.txt"_s, text), saveRoot.path() + u"out/"_s));
    for (int i = 0; i < outs.size(); ++i) {
        const QString folder = u"out/"_s + saved[i].left(saved[i].lastIndexOf(u'/') + 1);
        EXPECT_EQ(ReadHistoryMark(SavedFile(folder)), u"http://pics.example.com/%1.jpg"_s.arg(i)) << i;
        EXPECT_EQ(SavedBytes(u"out/"_s + saved[i]), FakePicture(i)) << i;
    }
}
