// talvoria-cli run as a user runs it, against the fake PChome photo service reached through
// http_proxy.
#include "sources/PchomeRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliPchomeTest : public CliTest {
protected:
    CliPchomeTest() { PchomeFake::Serve(service); }
};
} // namespace

TEST_F(CliPchomeTest, ListsBig5AlbumsThenDownloadsOneWithReferredPictures)
{
    const QString address = u"http://photo.pchome.com.tw/alice/"_s;
    const QJsonArray albums = AlbumsJson(address);
    ASSERT_EQ(albums.size(), 3);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"台北街頭"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"/alice/001"_s);
    EXPECT_EQ(first[u"cover"_s].toString(), u"http://photo.pchome.com.tw/alice/001/covers.jpg"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 12);

    const ChildResult run = Cli({u"download"_s, address, u"--albums"_s, u"1"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The fake answers 403 to a picture request without its page as Referer.
    const QString folder = saveDir.path() + u"alice/台北街頭/"_s;
    const QStringList names{u"台北夜市.jpg"_s, u"雨後的街.jpg"_s, u"捷運站.jpg"_s};
    ExpectPictures(folder, names);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(saveDir.path() + u"alice"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{u"台北街頭"_s});
}
