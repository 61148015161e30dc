// talvoria-cli run as a user runs it, against the fake PConline member through http_proxy.
// PConline is never recognised from an address, so the service is named.
#include "sources/PconlineRoutes.h"
#include "support/AdapterTest.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliPconlineTest : public CliTest {
protected:
    CliPconlineTest() { PconlineFake::Serve(service); }
};
} // namespace

TEST_F(CliPconlineTest, ListsAllPagesThenDownloadsTheChosenAlbums)
{
    const QString page3 = u"http://dp.pconline.com.cn/someone/myphoto_p3_n15.html"_s;
    const ChildResult list = Cli({u"albums"_s, page3, u"--service"_s, u"pconline"_s, u"--json"_s});
    ASSERT_TRUE(list.finished);
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QJsonArray albums = QJsonDocument::fromJson(list.out).array();
    ASSERT_EQ(albums.size(), 4);
    EXPECT_EQ(albums[0].toObject()[u"name"_s].toString(), u"春游"_s);
    EXPECT_EQ(albums[0].toObject()[u"id"_s].toString(), u"http://dp.pconline.com.cn/photo/list_3001.html"_s);
    EXPECT_EQ(albums[3].toObject()[u"name"_s].toString(), u"人像"_s);

    const ChildResult run = Cli({u"download"_s, page3, u"--service"_s, u"pconline"_s, u"--albums"_s, u"1,2"_s,
                                 u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString owner = saveDir.path() + u"小王的作品/"_s;
    EXPECT_EQ(QDir(owner).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{u"夜景"_s, u"春游"_s}));
    EXPECT_EQ(QDir(owner + u"春游/"_s).entryList(QDir::Files, QDir::Name),
              (QStringList{u"春游 (1).jpg"_s, u"春游 (2).jpg"_s, u"春游 (3).jpg"_s}));
    for (int i = 1; i <= 3; ++i) {
        QFile file(owner + u"春游/春游 (%1).jpg"_s.arg(i));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), FakePicture(i));
    }
    QFile night(owner + u"夜景/夜景 (1).jpg"_s);
    ASSERT_TRUE(night.open(QIODevice::ReadOnly));
    EXPECT_EQ(night.readAll(), FakePicture(4));
}
