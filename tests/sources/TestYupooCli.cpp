// talvoria-cli run as a user runs it, against the fake Yupoo reached through http_proxy.
#include "sources/YupooRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliYupooTest : public CliTest {
protected:
    CliYupooTest() { YupooFake::Serve(service); }
};
} // namespace

TEST_F(CliYupooTest, ListsThenDownloadsPastThePasswordAlbumAndTheLoginHint)
{
    const QString address = u"http://alice.v.yupoo.com/"_s;
    const QJsonArray albums = AlbumsJson(address);
    ASSERT_EQ(albums.size(), 3);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"海边"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"http://v.yupoo.com/photos/alice/albums/1001/"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 3);
    EXPECT_EQ(albums[1].toObject()[u"privacy"_s].toInt(), 1);

    // Album 2 asks for its password (answered No), album 3 ends with the login hint; the run
    // goes on and ends well.
    const ChildResult run = Cli({u"download"_s, address, u"--albums"_s, u"1-3"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("加密相册,是否输入密码 [no]")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("请先在登录菜单里登录你的又拍帐号")) << run.err.toStdString();

    const QString owner = saveDir.path() + u"alice/"_s;
    const struct {
        const char16_t* file;
        int seed;
    } expected[] = {{u"海边/日出.jpg", 1}, {u"海边/浪花.jpg", 2}, {u"海边/海边.jpg", 3}, {u"山/山顶.jpg", 5}};
    for (const auto& picture : expected) {
        QFile file(owner + QString::fromUtf16(picture.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << QString::fromUtf16(picture.file).toStdString();
        EXPECT_EQ(file.readAll(), FakePicture(picture.seed));
    }
    EXPECT_EQ(QDir(owner + u"海边"_s).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(owner + u"山"_s).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(QDir(owner).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name), (QStringList{u"山"_s, u"海边"_s}));
}
