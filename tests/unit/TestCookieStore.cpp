#include "MyCode/CookieStore.h"
#include "support/TempFolder.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QNetworkCookie Cookie(const char* name, const char* value, const QString& domain, const QString& path = "/")
{
    QNetworkCookie cookie(name, value);
    cookie.setDomain(domain);
    cookie.setPath(path);
    return cookie;
}

QByteArray Header(const CCookieStore& store, const char* url)
{
    return store.CookieHeader(QUrl(url));
}

QList<QByteArray> Lines(const QByteArray& text)
{
    QList<QByteArray> lines;
    for (const QByteArray& line : text.split('\n'))
        if (!line.isEmpty() && !line.startsWith("# ")) lines.append(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(CookieStore, SavesAndLoadsNetscapeCookiesTxt)
{
    TempFolder folder;
    const QString path = folder.file("cookies.txt");
    const qint64 expiry = QDateTime::currentSecsSinceEpoch() + 86400;

    CCookieStore store;
    ASSERT_TRUE(store.Load(path)); // no file yet: an empty store
    QNetworkCookie skey = Cookie("skey", "@abc", ".qq.com");
    skey.setHttpOnly(true);
    QNetworkCookie uin = Cookie("uin", "o0123", ".qq.com");
    uin.setExpirationDate(QDateTime::fromSecsSinceEpoch(expiry, Qt::UTC));
    QNetworkCookie secure = Cookie("token", "s", "user.qzone.qq.com", "/proxy");
    secure.setSecure(true);
    for (const QNetworkCookie& cookie : {skey, uin, secure})
        store.SetCookie(cookie);
    EXPECT_TRUE(store.HasUnsavedChanges());
    ASSERT_TRUE(store.Save());
    EXPECT_FALSE(store.HasUnsavedChanges());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    EXPECT_TRUE(saved.startsWith("# Netscape HTTP Cookie File\n"));
    EXPECT_EQ(Lines(saved), (QList<QByteArray>{
                                "#HttpOnly_.qq.com\tTRUE\t/\tFALSE\t0\tskey\t@abc",
                                ".qq.com\tTRUE\t/\tFALSE\t" + QByteArray::number(expiry) + "\tuin\to0123",
                                "user.qzone.qq.com\tFALSE\t/proxy\tTRUE\t0\ttoken\ts",
                            }));

    CCookieStore reloaded;
    ASSERT_TRUE(reloaded.Load(path));
    QList<QNetworkCookie> cookies = reloaded.AllCookies();
    ASSERT_EQ(cookies.size(), 3);
    for (const QNetworkCookie& original : {skey, uin, secure}) {
        const auto match = std::find_if(cookies.begin(), cookies.end(),
                                        [&](const QNetworkCookie& c) { return c.hasSameIdentifier(original); });
        ASSERT_NE(match, cookies.end()) << original.name().toStdString();
        EXPECT_EQ(*match, original) << original.name().toStdString();
    }
}

TEST(CookieStore, ImportsABrowserExportWithQtMatchingRules)
{
    TempFolder folder;
    const qint64 future = QDateTime::currentSecsSinceEpoch() + 3600;
    const QByteArray later = QByteArray::number(future);
    WriteFile(folder.file("export.txt"), "# Netscape HTTP Cookie File\r\n"
                                         "# http://curl.haxx.se/rfc/cookie_spec.html\r\n"
                                         "\r\n"
                                         "qq.com\tTRUE\t/\tFALSE\t" +
                                             later +
                                             "\tuin\to0123\r\n"
                                             "#HttpOnly_.qq.com\tTRUE\t/\tFALSE\t" +
                                             later +
                                             ".5\tskey\t@xyz\r\n"
                                             "qzone.qq.com\tFALSE\t/\tFALSE\t0\thostonly\t1\r\n"
                                             ".qq.com\tTRUE\t/album\tFALSE\t0\tdeep\t1\r\n"
                                             ".qq.com\tTRUE\t/\tTRUE\t0\tsecure\t1\r\n"
                                             ".qq.com\tTRUE\t/\tFALSE\t1000\told\t1\r\n"
                                             ".qq.com\tTRUE\t/\tFALSE\t0\tempty\n"
                                             "broken line\n");

    CCookieStore store;
    EXPECT_EQ(store.ImportNetscape(folder.file("export.txt")), 6); // the expired one is dropped
    EXPECT_EQ(store.ImportNetscape(folder.file("missing.txt")), -1);

    const auto names = [&](const char* url) {
        QList<QByteArray> pairs = Header(store, url).split(';');
        for (QByteArray& pair : pairs)
            pair = pair.trimmed();
        std::sort(pairs.begin(), pairs.end());
        return pairs.join(' ');
    };
    EXPECT_EQ(names("http://user.qzone.qq.com/10001"), "empty= skey=@xyz uin=o0123");
    EXPECT_EQ(names("http://qzone.qq.com/"), "empty= hostonly=1 skey=@xyz uin=o0123");
    EXPECT_EQ(names("http://photo.qq.com/album/1"), "deep=1 empty= skey=@xyz uin=o0123");
    EXPECT_EQ(names("https://qq.com/"), "empty= secure=1 skey=@xyz uin=o0123");
    EXPECT_EQ(Header(store, "http://qq.com.evil.example/"), "");
}

TEST(CookieStore, LongerPathsGoFirstAndAPublicSuffixsCookiesOnlyToItself)
{
    CCookieStore store;
    for (const QNetworkCookie& cookie :
         CCookieStore::ParseNetscape(".qq.com\tTRUE\t/\tFALSE\t0\ta\t1\n"
                                     "user.qzone.qq.com\tFALSE\t/album/1\tFALSE\t0\tc\t1\n"
                                     ".qq.com\tTRUE\t/album\tFALSE\t0\tb\t1\n"
                                     ".qq.com\tTRUE\t/\tFALSE\t0\td\t1\n"
                                     ".com\tTRUE\t/\tFALSE\t0\ttld\t1\n"))
        store.SetCookie(cookie);
    EXPECT_EQ(Header(store, "http://user.qzone.qq.com/album/1"), "c=1; b=1; a=1; d=1");
    EXPECT_EQ(Header(store, "http://qq.com/albums"), "a=1; d=1");
    EXPECT_EQ(Header(store, "http://com/"), "tld=1");
}

TEST(CookieStore, ResponsesCannotSetCookiesForForeignDomains)
{
    CCookieStore store;
    store.StoreFromResponse(QUrl("http://user.qzone.qq.com/x"),
                            {"own=1; Domain=qq.com", "foreign=1; Domain=example.com", "a=1\nb=2"});
    EXPECT_EQ(Header(store, "http://photo.qq.com/"), "own=1");
    EXPECT_EQ(Header(store, "http://example.com/"), "");
    EXPECT_EQ(store.AllCookies().size(), 3);
}

TEST(CookieStore, ChangeHookReportsRealChangesOnly)
{
    CCookieStore store;
    QList<QPair<QByteArray, bool>> seen;
    store.SetChangeHook([&](const QNetworkCookie& cookie, bool removed) {
        seen.append({cookie.name() + '=' + cookie.value(), removed});
    });
    const QNetworkCookie first = Cookie("sid", "1", ".qq.com");
    store.SetCookie(first);
    store.SetCookie(first); // what a mirroring browser store echoes back
    store.SetCookie(Cookie("sid", "2", ".qq.com"));
    QNetworkCookie expired = Cookie("sid", "", ".qq.com");
    expired.setExpirationDate(QDateTime::currentDateTimeUtc().addDays(-1));
    store.SetCookie(expired);

    EXPECT_EQ(seen, (QList<QPair<QByteArray, bool>>{{"sid=1", false}, {"sid=2", false}, {"sid=2", true}}));
    EXPECT_TRUE(store.AllCookies().isEmpty());
}

TEST(CookieStore, LoadingKeepsTheLastOfRepeatedCookiesAndReportsWhatChanged)
{
    TempFolder folder;
    const QByteArray later = QByteArray::number(QDateTime::currentSecsSinceEpoch() + 3600);
    // A file appended to by hand: sid twice (the later line wins and moves to the end), an
    // expired line that deletes the earlier "gone", and the same cookie repeated unchanged.
    WriteFile(folder.file("cookies.txt"), ".qq.com\tTRUE\t/\tFALSE\t0\tsid\t1\n"
                                          ".qq.com\tTRUE\t/\tFALSE\t0\tgone\tx\n"
                                          ".qq.com\tTRUE\t/\tFALSE\t0\tkeep\tk\n"
                                          ".qq.com\tTRUE\t/a\tFALSE\t0\tsid\tother-path\n"
                                          ".qq.com\tTRUE\t/\tFALSE\t0\tsid\t2\n"
                                          ".qq.com\tTRUE\t/\tFALSE\t1000\tgone\t\n"
                                          ".qq.com\tTRUE\t/\tFALSE\t" +
                                              later + "\tkeep\tk\n.qq.com\tTRUE\t/\tFALSE\t" + later + "\tkeep\tk\n");

    CCookieStore store;
    store.SetCookie(Cookie("before", "b", ".qq.com"));
    QList<QByteArray> seen;
    store.SetChangeHook([&](const QNetworkCookie& cookie, bool removed) {
        seen.append((removed ? "-" : "+") + cookie.name() + '=' + cookie.value());
    });
    ASSERT_TRUE(store.Load(folder.file("cookies.txt")));
    EXPECT_FALSE(store.HasUnsavedChanges());

    QList<QByteArray> held;
    for (const QNetworkCookie& cookie : store.AllCookies())
        held.append(cookie.name() + '=' + cookie.value() + '@' + cookie.path().toUtf8());
    EXPECT_EQ(held, (QList<QByteArray>{"sid=other-path@/a", "sid=2@/", "keep=k@/"}));
    EXPECT_EQ(seen, (QList<QByteArray>{"-before=b", "+sid=1", "+gone=x", "+keep=k", "+sid=other-path", "+sid=2",
                                       "-gone=x", "+keep=k"}));

    // Importing on top: unchanged cookies count as taken without a change, expired ones do not.
    seen.clear();
    WriteFile(folder.file("export.txt"), ".qq.com\tTRUE\t/\tFALSE\t0\tsid\t2\n"
                                         ".qq.com\tTRUE\t/\tFALSE\t0\tnew\tn\n"
                                         ".qq.com\tTRUE\t/a\tFALSE\t1000\tsid\t\n");
    EXPECT_EQ(store.ImportNetscape(folder.file("export.txt")), 2);
    EXPECT_EQ(seen, (QList<QByteArray>{"+new=n", "-sid=other-path"}));
    EXPECT_EQ(Header(store, "http://qq.com/a/b"), "sid=2; keep=k; new=n");
    EXPECT_TRUE(store.HasUnsavedChanges());
}

TEST(CookieStore, LargeCookieFilesLoadWithoutStalling)
{
    // Every start loads the whole file; a store that rescans itself per cookie took minutes here.
    // A hundred per host, within what one domain keeps.
    constexpr int kCookies = 100000;
    constexpr int kHosts = 1000;
    TempFolder folder;
    QByteArray text;
    for (int i = 0; i < kCookies; ++i)
        text += ".h" + QByteArray::number(i % kHosts) + ".example.com\tTRUE\t/\tFALSE\t0\tc" + QByteArray::number(i) +
                "\tv\n";
    WriteFile(folder.file("cookies.txt"), text);

    CCookieStore store;
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(store.Load(folder.file("cookies.txt")));
    EXPECT_EQ(store.AllCookies().size(), kCookies);
    EXPECT_EQ(
        Header(store, "http://h7.example.com/"), "c7=v; c1007=v; c2007=v" + [] {
            QByteArray rest;
            for (int i = 3007; i < kCookies; i += kHosts)
                rest += "; c" + QByteArray::number(i) + "=v";
            return rest;
        }());
    EXPECT_LT(timer.elapsed(), 30000);
}

// Sorted, as are the names of Numbered: c<from> to c<to - 1> and the names given.
QList<QByteArray> HeldNames(const CCookieStore& store)
{
    QList<QByteArray> names;
    for (const QNetworkCookie& cookie : store.AllCookies())
        names.append(cookie.name());
    std::sort(names.begin(), names.end());
    return names;
}

QList<QByteArray> Numbered(int from, int to, QList<QByteArray> names = {})
{
    for (int i = from; i < to; ++i)
        names.append("c" + QByteArray::number(i));
    std::sort(names.begin(), names.end());
    return names;
}

void Answer(CCookieStore& store, int from, int to, bool oneValue = false)
{
    QList<QByteArray> values;
    for (int i = from; i < to; ++i)
        values.append("c" + QByteArray::number(i) + "=xxxxxxxxxx; Domain=qq.com");
    store.StoreFromResponse(QUrl("http://user.qzone.qq.com/"), oneValue ? QList{values.join('\n')} : values);
}

TEST(CookieStore, AResponseSetsAtMost50AndADomainKeepsItsNewest180)
{
    for (const bool oneValue : {false, true}) {
        CCookieStore store;
        Answer(store, 0, 60, oneValue);
        EXPECT_EQ(HeldNames(store), Numbered(0, 50)) << oneValue;
    }
    // qq.com's host-only and domain cookies share one bound, photo.qq.com has its own; the
    // oldest go first, and a renewed cookie counts as new.
    CCookieStore store;
    store.SetCookie(Cookie("other", "1", "photo.qq.com"));
    store.SetCookie(Cookie("host", "1", "qq.com"));
    Answer(store, 0, 50);
    store.SetCookie(Cookie("c0", "2", ".qq.com"));
    for (int from = 50; from < 200; from += 50)
        Answer(store, from, from + 50);
    EXPECT_EQ(HeldNames(store), Numbered(21, 200, {"c0", "other"}));

    TempFolder folder;
    QByteArray text;
    for (int i = 0; i < 200; ++i)
        text += ".qq.com\tTRUE\t/\tFALSE\t0\tc" + QByteArray::number(i) + "\t1\n";
    WriteFile(folder.file("cookies.txt"), text);
    ASSERT_TRUE(store.Load(folder.file("cookies.txt")));
    EXPECT_EQ(HeldNames(store), Numbered(20, 200));
}

TEST(CookieStore, TheHeaderCarriesTheCookiesThatFitIn8190Bytes)
{
    // The value's room: "Cookie: " and the value within 8190 bytes.
    constexpr int kRoom = 8182;
    const auto pair = [](const char* name, int size) { return name + ("=" + QByteArray(size - 2, 'x')); };
    const QByteArray half = pair("a", kRoom / 2 - 1);
    const struct {
        QList<QByteArray> pairs; // set in this order
        QByteArray header;
    } cases[] = {
        {{pair("a", kRoom)}, pair("a", kRoom)},
        {{pair("a", kRoom + 1), "b=1"}, "b=1"},
        {{half, pair("b", kRoom / 2 - 1)}, half + "; " + pair("b", kRoom / 2 - 1)},
        {{half, pair("b", kRoom / 2), "c=1"}, half + "; c=1"},
    };
    for (const auto& c : cases) {
        CCookieStore store;
        for (const QByteArray& raw : c.pairs)
            store.StoreFromResponse(QUrl("http://qq.com/"), {raw});
        EXPECT_EQ(Header(store, "http://qq.com/"), c.header) << c.pairs.size() << " cookies";
    }
}

TEST(CookieStore, AFloodOfSetCookieLinesLeavesTheJarAndTheHeaderBounded)
{
    // Eight answers of 5,000 cookies each: what a hostile host sends to slow every later request.
    CCookieStore store;
    for (int answer = 0; answer < 8; ++answer)
        Answer(store, answer * 5000, answer * 5000 + 5000);
    store.StoreFromResponse(QUrl("http://user.qzone.qq.com/"), {"skey=@abc; Domain=qq.com"});
    EXPECT_EQ(store.AllCookies().size(), 180);
    const QByteArray header = Header(store, "http://user.qzone.qq.com/a");
    EXPECT_LE(header.size(), 8182);
    EXPECT_EQ(header.split(';').size(), 180);
    EXPECT_TRUE(header.endsWith("; skey=@abc"));
}

TEST(CookieStore, ExpiriesOutOfEveryRangeAreReadAsTheLatestOrAsSession)
{
    const QList<QNetworkCookie> cookies =
        CCookieStore::ParseNetscape(".qq.com\tTRUE\t/\tFALSE\t1000333333333333333333333333333.5\tfar\t1\n"
                                    ".qq.com\tTRUE\t/\tFALSE\tinf\tinf\t1\n"
                                    ".qq.com\tTRUE\t/\tFALSE\tnan\tnan\t1\n"
                                    ".qq.com\tTRUE\t/\tFALSE\t-5\tnegative\t1\n"
                                    ".qq.com\tTRUE\t/\tFALSE\tsoon\tword\t1\n");
    ASSERT_EQ(cookies.size(), 5);
    const QDateTime latest = QDateTime::fromSecsSinceEpoch(253402300799, Qt::UTC);
    EXPECT_EQ(cookies[0].expirationDate(), latest);
    EXPECT_EQ(cookies[1].expirationDate(), latest);
    for (qsizetype i = 2; i < cookies.size(); ++i)
        EXPECT_TRUE(cookies[i].isSessionCookie()) << cookies[i].name().toStdString();
    EXPECT_TRUE(CCookieStore::FormatNetscape(cookies).contains(".qq.com\tTRUE\t/\tFALSE\t253402300799\tfar\t1\n"));
}

TEST(CookieStore, SaveNeedsALoadedPath)
{
    CCookieStore store;
    store.SetCookie(Cookie("a", "1", ".qq.com"));
    EXPECT_FALSE(store.Save());
    TempFolder folder;
    WriteFile(folder.file("cookies.txt"), "# Netscape HTTP Cookie File\n.qq.com\tTRUE\t/\tFALSE\t0\tb\t2\n");
    ASSERT_TRUE(store.Load(folder.file("cookies.txt")));
    EXPECT_EQ(Header(store, "http://qq.com/"), "b=2"); // loading replaces what was there
}

} // namespace
