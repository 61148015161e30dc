// talvoria-cli run as a user runs it, against the fake QQ Zone reached through http_proxy.
#include "sources/QzoneRoutes.h"
#include "support/CliTest.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QProcess>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <thread>

using namespace Qt::StringLiterals;

namespace {
class CliQzoneTest : public CliTest {
protected:
    CliQzoneTest() { QzoneFake::Serve(service); }
};
} // namespace

TEST_F(CliQzoneTest, AlbumsAsJsonAndAsLines)
{
    const QJsonArray albums = AlbumsJson(u"12345678"_s);
    ASSERT_EQ(albums.size(), 5);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"number"_s].toInt(), 1);
    EXPECT_EQ(first[u"name"_s].toString(), u"旅行 2012"_s);
    EXPECT_EQ(first[u"id"_s].toString(), u"hostUin=12345678&albumid=V10pub"_s);
    EXPECT_EQ(first[u"cover"_s].toString(), u"http://b1.photo.store.qq.com/psb?/V10pub/cover.jpg"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 3);
    EXPECT_EQ(albums[1].toObject()[u"privacy"_s].toInt(), 1);

    const ChildResult lines = Cli({u"albums"_s, u"http://user.qzone.qq.com/12345678"_s});
    EXPECT_EQ(lines.exitCode, 0);
    const QStringList rows = QString::fromUtf8(lines.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0], u"0001\t旅行 2012\t   3\t"_s);
    EXPECT_EQ(rows[1], u"0002\t加密的\t   2\t加密相册"_s);
}

TEST_F(CliQzoneTest, DownloadSavesEveryPictureByteIdenticalWithTheHistoryMark)
{
    const ChildResult run = Cli({u"download"_s, u"12345678"_s, u"--albums"_s, u"1"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString album = saveDir.path() + u"12345678/旅行 2012/"_s;
    const QStringList expected{u"海边.jpg"_s, u"日落.jpg"_s, u"海边 (1).jpg"_s};
    ExpectPictures(album, expected);
    EXPECT_TRUE(QFile::exists(album + u".pic.zrv"_s));
    EXPECT_EQ(QDir(album).entryList(QDir::Files | QDir::Hidden).size(), 4); // no temporary leftovers
    EXPECT_TRUE(run.err.contains("下载完毕"));
}

TEST_F(CliQzoneTest, ExitStatusTellsHowTheRunEnded)
{
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2", FakeReply::Ok(""));
    EXPECT_EQ(Cli({u"albums"_s, u"555"_s}).exitCode, 3);
    EXPECT_EQ(Cli({u"albums"_s, u"   "_s}).exitCode, 1);
    EXPECT_EQ(Cli({u"albums"_s, u"x"_s, u"--service"_s, u"nosuch"_s}).exitCode, 2);
    EXPECT_EQ(Cli({u"albums"_s, u"plain-text"_s, u"--service"_s, u"baidu"_s}).exitCode, 1);
    EXPECT_EQ(Cli({u"frobnicate"_s}).exitCode, 2);
    EXPECT_EQ(Cli({u"settings"_s, u"--service"_s, u"qzone"_s, u"nThreads=0"_s}).exitCode, 1);

    const ChildResult settings = Cli({u"settings"_s, u"--service"_s, u"3"_s, u"nTimeout=10"_s, u"szPrefix=?2_"_s});
    EXPECT_EQ(settings.exitCode, 0);
    EXPECT_TRUE(settings.out.contains("nTimeout=10\n"));
    EXPECT_TRUE(Cli({u"settings"_s, u"--service"_s, u"renren"_s}).out.contains("szPrefix=?2_\n"));
}

TEST_F(CliQzoneTest, ServicesListsTheFifteenFamilies)
{
    const ChildResult run = Cli({u"services"_s});
    const QStringList rows = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 15);
    EXPECT_TRUE(rows[0].startsWith(u"0\tqzone\t"_s));
    EXPECT_TRUE(rows[14].startsWith(u"14\tpconline\t"_s));
}

TEST_F(CliQzoneTest, APictureNotSavedMakesTheRunIncompleteAndIsNamed)
{
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/2.jpg", FakeReply::Status(404, "<html>gone</html>"));
    const QStringList download{u"download"_s, u"12345678"_s, u"--albums"_s, u"1"_s, u"--save-dir"_s, saveDir.path()};
    const ChildResult run = Cli(download);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 4) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("已保存2张，失败1张，跳过0张")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("失败 日落.jpg: HTTP 404")) << run.err.toStdString();
    const QString album = saveDir.path() + u"12345678/旅行 2012/"_s;
    EXPECT_FALSE(QFile::exists(album + u"日落.jpg"_s));
    EXPECT_FALSE(QFile::exists(album + u".pic.zrv"_s));

    // The picture is back: the next run saves it, keeps the two it has, and completes.
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/2.jpg", FakeReply::Ok(FakePicture(2), "image/jpeg"));
    const ChildResult again = Cli(download);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains("已保存1张，失败0张，跳过2张")) << again.err.toStdString();
    QFile saved(album + u"日落.jpg"_s);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), FakePicture(2));
}

TEST_F(CliQzoneTest, FetchDownloadsAListFile)
{
    QFile list(saveDir.path() + u"mine.lst"_s);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("http://b1.photo.store.qq.com/psb?/V10pub/1.jpg\r\nhttp://b1.photo.store.qq.com/psb?/V10pub/2.jpg\r\n");
    list.close();
    const ChildResult run = Cli({u"fetch"_s, list.fileName(), u"--save-dir"_s, saveDir.path() + u"out"_s});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile first(saveDir.path() + u"out/mine/1.jpg"_s);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), FakePicture(1));
}

TEST_F(CliQzoneTest, CtrlCStopsTheDownloadAsTheButtonDoes)
{
    for (int i = 1; i <= 3; ++i)
        service.Route("b1.photo.store.qq.com", "/psb?/V10pub/" + QByteArray::number(i) + ".jpg",
                      FakeReply::Ok(FakePicture(i, 8192), "image/jpeg").PauseAt(4096, 20000));
    QProcess cli;
    cli.setProcessEnvironment(ProxiedEnvironment(service));
    cli.start(QStringLiteral(TALVORIA_CLI), {u"--app-dir"_s, appDir.path(), u"--no"_s, u"download"_s, u"12345678"_s,
                                             u"--albums"_s, u"1"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(cli.waitForStarted());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (service.RequestsFor("b1.photo.store.qq.com", "/psb").isEmpty() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_FALSE(service.RequestsFor("b1.photo.store.qq.com", "/psb").isEmpty());
    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(10000)); // well before the stalled transfers would end
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 128 + SIGINT);
    const QString album = saveDir.path() + u"12345678/旅行 2012/"_s;
    EXPECT_FALSE(QFile::exists(album + u".pic.zrv"_s));
    EXPECT_TRUE(QDir(album).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(CliQzoneTest, CtrlCWhileListingStopsTheWholeDownloadCommand)
{
    QFile albums(FixturePath(u"qzone/albums.jsonp"_s));
    ASSERT_TRUE(albums.open(QIODevice::ReadOnly));
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2",
                  FakeReply::Ok(albums.readAll()).PauseAt(64, 1500));
    QProcess cli;
    cli.setProcessEnvironment(ProxiedEnvironment(service));
    cli.start(QStringLiteral(TALVORIA_CLI), {u"--app-dir"_s, appDir.path(), u"--no"_s, u"download"_s, u"12345678"_s,
                                             u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(cli.waitForStarted());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (service.RequestsFor("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2").isEmpty() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 128 + SIGINT);
    EXPECT_TRUE(service.RequestsFor("szplist.photo.qq.com", "/fcgi-bin/fcg_list_photo_v2").isEmpty());
    EXPECT_TRUE(service.RequestsFor("sznu.photo.qq.com", "/cgi-bin/common/cgi_view_album_v2").isEmpty());
    EXPECT_FALSE(QDir(saveDir.path() + u"12345678"_s).exists());
}

TEST_F(CliQzoneTest, SelectedAlbumsAreTakenInListOrderEachOnce)
{
    const ChildResult run =
        Cli({u"download"_s, u"12345678"_s, u"--albums"_s, u"3,1,1"_s, u"--save-dir"_s, saveDir.path()});
    // Album 3's photo list is not served: a failed album.
    EXPECT_EQ(run.exitCode, 4) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("私密：显示1张，列出0张，已保存0张，失败0张，跳过0张")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("图集列表获取失败：HTTP 404")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("正在下载第2/2个图集")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("/3个图集"));
    // Album 1 is public (the fast host), album 3 private (the "nu" host).
    QByteArrayList photoHosts;
    for (const FakeRequest& request : service.Requests())
        if (request.path().endsWith("/fcg_list_photo_v2") || request.path().endsWith("/cgi_view_album_v2"))
            photoHosts << request.host;
    EXPECT_EQ(photoHosts, (QByteArrayList{"szplist.photo.qq.com", "sznu.photo.qq.com"}));
}

TEST_F(CliQzoneTest, AnUnreadableCookiesFileIsNamed)
{
    const ChildResult run = Cli({u"--cookies"_s, saveDir.path() + u"missing.txt"_s, u"albums"_s, u"12345678"_s});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("missing.txt")) << run.err.toStdString();
    EXPECT_TRUE(service.Requests().isEmpty());
}
