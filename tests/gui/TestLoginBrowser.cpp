// The login browser: its cookies and the shared store mirror each other, and its layout follows
// the window's size.
#include "WindowTest.h"

#include "MyCode/CookieStore.h"
#include "app/DlgWebOpen.h"
#include "app/MenuCommands.h"
#include "core/LumarexCore.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QNetworkCookie>
#include <QPushButton>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {
class LoginBrowserTest : public WindowTest {
protected:
    bool StoreHas(const QByteArray& name) const
    {
        for (const QNetworkCookie& cookie : CCookieStore::Instance().AllCookies())
            if (cookie.name() == name) return true;
        return false;
    }
    static QStringList StoredDomainsOf(const QByteArray& name)
    {
        QStringList domains;
        for (const QNetworkCookie& cookie : CCookieStore::Instance().AllCookies())
            if (cookie.name() == name) domains << cookie.domain();
        return domains;
    }
};

QNetworkCookie DomainCookie(const QByteArray& name, const QByteArray& value)
{
    QNetworkCookie cookie(name, value);
    cookie.setDomain(u".qq.com"_s);
    cookie.setPath(u"/"_s);
    return cookie;
}
} // namespace

TEST_F(LoginBrowserTest, ACookieSetInTheBrowserIsSentByTheNextRequestAndTheStoreReachesTheBrowser)
{
    StartWindow();
    window->OpenLoginBrowser({});
    CDlgWebOpen* login = window->LoginBrowser();
    ASSERT_NE(login, nullptr);
    QWebEngineCookieStore* browserCookies = login->Browser()->page()->profile()->cookieStore();
    QStringList seenByBrowser;
    // The browser's cookie store outlives the test: the login browser is the connection's context.
    QObject::connect(
        browserCookies, &QWebEngineCookieStore::cookieAdded, login,
        [&seenByBrowser](const QNetworkCookie& cookie) { seenByBrowser << QString::fromLatin1(cookie.name()); });

    // As a login page would: the site sets its session cookie in the browser.
    browserCookies->setCookie(DomainCookie("skey", "@login"), QUrl(u"http://user.qzone.qq.com/"_s));
    ASSERT_TRUE(WaitFor([this] { return StoreHas("skey"); }));
    GetAlbums(u"12345678"_s);
    const QList<FakeRequest> route = service.RequestsFor("route.store.qq.com", "/GetRoute");
    ASSERT_EQ(route.size(), 1);
    EXPECT_TRUE(route[0].header("Cookie").contains("skey=@login")) << route[0].header("Cookie").toStdString();

    // A cookie a response sets in the store reaches the browser, and the file follows.
    CCookieStore::Instance().SetCookie(DomainCookie("uin", "o0012345"));
    ASSERT_TRUE(WaitFor([&seenByBrowser] { return seenByBrowser.contains(u"uin"_s); }));
    ASSERT_TRUE(WaitFor([this] {
        QFile saved(appDir.file(u"cookies.txt"_s));
        return saved.open(QIODevice::ReadOnly) && saved.readAll().contains("o0012345");
    }));
}

TEST_F(LoginBrowserTest, AHostOnlyCookieStaysOneCookieOnBothSides)
{
    StartWindow();
    window->OpenLoginBrowser({});
    CDlgWebOpen* login = window->LoginBrowser();
    QWebEngineCookieStore* browserCookies = login->Browser()->page()->profile()->cookieStore();
    QStringList browserEvents;
    QObject::connect(browserCookies, &QWebEngineCookieStore::cookieAdded, login,
                     [&browserEvents](const QNetworkCookie& c) {
                         browserEvents << u"+"_s + QString::fromLatin1(c.name()) + u'@' + c.domain();
                     });
    QObject::connect(browserCookies, &QWebEngineCookieStore::cookieRemoved, login,
                     [&browserEvents](const QNetworkCookie& c) {
                         browserEvents << u"-"_s + QString::fromLatin1(c.name()) + u'@' + c.domain();
                     });
    const QUrl space(u"http://user.qzone.qq.com/12345"_s);

    // A response sets a cookie for its own host only; the browser gets it as such, and its copy
    // coming back is the same cookie, not a second one for the host and its subdomains.
    CCookieStore::Instance().StoreFromResponse(space, {"sid=1; path=/"});
    ASSERT_TRUE(WaitFor([&browserEvents] { return browserEvents.contains(u"+sid@user.qzone.qq.com"_s); }, 5000))
        << browserEvents.join(u',').toStdString();
    EXPECT_EQ(StoredDomainsOf("sid"), QStringList{u"user.qzone.qq.com"_s});
    CCookieStore::Instance().StoreFromResponse(space, {"sid=2; path=/"});
    ASSERT_TRUE(WaitFor([&browserEvents] { return browserEvents.count(u"+sid@user.qzone.qq.com"_s) == 2; }, 5000));
    EXPECT_EQ(CCookieStore::Instance().CookieHeader(space), QByteArray("sid=2"));

    // A login page sets a host-only session cookie, and logging out deletes it: so does the store.
    QNetworkCookie session("sess", "@login");
    session.setPath(u"/"_s);
    browserCookies->setCookie(session, space);
    ASSERT_TRUE(WaitFor([this] { return StoreHas("sess"); }, 5000));
    EXPECT_EQ(StoredDomainsOf("sess"), QStringList{u"user.qzone.qq.com"_s});
    browserCookies->deleteCookie(session, space);
    ASSERT_TRUE(WaitFor([&browserEvents] { return browserEvents.contains(u"-sess@user.qzone.qq.com"_s); }, 5000));
    EXPECT_FALSE(StoreHas("sess"));
}

TEST_F(LoginBrowserTest, CookiesOfThePreviousRunAreLoadedAtStart)
{
    QFile saved(appDir.file(u"cookies.txt"_s));
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
    saved.write(".qq.com\tTRUE\t/\tFALSE\t0\tskey\t@kept\n");
    saved.close();
    StartWindow();
    GetAlbums(u"12345678"_s);
    const QList<FakeRequest> route = service.RequestsFor("route.store.qq.com", "/GetRoute");
    ASSERT_EQ(route.size(), 1);
    EXPECT_TRUE(route[0].header("Cookie").contains("skey=@kept"));
}

TEST_F(LoginBrowserTest, WithoutAStartAddressTheClipboardIsOfferedAndResizingKeepsTheRow)
{
    StartWindow();
    QGuiApplication::clipboard()->setText(u"http://weibo.com/someone"_s);
    window->OpenLoginBrowser({});
    CDlgWebOpen* login = window->LoginBrowser();
    ASSERT_TRUE(WaitFor([login] { return login->isVisible(); }));
    EXPECT_EQ(login->windowTitle(), u"登录成功后手动关闭对话框"_s);
    EXPECT_EQ(login->findChild<QLineEdit*>(u"1001"_s)->text(), u"http://weibo.com/someone"_s);
    EXPECT_TRUE(login->Browser()->url().isEmpty()); // nothing loaded until "打开"

    auto* address = login->findChild<QLineEdit*>(u"1001"_s);
    auto* open = login->findChild<QPushButton*>(u"1026"_s);
    const QRect addressBefore = address->geometry();
    const QRect openBefore = open->geometry();
    const QRect browserBefore = login->Browser()->geometry();
    login->resize(login->width() + 100, login->height() + 40);
    EXPECT_EQ(open->geometry(), openBefore.translated(100, 0));
    EXPECT_EQ(address->width(), addressBefore.width() + 100);
    EXPECT_EQ(address->x(), addressBefore.x());
    EXPECT_EQ(login->Browser()->size(), browserBefore.size() + QSize(100, 40));
    EXPECT_EQ(login->Browser()->pos(), browserBefore.topLeft());
    EXPECT_EQ(open->x() - 5, address->geometry().right() + 1);
    QGuiApplication::clipboard()->clear();
}
