#include "MyCode/StringCtrl.h"
#include "unit/FetchFixture.h"

#include <QDateTime>
#include <QLocale>

namespace {

constexpr char kHost[] = "pages.example.com";

QString Page(const char* path)
{
    return QStringLiteral("http://%1%2").arg(kHost, path);
}

class URLSource2Test : public FakeServiceTest {};

TEST_F(URLSource2Test, StartMarkKeepsWhatFollowsItsLastOccurrence)
{
    service.Route(kHost, "/three", FakeReply::Ok("one<S>two<S>three<S>tail"));
    Fetch fetch(Page("/three"));
    fetch.source.m_strStartMark = "<S>";
    ASSERT_TRUE(fetch.Send());
    EXPECT_EQ(fetch.response.m_body, "tail");
}

TEST_F(URLSource2Test, MarksStraddlingTwoReadsAreFound)
{
    // The pauses split the body inside "START" and inside "<END>", so no single read holds a
    // whole mark.
    const QByteArray page = "junk before STARTwanted part<END>junk after";
    service.Route(kHost, "/split", FakeReply::Ok(page).ChunkedAt({14, 30}).PauseAt(14, 150).PauseAt(30, 150));
    Fetch fetch(Page("/split"));
    fetch.source.m_strStartMark = "START";
    fetch.source.m_strEndMark = "<END>";
    ASSERT_TRUE(fetch.Send());
    EXPECT_EQ(fetch.response.m_body, "wanted part");
}

TEST_F(URLSource2Test, EndMarkEndsTheTransferWithoutAwaitingTheRest)
{
    QByteArray page = "<div id=list>albums</div><!--end-->";
    const qsizetype afterMark = page.size();
    page += QByteArray(200000, 'x');
    service.Route(kHost, "/long", FakeReply::Ok(page).PauseAt(afterMark, 5000));
    Fetch fetch(Page("/long"));
    fetch.source.m_strEndMark = "</div><!--end-->";

    const auto start = Clock::now();
    ASSERT_TRUE(fetch.Send());
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_EQ(fetch.response.m_body, "<div id=list>albums");
}

TEST_F(URLSource2Test, GzipBodyIsCutByGetTextNotWhileReading)
{
    const QByteArray page = "head<ul>\xE4\xB8\xAD &amp;lt;b&amp;gt;</ul>tail";
    const FakeReply reply = FakeReply::Ok(page).Gzipped();
    service.Route(kHost, "/gz", reply);
    Fetch fetch(Page("/gz"));
    fetch.source.m_strHeaders = "Accept-Encoding: gzip, deflate";
    fetch.source.m_strStartMark = "<ul>";
    fetch.source.m_strEndMark = "</ul>";
    ASSERT_TRUE(fetch.Send());
    EXPECT_TRUE(fetch.response.m_bGzip);
    EXPECT_EQ(fetch.response.m_body, reply.body); // compressed bytes, uncut
    EXPECT_EQ(fetch.Text(FLAG_DECOMPRESS | FLAG_UTF8), QStringLiteral("中 <b>"));
}

TEST_F(URLSource2Test, OnlyContentEncodingMakesABodyCompressed)
{
    const QByteArray text = "<ul>albums &amp; more</ul>";
    const QByteArray gzip = GzipBytes(text);
    const QByteArray zlib = qCompress(text).mid(4); // qCompress puts the length before the stream
    struct Row {
        const char* path;
        FakeReply reply;
        QByteArray body; // Body(true)
    } rows[] = {
        // The word in a cookie says nothing: a gzip file sent as it is stays as it is.
        {"/cookie", FakeReply::Ok(gzip).SetCookie("enc=gzip"), gzip},
        {"/gzip", FakeReply::Ok(gzip).Header("Content-Encoding", "gzip"), text},
        {"/deflate", FakeReply::Ok(zlib).Header("content-encoding", "Deflate"), text},
        // A body that claims a coding it does not have is used as it came.
        {"/claims", FakeReply::Ok(text).Header("Content-Encoding", "gzip"), text},
        {"/brotli", FakeReply::Ok(gzip).Header("Content-Encoding", "br"), gzip},
    };
    for (const Row& row : rows) {
        service.Route(kHost, row.path, row.reply);
        Fetch fetch(Page(row.path));
        fetch.source.m_nMinLength = 5; // the acceptance check reads the decompressed body too
        ASSERT_TRUE(fetch.Send(FLAG_DECOMPRESS)) << row.path;
        EXPECT_EQ(fetch.response.Body(true), row.body) << row.path;
    }

    // A plain page with such a cookie is cut while it arrives, and its end mark ends the read.
    service.Route(kHost, "/marked", FakeReply::Ok("<ul>a</ul>" + QByteArray(100000, 'x')).SetCookie("gzip=1"));
    Fetch marked(Page("/marked"));
    marked.source.m_strStartMark = "<ul>";
    marked.source.m_strEndMark = "</ul>";
    ASSERT_TRUE(marked.Send());
    EXPECT_FALSE(marked.response.m_bGzip);
    EXPECT_EQ(marked.response.m_body, "a");
    EXPECT_EQ(marked.Text(FLAG_DECOMPRESS | FLAG_UTF8), QStringLiteral("a"));
}

TEST_F(URLSource2Test, RetryAfterReadsSecondsAndHttpDates)
{
    const auto retryAfter = [](const QString& headers) {
        CURLResponse response;
        response.m_strHeaders = headers;
        return response.RetryAfterSeconds();
    };
    EXPECT_EQ(retryAfter(QStringLiteral("HTTP/1.1 429 Too Many\r\nretry-after: 120\r\n\r\n")), 120);
    EXPECT_EQ(retryAfter(QStringLiteral("HTTP/1.1 503 Busy\r\nRetry-After: soon\r\n\r\n")), -1);
    EXPECT_EQ(retryAfter(QStringLiteral("HTTP/1.1 503 Busy\r\n\r\n")), -1);
    EXPECT_EQ(retryAfter(QStringLiteral("HTTP/1.1 503 Busy\r\nRetry-After: Sun, 06 Nov 1994 08:49:37 GMT\r\n")), 0);
    const QString inAMinute = QLocale::c().toString(QDateTime::currentDateTimeUtc().addSecs(60),
                                                    QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
    const qint64 seconds = retryAfter(QStringLiteral("HTTP/1.1 503 Busy\r\nRetry-After: ") + inAMinute + "\r\n");
    EXPECT_GE(seconds, 58);
    EXPECT_LE(seconds, 60);
}

TEST_F(URLSource2Test, LongTextConvertsAsInOnePiece)
{
    // Megabytes of two-byte characters between blanks at uneven distances, a stretch longer than
    // a slice with no blank at all, entities, and a NUL that is just another character.
    const auto page = [](const QByteArray& character) {
        QByteArray bytes;
        for (int run = 1; bytes.size() < 3'000'000; run = run % 97 + 1)
            bytes += character.repeated(run) + (run % 2 ? " " : "&amp;\n");
        bytes += character.repeated(700'000) + "<end>";
        bytes.insert(2'500'001, character);
        return bytes + QByteArray(1, '\0') + "after the end";
    };
    const QByteArray gbk = page("\xD6\xD0");
    const QByteArray utf8 = page("\xE4\xB8\xAD");
    const struct {
        const char* path;
        QByteArray body;
        int flags;
        int codePage;
    } rows[] = {{"/gbk", gbk, FLAG_DECOMPRESS, CP_GBK}, {"/utf8", utf8, FLAG_DECOMPRESS | FLAG_UTF8, CP_UTF8}};
    for (const auto& row : rows) {
        service.Route(kHost, row.path, FakeReply::Ok(row.body).Gzipped());
        Fetch fetch(Page(row.path));
        ASSERT_TRUE(fetch.Send()) << row.path;
        QString whole = CStringCtrl::MultiToWide(row.body, row.codePage);
        CStringCtrl::DecodeEntities(whole);
        const QString text = fetch.Text(row.flags);
        EXPECT_TRUE(text.endsWith(QStringLiteral("<end>") + QChar(0) + QStringLiteral("after the end"))) << row.path;
        EXPECT_EQ(text.size(), whole.size()) << row.path;
        EXPECT_TRUE(text == whole) << row.path;
    }
}

TEST_F(URLSource2Test, NoAttemptsMeansNoRequest)
{
    service.Route(kHost, "/any", FakeReply::Ok("body"));
    Fetch fetch(Page("/any"));
    fetch.source.m_nRetries = 0;
    EXPECT_FALSE(fetch.Send());
    EXPECT_EQ(service.RequestCount(), 0);
}

TEST_F(URLSource2Test, RetryMarkMakesEveryAttemptAndSleepsAfterEach)
{
    service.Route(kHost, "/busy", FakeReply::Ok("<p>server busy, try later</p>"));
    Fetch fetch(Page("/busy"));
    fetch.source.m_strRetryMark = "server busy";
    fetch.source.m_nRetries = 3;
    fetch.source.m_nRetryDelay = 1;

    const auto start = Clock::now();
    EXPECT_FALSE(fetch.Send());
    const qint64 elapsed = MillisecondsSince(start);
    const QList<FakeRequest> requests = service.Requests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_GE(std::chrono::duration_cast<milliseconds>(requests[2].received - requests[0].received).count(), 1900);
    EXPECT_GE(elapsed, 2900); // the pause after the last attempt too
}

TEST_F(URLSource2Test, RetryMarkAbsentAcceptsFirstAttempt)
{
    service.Route(kHost, "/fine", FakeReply::Ok("<p>albums</p>"));
    Fetch fetch(Page("/fine"));
    fetch.source.m_strRetryMark = "server busy";
    fetch.source.m_nRetries = 3;
    EXPECT_TRUE(fetch.Send());
    EXPECT_EQ(service.RequestCount(), 1);
}

TEST_F(URLSource2Test, BodyMustBeLongerThanMinimumLength)
{
    service.Route(kHost, "/ten", FakeReply::Ok("0123456789"));
    Fetch exact(Page("/ten"));
    exact.source.m_nMinLength = 10;
    EXPECT_FALSE(exact.Send());

    Fetch oneMore(Page("/ten"));
    oneMore.source.m_nMinLength = 9;
    EXPECT_TRUE(oneMore.Send());
}

TEST_F(URLSource2Test, AnnouncedLengthOutsideLimitsFailsBeforeTheBody)
{
    service.Route(kHost, "/empty", FakeReply::Ok(""));
    // Were the body awaited, the pause would hold the answer for five seconds.
    service.Route(kHost, "/big", FakeReply::Ok(QByteArray(3000, 'b')).PauseAt(0, 5000));
    service.Route(kHost, "/small", FakeReply::Ok(QByteArray(500, 's')).PauseAt(0, 5000));

    Fetch empty(Page("/empty"));
    empty.source.m_nMinKB = 1;
    EXPECT_FALSE(empty.Send());

    const auto start = Clock::now();
    Fetch big(Page("/big"));
    big.source.m_nMaxKB = 2;
    EXPECT_FALSE(big.Send());
    Fetch small(Page("/small"));
    small.source.m_nMinKB = 1;
    EXPECT_FALSE(small.Send());
    EXPECT_LT(MillisecondsSince(start), 3000);
}

TEST_F(URLSource2Test, MaximumSizeIsCheckedWhileReadingAndZeroMeansNone)
{
    const QByteArray picture = FakePicture(1, 3 * 1024 * 1024);
    // Chunked: no Content-Length to refuse it early, so the limit must hold while reading.
    service.Route(kHost, "/big.jpg", FakeReply::Ok(picture, "image/jpeg").ChunkedAt({65536, 1048576}));

    Fetch unlimited(Page("/big.jpg"));
    ASSERT_TRUE(unlimited.Send());
    EXPECT_EQ(unlimited.response.m_body.size(), picture.size());

    Fetch limited(Page("/big.jpg"));
    limited.source.m_nMaxKB = 1024;
    EXPECT_FALSE(limited.Send());

    Fetch roomy(Page("/big.jpg"));
    roomy.source.m_nMaxKB = 3072;
    EXPECT_TRUE(roomy.Send());
}

TEST_F(URLSource2Test, AnEndlessPageEndsAtTheCap)
{
    service.Route(kHost, "/endless", FakeReply::Ok(QByteArray(1 << 20, 'x'), "text/plain").Endless());
    Fetch page(Page("/endless"));
    EXPECT_FALSE(page.Send());
    EXPECT_EQ(page.response.m_eFailure, FetchFailure::SizeLimit);
    // Refused at the first read past the cap.
    EXPECT_GT(page.response.m_body.size(), CURLSource2::kInflateCap);
    EXPECT_LT(page.response.m_body.size(), CURLSource2::kInflateCap + (1 << 20));
}

TEST_F(URLSource2Test, CharsetRulesDecideTheConversion)
{
    const QByteArray gbk = "\xD6\xD0\xCE\xC4";  // 中文
    const QByteArray big5 = "\xA4\xA4\xA4\xE5"; // 中文
    const QByteArray utf8 = "\xE4\xB8\xAD\xE6\x96\x87";
    service.Route(kHost, "/gbk-declared", FakeReply::Ok(gbk, "text/html; charset=GBK"));
    service.Route(kHost, "/gbk", FakeReply::Ok(gbk, "text/html"));
    service.Route(kHost, "/big5", FakeReply::Ok(big5, "text/html"));
    service.Route(kHost, "/utf8", FakeReply::Ok(utf8, "text/html"));
    const QString expected = QStringLiteral("中文");
    const auto text = [&](const char* path, int flags) {
        Fetch fetch(Page(path));
        EXPECT_TRUE(fetch.Send());
        return fetch.Text(flags);
    };

    EXPECT_EQ(text("/gbk-declared", FLAG_DECOMPRESS | FLAG_UTF8), expected);
    EXPECT_NE(text("/gbk", FLAG_UTF8), expected);
    EXPECT_EQ(text("/gbk", FLAG_DECOMPRESS), expected);
    EXPECT_EQ(text("/big5", FLAG_DECOMPRESS | FLAG_BIG5), expected);
    EXPECT_EQ(text("/utf8", FLAG_UTF8_IF_VALID), expected);
    EXPECT_EQ(text("/gbk", FLAG_UTF8_IF_VALID), expected);
}

TEST_F(URLSource2Test, EntitiesAreDecodedOneAfterTheOther)
{
    service.Route(kHost, "/entities", FakeReply::Ok("&amp;lt;&quot;a&quot;&nbsp;&#39;b&#39;&copy;"));
    Fetch fetch(Page("/entities"));
    ASSERT_TRUE(fetch.Send());
    EXPECT_EQ(fetch.Text(FLAG_DECOMPRESS | FLAG_UTF8), QStringLiteral("<\"a\" 'b'&copy;"));
}

TEST_F(URLSource2Test, UnparsableAddressSendsNothing)
{
    service.Route("*", "/*", FakeReply::Ok("anything"));
    for (const char* address : {"not an address", "ftp://pages.example.com/x", "http://", "pages.example.com/x", ""}) {
        Fetch fetch(QString::fromLatin1(address));
        EXPECT_FALSE(fetch.response.Perform(fetch.source, 0)) << address;
    }
    EXPECT_EQ(service.RequestCount(), 0);
}

TEST_F(URLSource2Test, SecureAddressesStaySecure)
{
    // Secure requests go to the https proxy as a tunnel request, which the service refuses; a
    // downgraded one would arrive as a plain GET and be answered.
    ScopedVariable httpsProxy("https_proxy", service.ProxyUrl().toUtf8());
    service.Route(kHost, "/album", FakeReply::Ok("ok"));
    service.Route(kHost, "/moved", FakeReply::Redirect("https://pages.example.com/album"));
    Fetch direct(QStringLiteral("https://pages.example.com/album?id=7"));
    EXPECT_FALSE(direct.Send());
    Fetch redirected(Page("/moved"));
    EXPECT_FALSE(redirected.Send());
    QList<QByteArray> seen;
    for (const FakeRequest& request : service.Requests())
        seen << request.method + ' ' + request.target;
    EXPECT_EQ(seen,
              (QList<QByteArray>{"CONNECT pages.example.com:443", "GET /moved", "CONNECT pages.example.com:443"}));
    // The tunnel request names the browser the service's requests name.
    EXPECT_TRUE(service.Requests()[0].header("User-Agent").startsWith("Mozilla/4.0 (compatible; MSIE 8.0;"));
}

TEST_F(URLSource2Test, AddressWithBlanksAndChineseIsEscaped)
{
    service.Route(kHost, "/search", FakeReply::Ok("found"));
    Fetch fetch(QStringLiteral("http://pages.example.com/search?q=中 文"));
    ASSERT_TRUE(fetch.Send());
    ASSERT_EQ(service.RequestCount(), 1);
    EXPECT_EQ(service.Requests()[0].query(), "q=%E4%B8%AD%20%E6%96%87");
}

TEST(URLSource2Inflate, KeepsPartialOutputOfADamagedStream)
{
    const QByteArray text = QByteArray("album list ").repeated(2000);
    const QByteArray gzip = GzipBytes(text);
    QByteArray whole;
    EXPECT_TRUE(CURLSource2::Inflate(whole, gzip.constData(), gzip.size()));
    EXPECT_EQ(whole, text);

    QByteArray partial = "kept:";
    EXPECT_FALSE(CURLSource2::Inflate(partial, gzip.constData(), gzip.size() / 2));
    EXPECT_GT(partial.size(), 5);
    EXPECT_TRUE(text.startsWith(partial.mid(5)));
}

TEST(URLSource2Inflate, BombIsCappedAtTheDefaultLimit)
{
    const QByteArray bomb = GzipZeros(CURLSource2::kInflateCap + 64 * 1024 * 1024);
    ASSERT_LT(bomb.size(), 1024 * 1024);
    QByteArray out;
    EXPECT_FALSE(CURLSource2::Inflate(out, bomb.constData(), bomb.size()));
    EXPECT_EQ(out.size(), CURLSource2::kInflateCap);
}

TEST_F(URLSource2Test, BombIsCappedAtTheRequestsMaximumSize)
{
    service.Route(kHost, "/bomb", FakeReply::Ok(GzipZeros(50 * 1024 * 1024)).Header("Content-Encoding", "gzip"));
    Fetch fetch(Page("/bomb"));
    fetch.source.m_nMaxKB = 64;
    fetch.source.m_nMinLength = 1;
    ASSERT_TRUE(fetch.Send(FLAG_DECOMPRESS)); // the compressed body is small enough
    EXPECT_EQ(fetch.response.Body(true).size(), 64 * 1024);
}

} // namespace
