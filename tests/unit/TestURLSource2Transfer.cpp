#include "MyCode/HttpTransfer.h"
#include "support/TempFolder.h"
#include "unit/FetchFixture.h"

#include <QDir>
#include <QFile>

#include <curl/curl.h>

#include <atomic>
#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr char kSite[] = "photo.example.com";
constexpr char kOtherSite[] = "img.example.net";

QString Url(const char* host, const char* target)
{
    return QStringLiteral("http://%1%2").arg(host, target);
}

QStringList FilesIn(const TempFolder& folder)
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> SortedCookies(const QByteArray& header)
{
    QList<QByteArray> cookies = header.split(';');
    for (QByteArray& cookie : cookies)
        cookie = cookie.trimmed();
    std::sort(cookies.begin(), cookies.end());
    return cookies;
}

class URLSource2TransferTest : public FakeServiceTest {};

TEST_F(URLSource2TransferTest, StallLongerThanTheReadTimeoutFailsTheAttempt)
{
    const QByteArray picture = FakePicture(1, 200000);
    service.Route(kSite, "/stall.jpg", FakeReply::Ok(picture, "image/jpeg").PauseAt(100000, 8000));
    service.Route(kSite, "/slow.jpg", FakeReply::Ok(picture, "image/jpeg").PauseAt(100000, 300));

    Fetch stalled(Url(kSite, "/stall.jpg"));
    stalled.source.m_nReadTimeout = 1000;
    const auto start = Clock::now();
    EXPECT_FALSE(stalled.Send());
    const qint64 elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 1000);
    EXPECT_LT(elapsed, 4000);

    Fetch slow(Url(kSite, "/slow.jpg"));
    slow.source.m_nReadTimeout = 2000;
    ASSERT_TRUE(slow.Send());
    EXPECT_EQ(slow.response.m_body, picture);
}

TEST_F(URLSource2TransferTest, AnswerLaterThanTheConnectTimeoutFailsTheAttempt)
{
    service.Route(kSite, "/late", [](const FakeRequest&) {
        std::this_thread::sleep_for(milliseconds(3000));
        return FakeReply::Ok("too late");
    });
    Fetch fetch(Url(kSite, "/late"));
    fetch.source.m_nConnectTimeout = 500;
    fetch.source.m_nReadTimeout = 10000;
    const auto start = Clock::now();
    EXPECT_FALSE(fetch.Send());
    EXPECT_LT(MillisecondsSince(start), 2500);
}

TEST_F(URLSource2TransferTest, AbortEndsTheTransferAndTheRetries)
{
    service.Route(kSite, "/stall.jpg", FakeReply::Ok(FakePicture(1, 100000), "image/jpeg").PauseAt(50000, 20000));
    std::atomic<bool> abort{false};
    Fetch fetch(Url(kSite, "/stall.jpg"));
    fetch.source.m_pAbort = &abort;
    fetch.source.m_nRetries = 3;
    fetch.source.m_nRetryDelay = 5;
    std::thread stopper([&] {
        while (service.InFlight() == 0)
            std::this_thread::sleep_for(milliseconds(10));
        abort = true;
    });
    const auto start = Clock::now();
    EXPECT_FALSE(fetch.Send());
    stopper.join();
    EXPECT_LT(MillisecondsSince(start), 2500);
    EXPECT_EQ(service.RequestCount(), 1);
}

TEST_F(URLSource2TransferTest, ProxiedRequestKeepsRealHostAndCallerHeaders)
{
    service.Route("user.qzone.qq.com", "/proxy/domain/photo", FakeReply::Ok("albums"));
    Fetch fetch(QStringLiteral("http://user.qzone.qq.com/proxy/domain/photo?uin=10001&t=1"));
    fetch.source.m_strHeaders = "Accept-Encoding: gzip, deflate\r\nReferer: http://user.qzone.qq.com/10001";
    ASSERT_TRUE(fetch.Send());

    const QList<FakeRequest> requests = service.Requests();
    ASSERT_EQ(requests.size(), 1);
    const FakeRequest& request = requests[0];
    EXPECT_TRUE(request.viaProxy);
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.host, "user.qzone.qq.com");
    EXPECT_EQ(request.header("Host"), "user.qzone.qq.com");
    EXPECT_EQ(request.target, "/proxy/domain/photo?uin=10001&t=1");
    EXPECT_EQ(request.header("Accept-Encoding"), "gzip, deflate");
    EXPECT_EQ(request.header("Referer"), "http://user.qzone.qq.com/10001");
    EXPECT_EQ(request.header("User-Agent"),
              "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0; .NET CLR 3.0.04506.648; "
              ".NET CLR 3.5.21022; .NET CLR 2.0.50727;)");
    EXPECT_TRUE(fetch.response.m_strHeaders.startsWith(QStringLiteral("HTTP/1.1 200 OK\r\n")));
    EXPECT_TRUE(fetch.response.m_strHeaders.endsWith(QStringLiteral("\r\n\r\n")));
}

TEST_F(URLSource2TransferTest, PostDataIsSentAsTheBody)
{
    service.Route(kSite, "/login", FakeReply::Ok("welcome"));
    Fetch fetch(Url(kSite, "/login"));
    fetch.source.m_pPostData = "user=a&pass=b";
    ASSERT_TRUE(fetch.Send());
    ASSERT_EQ(service.RequestCount(), 1);
    EXPECT_EQ(service.Requests()[0].method, "POST");
    EXPECT_EQ(service.Requests()[0].body, "user=a&pass=b");
}

// Transfers in a row reuse one libcurl handle: nothing of one request may reach the next.
TEST_F(URLSource2TransferTest, EachRequestCarriesOnlyWhatItsCallerSet)
{
    service.Route(kSite, "/login", FakeReply::Ok("welcome"));
    service.Route(kSite, "/albums", FakeReply::Ok("albums"));
    Fetch post(Url(kSite, "/login"));
    post.source.m_pPostData = "user=a&pass=b";
    post.source.m_strHeaders = "Referer: http://photo.example.com/login";
    ASSERT_TRUE(post.Send());
    Fetch get(Url(kSite, "/albums"));
    ASSERT_TRUE(get.Send());
    Fetch remove(Url(kSite, "/albums"));
    remove.source.m_strVerb = "DELETE";
    ASSERT_TRUE(remove.Send());
    ASSERT_TRUE(get.Send());

    const QList<FakeRequest> requests = service.Requests();
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, "user=a&pass=b");
    EXPECT_EQ(requests[0].header("Referer"), "http://photo.example.com/login");
    for (const int i : {1, 3}) {
        EXPECT_EQ(requests[i].method, "GET") << i;
        EXPECT_TRUE(requests[i].body.isEmpty()) << i;
        EXPECT_TRUE(requests[i].header("Referer").isEmpty()) << i;
        EXPECT_TRUE(requests[i].header("Content-Type").isEmpty()) << i;
    }
    EXPECT_EQ(requests[2].method, "DELETE");
    EXPECT_EQ(get.Text(FLAG_DECOMPRESS | FLAG_UTF8), QStringLiteral("albums"));
}

TEST_F(URLSource2TransferTest, CookiesGoBackOnlyToTheHostThatSetThem)
{
    service.Route(kSite, "/login", FakeReply::Ok("ok").SetCookie("sid=abc123; Path=/"));
    service.Route(kSite, "/albums", FakeReply::Ok("albums"));
    service.Route(kOtherSite, "/pic.jpg", FakeReply::Ok(FakePicture(1), "image/jpeg"));

    ASSERT_TRUE(Fetch(Url(kSite, "/login")).Send());
    ASSERT_TRUE(Fetch(Url(kSite, "/albums")).Send());
    ASSERT_TRUE(Fetch(Url(kOtherSite, "/pic.jpg")).Send());

    EXPECT_FALSE(service.RequestsFor(kSite, "/login")[0].hasHeader("Cookie"));
    EXPECT_EQ(service.RequestsFor(kSite, "/albums")[0].header("Cookie"), "sid=abc123");
    EXPECT_FALSE(service.RequestsFor(kOtherSite, "/pic.jpg")[0].hasHeader("Cookie"));
    EXPECT_EQ(CURLSource2::GetCookie(Url(kSite, "/")), QStringLiteral("sid=abc123"));
    EXPECT_TRUE(CURLSource2::GetCookie(Url(kOtherSite, "/")).isEmpty());
}

TEST_F(URLSource2TransferTest, EveryRedirectHopCarriesAndStoresItsOwnCookies)
{
    CCookieStore::Instance().StoreFromResponse(QUrl(Url(kOtherSite, "/")), {"img=1"});
    service.Route(kSite, "/start", FakeReply::Redirect("http://img.example.net/land").SetCookie("site=1"));
    service.Route(kOtherSite, "/land", FakeReply::Redirect("/final?x=1").SetCookie("landed=1"));
    service.Route(kOtherSite, "/final", FakeReply::Ok("arrived").Header("X-Hop", "final"));

    Fetch fetch(Url(kSite, "/start"));
    // A caller's own cookie line is for its host only.
    fetch.source.m_strHeaders = "Cookie: manual=1";
    ASSERT_TRUE(fetch.Send());
    EXPECT_EQ(fetch.response.m_body, "arrived");
    EXPECT_TRUE(fetch.response.m_strHeaders.contains(QStringLiteral("X-Hop: final")));
    EXPECT_FALSE(fetch.response.m_strHeaders.contains(QStringLiteral("Location")));

    EXPECT_EQ(service.RequestsFor(kSite, "/start")[0].header("Cookie"), "manual=1");
    EXPECT_EQ(service.RequestsFor(kOtherSite, "/land")[0].header("Cookie"), "img=1");
    EXPECT_EQ(SortedCookies(service.RequestsFor(kOtherSite, "/final")[0].header("Cookie")),
              (QList<QByteArray>{"img=1", "landed=1"}));
    EXPECT_EQ(service.RequestsFor(kOtherSite, "/final")[0].query(), "x=1");
    EXPECT_EQ(CURLSource2::GetCookie(Url(kSite, "/")), QStringLiteral("site=1"));
}

TEST_F(URLSource2TransferTest, CallerHeaderLinesGoWholeAndCredentialsOnlyToTheirOrigin)
{
    // Another port of the host is another origin; a line holding a CR would go as two.
    service.Route(kSite, "/start", FakeReply::Redirect("http://photo.example.com:8080/land"));
    service.Route(kSite, "/land", FakeReply::Ok("arrived"));
    Fetch fetch(Url(kSite, "/start"));
    fetch.source.m_strHeaders = "Cookie: manual=1\r\nAuthorization: Basic dTpw\r\nX-A: 1\rX-B: 2\r\nReferer: r";
    ASSERT_TRUE(fetch.Send());
    const FakeRequest start = service.RequestsFor(kSite, "/start").value(0);
    const FakeRequest land = service.RequestsFor(kSite, "/land").value(0);
    EXPECT_EQ(start.header("Cookie"), "manual=1");
    EXPECT_EQ(start.header("Authorization"), "Basic dTpw");
    EXPECT_FALSE(land.hasHeader("Cookie") || land.hasHeader("Authorization"));
    for (const FakeRequest& request : {start, land}) {
        EXPECT_FALSE(request.hasHeader("X-A") || request.hasHeader("X-B")) << request.header("X-A").toStdString();
        EXPECT_EQ(request.header("Referer"), "r");
    }
}

TEST(HttpTransferOrigin, SchemeHostAndPortMakeTheOrigin)
{
    // Also what the fake service cannot show: a secure request redirected to plain http.
    const std::tuple<const char*, const char*, bool> rows[] = {
        {"http://h.example.com/a", "http://H.example.com:80/b?x=1", true},
        {"https://h.example.com/a", "https://h.example.com:443/b", true},
        {"https://h.example.com/a", "http://h.example.com/a", false},
        {"http://h.example.com/a", "http://h.example.com:8080/a", false},
        {"http://h.example.com/a", "http://g.example.com/a", false},
    };
    for (const auto& [a, b, same] : rows)
        EXPECT_EQ(OriginOf(a) == OriginOf(b), same) << a << " " << b;
}

TEST_F(URLSource2TransferTest, RedirectLoopFailsAfterTheHopLimit)
{
    service.Route(kSite, "/loop", FakeReply::Redirect("/loop"));
    Fetch fetch(Url(kSite, "/loop"));
    EXPECT_FALSE(fetch.Send());
    EXPECT_EQ(service.RequestCount(), 11); // the request and ten redirects followed
}

TEST_F(URLSource2TransferTest, SavedPictureAppearsOnlyWhenComplete)
{
    TempFolder folder;
    const QByteArray picture = FakePicture(1, 45000);
    service.Route(kSite, "/ok.jpg", FakeReply::Ok(picture, "image/jpeg"));
    service.Route(kSite, "/cut.jpg", FakeReply::Ok(picture, "image/jpeg").AnnounceLength(picture.size() * 2));
    service.Route(kSite, "/stall.jpg", FakeReply::Ok(picture, "image/jpeg").PauseAt(1000, 5000));

    Fetch cut(Url(kSite, "/cut.jpg"), folder.file("cut.jpg"));
    EXPECT_FALSE(cut.Send(3));
    Fetch stalled(Url(kSite, "/stall.jpg"), folder.file("stall.jpg"));
    stalled.source.m_nReadTimeout = 500;
    EXPECT_FALSE(stalled.Send(3));
    EXPECT_TRUE(FilesIn(folder).isEmpty()) << FilesIn(folder).join(' ').toStdString();

    Fetch ok(Url(kSite, "/ok.jpg"), folder.file("ok.jpg"));
    ASSERT_TRUE(ok.Send(3));
    EXPECT_EQ(FilesIn(folder), QStringList{"ok.jpg"}); // no temporary file left behind
    EXPECT_EQ(ReadFile(folder.file("ok.jpg")), picture);
}

TEST_F(URLSource2TransferTest, APictureIsCheckedAsItArrivesAndLeavesNothingWhenRefused)
{
    TempFolder folder;
    const QByteArray picture = FakePicture(1, 300 * 1024);
    // No length announced, so only the bytes tell; the rest would come ten seconds later.
    FakeReply big = FakeReply::Ok(picture, "image/jpeg").PauseAt(200 * 1024, 10000);
    big.chunked = true;
    service.Route(kSite, "/big.jpg", big);
    service.Route(kSite, "/page.jpg", FakeReply::Ok(" \r\n<!DOCTYPE html><html>gone</html>", "image/jpeg"));
    service.Route(kSite, "/empty.jpg", FakeReply::Ok("", "image/jpeg"));

    Fetch tooBig(Url(kSite, "/big.jpg"), folder.file("big.jpg"));
    tooBig.source.m_nMaxKB = 100;
    const auto start = Clock::now();
    EXPECT_FALSE(tooBig.Send(3));
    EXPECT_LT(MillisecondsSince(start), 5000);
    EXPECT_EQ(tooBig.response.m_eFailure, FetchFailure::SizeLimit);

    Fetch page(Url(kSite, "/page.jpg"), folder.file("page.jpg"));
    EXPECT_FALSE(page.Send(3));
    EXPECT_EQ(page.response.m_eFailure, FetchFailure::NotPicture);
    Fetch empty(Url(kSite, "/empty.jpg"), folder.file("empty.jpg"));
    EXPECT_FALSE(empty.Send(3));
    EXPECT_EQ(empty.response.m_eFailure, FetchFailure::Empty);
    EXPECT_TRUE(FilesIn(folder).isEmpty()) << FilesIn(folder).join(' ').toStdString();

    // Within its limit the same picture arrives whole.
    service.Route(kSite, "/whole.jpg", FakeReply::Ok(picture, "image/jpeg"));
    Fetch whole(Url(kSite, "/whole.jpg"), folder.file("whole.jpg"));
    whole.source.m_nMaxKB = 400;
    ASSERT_TRUE(whole.Send(3));
    EXPECT_EQ(FilesIn(folder), QStringList{"whole.jpg"});
    EXPECT_EQ(ReadFile(folder.file("whole.jpg")), picture);
}

TEST_F(URLSource2TransferTest, ASavedPictureReplacesAnEmptyLeftoverAndTakesTheUsualModes)
{
    TempFolder folder;
    const QByteArray picture = FakePicture(1, 40000);
    service.Route(kSite, "/p.jpg", FakeReply::Ok(picture, "image/jpeg"));
    // Blanks before a web page do not make it a picture.
    const QByteArray page = QByteArray(5000, ' ') + "\n<HTML><body>gone</body></HTML>";
    service.Route(kSite, "/blank.jpg", FakeReply::Ok(page, "image/jpeg"));
    // The longest name a file system takes must not be too long for the temporary one.
    const QString longName = QString(251, u'n') + u".jpg"_s;
    for (const QString& name : {u"p.jpg"_s, longName}) {
        QFile leftover(folder.file(name));
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    }

    for (const QString& name : {u"p.jpg"_s, longName}) {
        Fetch fetch(Url(kSite, "/p.jpg"), folder.file(name));
        ASSERT_TRUE(fetch.Send(3)) << int(fetch.response.m_eFailure);
        EXPECT_EQ(ReadFile(folder.file(name)), picture);
    }
    Fetch blank(Url(kSite, "/blank.jpg"), folder.file("blank.jpg"));
    EXPECT_FALSE(blank.Send(3));
    EXPECT_EQ(blank.response.m_eFailure, FetchFailure::NotPicture);
    EXPECT_EQ(FilesIn(folder), (QStringList{longName, u"p.jpg"_s}));

    const mode_t mask = umask(0);
    umask(mask);
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(folder.file("p.jpg")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

TEST_F(URLSource2TransferTest, ErrorStatusFailsADownloadButNotAListing)
{
    TempFolder folder;
    service.Route(kSite, "/gone", FakeReply::Status(404, "<html>page not found</html>"));

    Fetch download(Url(kSite, "/gone"), folder.file("gone.jpg"));
    EXPECT_FALSE(download.Send(3));
    EXPECT_TRUE(FilesIn(folder).isEmpty());

    Fetch listing(Url(kSite, "/gone"));
    ASSERT_TRUE(listing.Send());
    EXPECT_EQ(listing.Text(FLAG_DECOMPRESS | FLAG_UTF8), QStringLiteral("<html>page not found</html>"));
}

TEST_F(URLSource2TransferTest, APictureThatCannotBeWrittenIsAFailure)
{
    service.Route(kSite, "/ok.jpg", FakeReply::Ok(FakePicture(1), "image/jpeg"));
    Fetch fetch(Url(kSite, "/ok.jpg"), QStringLiteral("/nonexistent-folder/ok.jpg"));
    EXPECT_FALSE(fetch.Send(3));
    EXPECT_EQ(fetch.response.m_eFailure, FetchFailure::WriteError);
}

} // namespace

TEST(HttpTransferAddress, AnAddressIsSentAsLibcurlWritesItBack)
{
    // As libcurl writes it back: what a redirect is resolved against and an origin is read from.
    // Only http and https with a host are sent; Chinese text and blanks are escaped.
    const std::pair<const char*, const char*> rows[] = {
        {"http://pics.example.com/p/1.jpg?size=big&n=2", "http://pics.example.com/p/1.jpg?size=big&n=2"},
        {"https://h.example.com:8443/a", "https://h.example.com:8443/a"},
        {"http://h.example.com:080/a", "http://h.example.com:80/a"},
        {"http://h.example.com:65536/a", ""},
        {"http://h.example.com:/a", "http://h.example.com/a"},
        {"http://h.example.com/a?", "http://h.example.com/a"},
        {"http://h.example.com/a/../b/./c", "http://h.example.com/b/c"},
        {"http://h.example.com", "http://h.example.com/"},
        {"HTTP://H.example.com/a", "http://H.example.com/a"},
        {"http://h.example.com/图 片.jpg", "http://h.example.com/%E5%9B%BE%20%E7%89%87.jpg"},
        {"ftp://h.example.com/a", ""},
    };
    for (const auto& [address, sent] : rows)
        EXPECT_EQ(PrepareAddress(QString::fromUtf8(address)), QByteArray(sent)) << address;
}

TEST(HttpTransferAddress, EveryAddressIsSentAsLibcurlWritesItBack)
{
    // Most addresses are taken as they stand, without asking libcurl: across hosts, ports,
    // paths and queries that libcurl keeps, rewrites or refuses, the answer is still its own.
    const auto libcurlsOwn = [](const QByteArray& address) -> QByteArray {
        CURLU* url = curl_url();
        char* text = nullptr;
        QByteArray written;
        if (curl_url_set(url, CURLUPART_URL, address.constData(), 0) == CURLUE_OK &&
            curl_url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK)
            written = text;
        curl_free(text);
        curl_url_cleanup(url);
        const qsizetype hostStart = written.startsWith("http://") ? 7 : written.startsWith("https://") ? 8 : 0;
        return hostStart > 0 && hostStart < written.size() && written[hostStart] != '/' ? written : QByteArray();
    };
    // clang-format off
    const char* const schemes[] = {"http://", "https://", "HTTP://", "ftp://"};
    const char* const hosts[] = {"h.example.com", "H.Example.com", "127.0.0.1", "127.1", "0x7f.0.0.1", "010.0.0.1",
                                 "1.2.3.4.5", "256.1.1.1", "a..b", "a.", ".a", "1.bp.example.com", "host-1.x9",
                                 "[::1]", "u@h.example.com", "h_1.example.com", ""};
    const char* const ports[] = {"", ":80", ":080", ":8080", ":65535", ":65536", ":", ":0"};
    const char* const paths[] = {"", "/", "/a/b.jpg", "/a/../b", "/./a", "/a/.", "/.hidden.jpg", "//x", "/%41%zz%2e%2E",
                                 "/a!$&'()*+,;=:@~-_", "/a\"b", "/a\\b", "/a{b}", "/a^b`|<>"};
    const char* const queries[] = {"", "?", "?x=1&y=/../2", "??a", "?a#f", "#frag", "?%2e/./"};
    // clang-format on
    for (const char* scheme : schemes)
        for (const char* host : hosts)
            for (const char* port : ports)
                for (const char* path : paths)
                    for (const char* query : queries) {
                        const QByteArray address = QByteArray(scheme) + host + port + path + query;
                        ASSERT_EQ(PrepareAddress(QString::fromLatin1(address)).toStdString(),
                                  libcurlsOwn(address).toStdString());
                    }
}
