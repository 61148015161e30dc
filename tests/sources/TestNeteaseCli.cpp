// talvoria-cli run as a user runs it, against the fake NetEase photo service through http_proxy.
#include "sources/NeteaseRoutes.h"
#include "support/CliTest.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliNeteaseTest : public CliTest {
protected:
    CliNeteaseTest() { NeteaseFake::ServeAlice(service); }
};
} // namespace

TEST_F(CliNeteaseTest, ListsThenDownloadsRecognisedFromTheAddress)
{
    const QJsonArray albums = AlbumsJson(u"http://photo.163.com/alice/"_s);
    ASSERT_EQ(albums.size(), 6);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"夏天的海"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"s2.ph.126.net/photo/alice/photos-101.js"_s);
    EXPECT_EQ(first[u"cover"_s].toString(), u"http://img3.bimg.126.net/photo/Zq8Ab==/cover101.jpg"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 3);
    EXPECT_EQ(albums[2].toObject()[u"id"_s].toString(), u"103"_s);
    EXPECT_EQ(albums[2].toObject()[u"privacy"_s].toInt(), 1);

    // Album 3 asks to verify; the command line answers No and goes on with album 1.
    const ChildResult run = Cli(
        {u"download"_s, u"http://photo.163.com/alice/"_s, u"--albums"_s, u"3,1"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString album = saveDir.path() + u"alice/夏天的海/"_s;
    const QStringList expected{u"海浪.jpg"_s, u"夏天的海.jpg"_s, u"小图.jpg"_s};
    ExpectPictures(album, expected);
    EXPECT_EQ(QDir(album).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(saveDir.path() + u"alice/"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{u"夏天的海"_s});
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
