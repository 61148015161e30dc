// talvoria-cli run as a user runs it, against the fake 51 Home service through http_proxy.
#include "sources/Home51Routes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliHome51Test : public CliTest {
protected:
    CliHome51Test() { Home51Fake::Serve(service); }
};
} // namespace

TEST_F(CliHome51Test, PasswordGroupIsDeclinedAndTheNextGroupDownloads)
{
    const QString address = u"http://home.51.com/xiaomei/photo"_s;
    const QJsonArray albums = AlbumsJson(address);
    ASSERT_EQ(albums.size(), 4);
    EXPECT_EQ(albums[0].toObject()[u"name"_s].toString(), u"旅行"_s);
    EXPECT_EQ(albums[0].toObject()[u"id"_s].toString(), u"301"_s);
    EXPECT_EQ(albums[1].toObject()[u"name"_s].toString(), u"私密"_s);
    EXPECT_EQ(albums[1].toObject()[u"privacy"_s].toInt(), 1);

    // Group 2 asks for its password; the command line answers No and goes on with group 3.
    const ChildResult run = Cli({u"download"_s, address, u"--albums"_s, u"1,2,3"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(run.out + run.err).contains(u"加密相册,是否输入密码"_s));
    const QString album = saveDir.path() + u"xiaomei/旅行/"_s;
    const struct {
        const char16_t* file;
        int seed;
    } expected[] = {{u"西湖日出的早晨.jpg", 1}, {u"旅行.jpg", 2}, {u"雷峰塔。。.jpg", 3}};
    for (const auto& picture : expected) {
        QFile file(album + QString::fromUtf16(picture.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << QString::fromUtf16(picture.file).toStdString();
        EXPECT_EQ(file.readAll(), FakePicture(picture.seed));
    }
    EXPECT_EQ(QDir(album).entryList(QDir::Files).size(), 3);
    QFile after(saveDir.path() + u"xiaomei/朋友/聚会.jpg"_s);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), FakePicture(301));
    QStringList folders = QDir(saveDir.path() + u"xiaomei/"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    folders.sort();
    QStringList wanted{u"旅行"_s, u"朋友"_s};
    wanted.sort();
    EXPECT_EQ(folders, wanted);
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
