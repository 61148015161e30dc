// talvoria-cli run as a user runs it, against the fake Moko reached through http_proxy.
#include "sources/MokoRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliMokoTest : public CliTest {
protected:
    CliMokoTest() { MokoFake::Serve(service); }
};
} // namespace

TEST_F(CliMokoTest, ListsThePostsOfEveryCategoryThenDownloadsOne)
{
    const QString address = u"http://www.moko.cc/alice/"_s;
    const QJsonArray albums = AlbumsJson(address);
    ASSERT_EQ(albums.size(), 5);
    QStringList names;
    for (const QJsonValue& album : albums)
        names << album.toObject()[u"name"_s].toString();
    EXPECT_EQ(names.mid(2), (QStringList{u"旧作"_s, u"山"_s, u"湖"_s}));
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"夏日"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"/post/alice/1001.html"_s);
    EXPECT_EQ(first[u"cover"_s].toString(), u"http://img.moko.cc/cover/1001.jpg"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 3);

    const ChildResult run = Cli({u"download"_s, address, u"--albums"_s, u"1"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString folder = saveDir.path() + u"Alice/夏日/"_s;
    const QStringList files{u"夏日.jpg"_s, u"夏日 (1).jpg"_s, u"夏日 (2).jpg"_s};
    ExpectPictures(folder, files);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
