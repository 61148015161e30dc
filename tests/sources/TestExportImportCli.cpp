// Export of the selected albums as an aria2 input file, and that file downloaded again, by
// talvoria-cli fetch and by aria2c, against the fake PChome service whose pictures need their
// page as Referer; and a fetch that cannot make one of its album folders.
#include "sources/PchomeRoutes.h"
#include "support/CliTest.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {
// Every picture under root, by its path relative to root.
QMap<QString, QByteArray> PictureTree(const QString& root)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, {u"*.jpg"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly)) tree.insert(file.fileName().mid(root.size()), file.readAll());
    }
    return tree;
}

class CliExportTest : public CliTest {
protected:
    CliExportTest() { PchomeFake::Serve(service); }

    qsizetype PictureRequests() const
    {
        return service.RequestsFor(PchomeFake::kPhotoHost, "/alice/001/p").size() +
               service.RequestsFor(PchomeFake::kPhotoHost, "/photos.2013/").size();
    }

    const QString address = u"http://photo.pchome.com.tw/alice/"_s;
};
} // namespace

TEST_F(CliExportTest, AnExportDownloadedAgainGivesTheTreeOfADirectDownload)
{
    const QString direct = saveDir.path() + u"direct/"_s;
    const ChildResult download = Cli({u"download"_s, address, u"--albums"_s, u"1"_s, u"--save-dir"_s, direct});
    ASSERT_EQ(download.exitCode, 0) << download.err.toStdString();
    const QMap<QString, QByteArray> expected = PictureTree(direct);
    ASSERT_EQ(expected.size(), 3);
    const qsizetype fetchedByDownload = PictureRequests();

    const QString imported = saveDir.path() + u"imported/"_s;
    const QString list = saveDir.path() + u"alice.txt"_s;
    const ChildResult exported =
        Cli({u"export"_s, address, u"--albums"_s, u"1"_s, u"--save-dir"_s, imported, u"-o"_s, list});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(PictureRequests(), fetchedByDownload);                 // listed, not fetched
    EXPECT_FALSE(QFileInfo::exists(imported + u"alice/台北街頭"_s)); // no empty album folder left
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(
        u"\n  out=alice/台北街頭/台北夜市.jpg\n  header=Referer: http://photo.pchome.com.tw/alice/101\n"_s))
        << text.toStdString();
    EXPECT_EQ(text.count(u"\n  out="_s), 3);

    const ChildResult fetched = Cli({u"fetch"_s, list, u"--save-dir"_s, imported});
    ASSERT_EQ(fetched.exitCode, 0) << fetched.err.toStdString();
    EXPECT_EQ(PictureTree(imported), expected); // the fake refuses a picture without its Referer

    const QString aria2 = QStandardPaths::findExecutable(u"aria2c"_s);
    if (aria2.isEmpty()) GTEST_SKIP() << "aria2c is not installed (Debian package aria2): its half is skipped";
    const QString byAria2 = saveDir.path() + u"aria2/"_s;
    const ChildResult run = RunProxied(service, aria2, {u"-q"_s, u"-d"_s, byAria2, u"-i"_s, list});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(PictureTree(byAria2), expected);
}

TEST_F(CliTest, FetchFailsTheAlbumWhoseFolderCannotBeMade)
{
    service.Route("pics.example.com", "/2.jpg", FakeReply::Ok(FakePicture(2), "image/jpeg"));
    QFile blocker(saveDir.file(u"blocked"_s)); // a file where the folder would go
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    QFile list(saveDir.file(u"list.txt"_s));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("http://pics.example.com/1.jpg\n  out=blocked/1.jpg\nhttp://pics.example.com/2.jpg\n  out=open/2.jpg\n");
    list.close();

    const ChildResult run = Cli({u"fetch"_s, list.fileName(), u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 4) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("1个图集未能完整下载\n  blocked：无法创建文件夹")) << run.err.toStdString();
    ExpectPictures(saveDir.path(), {QString(), u"open/2.jpg"_s});
}
