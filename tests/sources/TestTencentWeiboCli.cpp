// talvoria-cli run as a user runs it, against the fake Tencent Weibo reached through http_proxy.
#include "sources/TencentWeiboRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliTencentWeiboTest : public CliTest {
protected:
    CliTencentWeiboTest() { TencentWeiboFake::Serve(service); }
};
} // namespace

TEST_F(CliTencentWeiboTest, ListsTheTopicAlbumsThenDownloadsOne)
{
    const QJsonArray albums = AlbumsJson(u"http://t.qq.com/someone"_s);
    ASSERT_EQ(albums.size(), 3);
    const QJsonObject all = albums[0].toObject();
    EXPECT_EQ(all[u"name"_s].toString(), u"全部照片"_s);
    EXPECT_EQ(all[u"id"_s].toString(), u"all"_s);
    EXPECT_EQ(all[u"count"_s].toInt(), -1);
    EXPECT_EQ(albums[1].toObject()[u"id"_s].toString(), u"100001"_s);
    EXPECT_EQ(albums[1].toObject()[u"cover"_s].toString(), u"http://t1.qpic.cn/mblogpic/cov1/240"_s);

    const ChildResult run =
        Cli({u"download"_s, u"http://t.qq.com/someone"_s, u"--albums"_s, u"2"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString folder = saveDir.path() + u"someone/我的旅行/"_s;
    const QStringList names{u"海边 日落.jpg"_s, u"转发的话.jpg"_s, u"我的旅行.jpg"_s, {},
                            u"最后一张.jpg"_s,  u"第二页.jpg"_s};
    ExpectPictures(folder, names);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 5);
    EXPECT_EQ(QDir(saveDir.path() + u"someone"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{u"我的旅行"_s});
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
