#include "app/CookieSync.h"

#include "MyCode/CookieStore.h"

#include <QCoreApplication>
#include <QNetworkCookie>
#include <QPointer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace {
constexpr int kSaveDelayMs = 500;

// Set while a browser cookie is being copied into the store on this thread: the store's hook then
// must not copy it back.
thread_local bool t_copyingFromBrowser = false;

// Chromium wants the address a cookie belongs to; the domain without its leading dot serves.
QUrl OriginOf(const QNetworkCookie& cookie)
{
    QString host = cookie.domain();
    if (host.startsWith(u'.')) host.remove(0, 1);
    QUrl origin;
    origin.setScheme(cookie.isSecure() ? QStringLiteral("https") : QStringLiteral("http"));
    origin.setHost(host);
    origin.setPath(cookie.path().isEmpty() ? QStringLiteral("/") : cookie.path());
    return origin;
}

// Both stores mark a host-only cookie by a domain without a leading dot, and both turn a cookie
// handed over with a domain into a domain cookie (with the dot). A host-only cookie therefore
// goes over without its domain, at its host's address, and stays host-only there: otherwise the
// copy coming back would stand beside the original as a second cookie of the same name.
QNetworkCookie ForHandOver(QNetworkCookie cookie)
{
    if (!cookie.domain().startsWith(u'.')) cookie.setDomain({});
    return cookie;
}
} // namespace

CCookieSync::CCookieSync(QObject* parent) : QObject(parent)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(kSaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &CCookieSync::SaveNow);
    // The hook runs on whichever thread changed the store; the work is done on this one.
    CCookieStore::Instance().SetChangeHook(
        [self = QPointer<CCookieSync>(this)](const QNetworkCookie& cookie, bool removed) {
            const bool fromBrowser = t_copyingFromBrowser;
            QMetaObject::invokeMethod(
                qApp,
                [self, cookie, removed, fromBrowser] {
                    if (!self) return;
                    self->m_saveTimer.start();
                    if (!fromBrowser) self->OnStoreChanged(cookie, removed);
                },
                Qt::QueuedConnection);
        });
}

CCookieSync::~CCookieSync()
{
    CCookieStore::Instance().SetChangeHook({});
    SaveNow();
}

void CCookieSync::SaveNow()
{
    m_saveTimer.stop();
    if (CCookieStore::Instance().HasUnsavedChanges()) CCookieStore::Instance().Save();
}

void CCookieSync::AttachBrowserProfile(QWebEngineProfile& profile)
{
    QWebEngineCookieStore* store = profile.cookieStore();
    if (store == m_browserStore) return;
    m_browserStore = store;
    connect(store, &QWebEngineCookieStore::cookieAdded, this,
            [this](const QNetworkCookie& cookie) { OnBrowserCookie(cookie, false); });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this,
            [this](const QNetworkCookie& cookie) { OnBrowserCookie(cookie, true); });
    for (const QNetworkCookie& cookie : CCookieStore::Instance().AllCookies())
        OnStoreChanged(cookie, false);
}

void CCookieSync::OnStoreChanged(const QNetworkCookie& cookie, bool removed)
{
    if (!m_browserStore) return;
    if (removed)
        m_browserStore->deleteCookie(ForHandOver(cookie), OriginOf(cookie));
    else
        m_browserStore->setCookie(ForHandOver(cookie), OriginOf(cookie));
}

void CCookieSync::OnBrowserCookie(const QNetworkCookie& cookie, bool removed)
{
    t_copyingFromBrowser = true;
    if (removed)
        CCookieStore::Instance().DeleteCookie(cookie);
    else
        CCookieStore::Instance().SetCookie(ForHandOver(cookie), OriginOf(cookie));
    t_copyingFromBrowser = false;
}
