// talvoria-cli run as a user runs it, against the fake POCO reached through http_proxy.
#include "sources/PocoRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliPocoTest : public CliTest {
protected:
    CliPocoTest() { PocoFake::Serve(service); }
};
} // namespace

TEST_F(CliPocoTest, ListsAThemeOwnersAlbumsThenDownloadsTwo)
{
    const QString address = u"http://my.poco.cn/theme/theme_list.php?user_id=174478992&p=2"_s;
    const QJsonArray albums = AlbumsJson(address);
    ASSERT_EQ(albums.size(), 3);
    const QJsonObject sea = albums[0].toObject();
    EXPECT_EQ(sea[u"name"_s].toString(), u"海边日记"_s);
    EXPECT_EQ(sea[u"id"_s].toString(),
              u"http://my.poco.cn/album/album_show_photo_list.php?user_id=174478992&set_hash=a1f0c9"_s);
    EXPECT_EQ(sea[u"count"_s].toInt(), -1);
    EXPECT_EQ(albums[1].toObject()[u"privacy"_s].toInt(), 1);
    EXPECT_EQ(albums[2].toObject()[u"name"_s].toString(), u"街头·黑白"_s);

    const ChildResult run = Cli({u"download"_s, address, u"--albums"_s, u"1,3"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString owner = saveDir.path() + u"小鱼儿/"_s;
    const QStringList files{u"海边日记/浪花.jpg"_s, u"海边日记/海边日记.jpg"_s, u"海边日记/日落.jpg"_s,
                            u"街头·黑白/路口.jpg"_s};
    ExpectPictures(owner, files);
    EXPECT_EQ(QDir(owner + u"海边日记"_s).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(owner + u"街头·黑白"_s).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(QDir(owner).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{u"海边日记"_s, u"街头·黑白"_s}));
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
