// talvoria-cli run as a user runs it, against the fake Babytree service through http_proxy.
#include "sources/BabytreeRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliBabytreeTest : public CliTest {
protected:
    CliBabytreeTest() { BabytreeFake::Serve(service); }
};
} // namespace

TEST_F(CliBabytreeTest, MemberListedOnTheMainHostIsDownloadedFromIt)
{
    const QString address = u"http://home.babytree.com/u12345678"_s;
    const QJsonArray albums = AlbumsJson(address);
    ASSERT_EQ(albums.size(), 3);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"宝宝出生"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"/user/showuser.php?uid=u12345678&tab=photo&view=album&album_id=701"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 3);
    EXPECT_EQ(albums[2].toObject()[u"name"_s].toString(), u"会爬了"_s);

    const ChildResult run = Cli({u"download"_s, address, u"--albums"_s, u"1,2"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString owner = saveDir.path() + u"豆豆爸/"_s;
    const struct {
        const char16_t* file;
        int seed;
    } expected[] = {{u"宝宝出生/出生第一天.jpg", 11},
                    {u"宝宝出生/小脚丫.jpg", 12},
                    {u"宝宝出生/洗澡.jpg", 13},
                    {u"百天照/百天.jpg", 14}};
    for (const auto& picture : expected) {
        QFile file(owner + QString::fromUtf16(picture.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << QString::fromUtf16(picture.file).toStdString();
        EXPECT_EQ(file.readAll(), FakePicture(picture.seed));
    }
    EXPECT_EQ(QDir(owner + u"宝宝出生"_s).entryList(QDir::Files).size(), 3);
    QStringList folders = QDir(owner).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    folders.sort();
    QStringList wanted{u"宝宝出生"_s, u"百天照"_s};
    wanted.sort();
    EXPECT_EQ(folders, wanted);
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
