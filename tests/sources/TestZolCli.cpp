// talvoria-cli run as a user runs it, against the fake ZOL photo service reached through http_proxy.
#include "sources/ZolRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliZolTest : public CliTest {
protected:
    CliZolTest() { ZolFake::Serve(service); }
};
} // namespace

TEST_F(CliZolTest, ListsTheMembersAlbumsThenDownloadsTwo)
{
    const QString address = u"http://photo.zol.com.cn/alice/album_1.html"_s;
    const QJsonArray albums = AlbumsJson(address);
    ASSERT_EQ(albums.size(), 3);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"海边假日"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"/alice/album/8801_"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 12);
    EXPECT_EQ(albums[2].toObject()[u"name"_s].toString(), u"无题"_s);

    const ChildResult run = Cli({u"download"_s, address, u"--albums"_s, u"1,2"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString owner = saveDir.path() + u"Alice 小镇/"_s;
    const QStringList names{u"日出.jpg"_s, u"浪花.jpg"_s, u"沙滩.jpg"_s, u"晚霞.jpg"_s};
    ExpectPictures(owner + u"海边假日/"_s, names);
    EXPECT_EQ(QDir(owner + u"海边假日"_s).entryList(QDir::Files).size(), 4);
    const QStringList folders = QDir(owner).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 2);
    const QString street = owner + albums[1].toObject()[u"name"_s].toString() + u"/"_s;
    QFile stone(street + u"石板路.jpg"_s);
    ASSERT_TRUE(stone.open(QIODevice::ReadOnly)) << folders.join(u',').toStdString();
    EXPECT_EQ(stone.readAll(), FakePicture(5));
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
