#pragma once

#include <QObject>
#include <QTimer>

class QNetworkCookie;
class QWebEngineCookieStore;
class QWebEngineProfile;

// Keeps the login browser's cookies and the shared cookie store the same, and the store's file
// current. Cookies a page sets go into the store, so the fetcher sends them; cookies the store
// gets (loaded from cookies.txt or set by a response) go into the browser, so a session started
// by the fetcher or a previous run is the browser's too. The file is written shortly after a
// change and when the window closes. GUI thread only, except the store's hook.
class CCookieSync : public QObject {
    Q_OBJECT
public:
    explicit CCookieSync(QObject* parent = nullptr);
    ~CCookieSync() override;

    // Mirrors the profile's cookie store from now on (once per profile).
    void AttachBrowserProfile(QWebEngineProfile& profile);
    void SaveNow();

private:
    void OnStoreChanged(const QNetworkCookie& cookie, bool removed);
    void OnBrowserCookie(const QNetworkCookie& cookie, bool removed);

    QWebEngineCookieStore* m_browserStore = nullptr;
    QTimer m_saveTimer;
};
