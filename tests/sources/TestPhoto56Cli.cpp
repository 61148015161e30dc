// talvoria-cli run as a user runs it, against the fake 56 Photo reached through http_proxy.
#include "sources/Photo56Routes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class Cli56Test : public CliTest {
protected:
    Cli56Test() { Photo56Fake::Serve(service); }
};
} // namespace

TEST_F(Cli56Test, ListsThenDownloadsTwoAlbums)
{
    const QString address = u"http://photo.56.com/album/dave"_s;
    const QJsonArray albums = AlbumsJson(address);
    ASSERT_EQ(albums.size(), 3);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"旅行(上)"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"501"_s);
    EXPECT_EQ(first[u"cover"_s].toString(), u"http://img.56.com/album/cover/501.jpg"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 4);
    EXPECT_EQ(albums[2].toObject()[u"name"_s].toString(), u"夜景"_s);

    const ChildResult run = Cli({u"download"_s, address, u"--albums"_s, u"1,3"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    const QString owner = saveDir.path() + u"dave/"_s;
    const struct {
        const char16_t* file;
        int seed;
    } expected[] = {{u"旅行(上)/第一天 海边.jpg", 1},
                    {u"旅行(上)/旅行(上).jpg", 2},
                    {u"旅行(上)/旅行(上) (1).jpg", 3},
                    {u"旅行(上)/最后一张.jpg", 4},
                    {u"夜景/外滩.jpg", 31}};
    for (const auto& picture : expected) {
        QFile file(owner + QString::fromUtf16(picture.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << QString::fromUtf16(picture.file).toStdString();
        EXPECT_EQ(file.readAll(), FakePicture(picture.seed));
    }
    EXPECT_EQ(QDir(owner + u"旅行(上)"_s).entryList(QDir::Files).size(), 4);
    EXPECT_EQ(QDir(owner + u"夜景"_s).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(QDir(owner).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
}
