// talvoria-cli run as a user runs it, against the fake QQ group reached through http_proxy, with
// the login cookies of a browser export.
#include "sources/QqGroupRoutes.h"
#include "sources/Tencent.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
constexpr char16_t kGroupAddress[] = u"http://qun.qzone.qq.com/group#!/7654321/photo";

class CliQqGroupTest : public CliTest {
protected:
    CliQqGroupTest() { QqGroupFake::Serve(service); }

    // A browser export of the qq.com login cookies.
    QString WriteCookies()
    {
        const QString path = saveDir.path() + u"cookies-export.txt"_s;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# Netscape HTTP Cookie File\n"
                   ".qq.com\tTRUE\t/\tFALSE\t0\tpgv_pvid\t1\n"
                   ".qq.com\tTRUE\t/\tFALSE\t0\tguin\to012345\n"
                   ".qq.com\tTRUE\t/\tFALSE\t0\tskey\t@AbC\n");
        return path;
    }
};
} // namespace

TEST_F(CliQqGroupTest, ListsWithImportedCookiesThenDownloads)
{
    // Without a login the group answers that nobody is logged in.
    const ChildResult anonymous = Cli({u"albums"_s, QString::fromUtf16(kGroupAddress)});
    ASSERT_TRUE(anonymous.finished);
    EXPECT_EQ(anonymous.exitCode, 3);
    EXPECT_TRUE(anonymous.err.contains("登录菜单"));

    const QString cookies = WriteCookies();
    const ChildResult listing =
        Cli({u"albums"_s, QString::fromUtf16(kGroupAddress), u"--json"_s, u"--cookies"_s, cookies});
    ASSERT_TRUE(listing.finished);
    ASSERT_EQ(listing.exitCode, 0) << listing.err.toStdString();
    const QJsonArray albums = QJsonDocument::fromJson(listing.out).array();
    ASSERT_EQ(albums.size(), 13);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"班级春游"_s);
    EXPECT_EQ(first[u"id"_s].toString(),
              u"qunId=7654321&albumId=V1a01&uin=12345&g_tk="_s + QString::number(CalcGTK(u"@AbC"_s)));
    EXPECT_EQ(first[u"count"_s].toInt(), 17);

    // The imported cookies stay in the store for the next run.
    const ChildResult run = Cli(
        {u"download"_s, QString::fromUtf16(kGroupAddress), u"--albums"_s, u"1,2"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString folder = saveDir.path() + u"7654321/班级春游/"_s;
    for (int n = 1; n <= 17; ++n) {
        if (n == 5) continue; // listed without an address
        QFile file(folder + u"照片%1.jpg"_s.arg(n, 2, 10, QChar(u'0')));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << n;
        EXPECT_EQ(file.readAll(), FakePicture(n)) << n;
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 16);
    // The second album lists no picture, so it gets no folder.
    EXPECT_EQ(QDir(saveDir.path() + u"7654321"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{u"班级春游"_s});
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
