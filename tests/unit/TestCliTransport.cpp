// talvoria-cli against servers that misbehave on the wire, as a user meets them.
#include "support/AdapterTest.h"
#include "support/CliTest.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <chrono>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {
class CliTransportTest : public CliTest {};

// The first request gets first, every later one the picture.
FakeHandler BusyOnce(FakeReply first, QByteArray picture, std::shared_ptr<int> requests)
{
    auto mutex = std::make_shared<std::mutex>();
    return [=](const FakeRequest&) {
        std::lock_guard guard(*mutex);
        return ++*requests == 1 ? first : FakeReply::Ok(picture, "image/jpeg");
    };
}

// Every file below folder, by name, with its bytes.
QMap<QString, QByteArray> FilesBelow(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly)) files.insert(it.fileName(), file.readAll());
    }
    return files;
}
} // namespace

TEST_F(CliTransportTest, FetchSavesWhatArrivesWholeAndNamesEveryFailure)
{
    RefusingPort refusing;
    auto busy429 = std::make_shared<int>(0);
    auto busy503 = std::make_shared<int>(0);
    const QByteArray picture = FakePicture(3, 32 * 1024);
    constexpr char kHost[] = "img.example.com";
    service.Route("busy1.example.com", "/b.jpg",
                  BusyOnce(FakeReply::Status(429).Header("Retry-After", "1"), picture, busy429));
    service.Route("busy2.example.com", "/b.jpg", BusyOnce(FakeReply::Status(503), picture, busy503));
    service.Route(kHost, "/cut.jpg", FakeReply::Ok(picture, "image/jpeg").CutAt(1000));
    service.Route(kHost, "/length.jpg", FakeReply::Ok(picture, "image/jpeg").AnnounceLength(picture.size() * 2));
    service.Route(kHost, "/cookie.jpg", FakeReply::Ok(picture, "image/jpeg").SetCookie("enc=gzip; path=/"));

    QFile list(saveDir.path() + u"faults.lst"_s);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    for (const QString& address : {refusing.Url(u"/refused.jpg"_s), u"http://busy1.example.com/b.jpg"_s,
                                   u"http://busy2.example.com/b.jpg"_s, u"http://img.example.com/cut.jpg"_s,
                                   u"http://img.example.com/length.jpg"_s, u"http://img.example.com/cookie.jpg"_s})
        list.write(address.toUtf8() + "\r\n");
    list.close();

    QProcessEnvironment noProxy;
    noProxy.insert(u"no_proxy"_s, QString::fromLatin1(kNoProxyForLoopback));
    const QString out = saveDir.path() + u"out"_s;
    const auto start = std::chrono::steady_clock::now();
    const ChildResult run =
        RunCli(service, appDir.path(), {u"fetch"_s, list.fileName(), u"--save-dir"_s, out}, noProxy);
    ASSERT_TRUE(run.finished);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    const QString err = QString::fromUtf8(run.err);
    EXPECT_EQ(run.exitCode, 4) << err.toStdString();
    EXPECT_TRUE(err.contains(u"已保存3张，失败3张，跳过0张"_s)) << err.toStdString();

    // Each failure is named with its reason, and nothing carries a failed picture's name.
    QStringList reasons;
    QStringList failedNames;
    static const QRegularExpression failure(u"失败 (.+): (.+)"_s);
    for (auto it = failure.globalMatch(err); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        failedNames << match.captured(1);
        reasons << match.captured(2);
    }
    reasons.sort();
    EXPECT_EQ(reasons, (QStringList{u"传输中断"_s, u"传输中断"_s, u"连接失败"_s})) << err.toStdString();
    const QMap<QString, QByteArray> files = FilesBelow(out);
    for (const QString& name : failedNames)
        EXPECT_FALSE(files.contains(name)) << name.toStdString();
    // The three saved: both busy hosts after their pause, and the plain picture with the cookie.
    ASSERT_EQ(files.size(), 3) << QStringList(files.keys()).join(u", "_s).toStdString();
    for (const QByteArray& bytes : files)
        EXPECT_EQ(bytes, picture);
    EXPECT_EQ(*busy429, 2);
    EXPECT_EQ(*busy503, 2);
}

TEST_F(CliTransportTest, AGzipCookieLeavesAPlainListingReadable)
{
    // The album list answers plain text while setting a cookie whose value is "gzip".
    service.Route("route.store.qq.com", "/GetRoute", FakeReply::File(FixturePath(u"qzone/route.json"_s)));
    FakeReply albums = FakeReply::File(FixturePath(u"qzone/albums.jsonp"_s));
    albums.SetCookie("enc=gzip");
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2", albums);
    EXPECT_EQ(AlbumsJson(u"12345678"_s).size(), 5);
}
