// talvoria-cli run as a user runs it, against the fake Baidu album reached through http_proxy.
#include "sources/BaiduRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliBaiduTest : public CliTest {
protected:
    CliBaiduTest() { BaiduFake::Serve(service); }
};
} // namespace

TEST_F(CliBaiduTest, ListsTheOwnersAlbumsThenDownloadsThem)
{
    const QJsonArray albums = AlbumsJson(u"http://xiangce.baidu.com/lily"_s);
    ASSERT_EQ(albums.size(), 2);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"旅行"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"9a8b7c6d01"_s);
    EXPECT_EQ(first[u"cover"_s].toString(), u"http://imgsrc.baidu.com/album/s%3D200/sign=c1/cover01.jpg"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 5);
    EXPECT_EQ(albums[1].toObject()[u"name"_s].toString(), u"家人"_s);

    const ChildResult run = Cli(
        {u"download"_s, u"http://xiangce.baidu.com/lily"_s, u"--albums"_s, u"1,2"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString folder = saveDir.path() + u"莉莉/旅行/"_s;
    const QStringList names{u"海边.jpg"_s, u"旅行.jpg"_s, u"山顶.jpg"_s, u"日出.jpg"_s, u"夜景.jpg"_s};
    ExpectPictures(folder, names);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 5);
    // The second album's list is empty: no folder for it.
    EXPECT_EQ(QDir(saveDir.path() + u"莉莉"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{u"旅行"_s});
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
