// talvoria-cli run as a user runs it, against the fake Renren reached through http_proxy.
#include "sources/RenrenRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;
using namespace RenrenRoutes;

namespace {
class CliRenrenTest : public CliTest {
protected:
    CliRenrenTest()
    {
        ServeOwnerList(service);
        ServeAlbum5001(service);
    }
};
} // namespace

TEST_F(CliRenrenTest, ListsTheOwnersAlbumsThenDownloadsOne)
{
    const QJsonArray albums = AlbumsJson(u"http://www.renren.com/223344/profile"_s);
    ASSERT_EQ(albums.size(), 8);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"毕业旅行"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"http://photo.renren.com/photo/223344/album-5001"_s);
    EXPECT_EQ(first[u"cover"_s].toString(), u"http://fmn.rrimg.com/fmn059/cover/5001.jpg"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 3);
    EXPECT_EQ(albums[3].toObject()[u"name"_s].toString(), u"加密相册"_s);
    EXPECT_EQ(albums[3].toObject()[u"privacy"_s].toInt(), 1);

    const ChildResult run = Cli({u"download"_s, u"http://www.renren.com/223344/profile"_s, u"--albums"_s, u"1"_s,
                                 u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString folder = saveDir.path() + u"张三/毕业旅行 2013/"_s;
    const QStringList names{u"海边.jpg"_s, u"毕业旅行 2013.jpg"_s, u"日落.jpg"_s, u"夜景.jpg"_s};
    ExpectPictures(folder, names);
    EXPECT_TRUE(QFile::exists(folder + u".pic.zrv"_s));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 4);
    EXPECT_EQ(QDir(saveDir.path() + u"张三"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{u"毕业旅行 2013"_s});
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
