#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkCookie>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <mutex>

class CookieJar;
struct CookieChange;

// The one per-user cookie store. Every request takes its cookies from here and leaves the
// cookies its responses set; the login browser mirrors its own store into it through the change
// hook. Domain and path matching follow Qt's rules. Safe to use from any thread.
//
// It is bounded as curl and browsers bound theirs, so that a service that floods its answers
// with cookies cannot make every later request, and the next start, slow: a response sets at
// most kMaxCookiesPerResponse, a domain keeps only its newest cookies (loading a file too), and a
// Cookie header carries only the cookies that fit in kMaxHeaderBytes.
//
// On disk it is a Netscape cookies.txt (the format of curl, wget and browser export extensions).
// Session cookies are saved too, with expiry 0, so that a login survives a restart of the
// command line.
class CCookieStore {
public:
    // Called after a cookie was added or changed (removed false) or deleted, expired or pushed
    // out by newer ones of its domain (removed true); on the thread that made the change, outside
    // the store's lock. Not called when a
    // cookie is set to what the store already holds, so that two mirrored stores settle.
    using ChangeHook = std::function<void(const QNetworkCookie& cookie, bool removed)>;

    // curl takes no more from one response.
    static constexpr qsizetype kMaxCookiesPerResponse = 50;
    // The whole "Cookie: " line within curl's 8190 bytes, which servers accept too.
    static constexpr qsizetype kMaxHeaderBytes = 8190 - qsizetype(sizeof("Cookie: ") - 1);

    static CCookieStore& Instance();

    CCookieStore();
    ~CCookieStore();
    CCookieStore(const CCookieStore&) = delete;
    CCookieStore& operator=(const CCookieStore&) = delete;

    // The "Cookie:" value for a request to url ("a=1; b=2"); empty when none match. A cookie
    // that would take it past kMaxHeaderBytes is left out.
    QByteArray CookieHeader(const QUrl& url) const;
    // Stores what the Set-Cookie header values of a response from url set (each value may hold
    // several cookies separated by new lines), the first kMaxCookiesPerResponse of them; the jar
    // rejects cookies for foreign domains.
    void StoreFromResponse(const QUrl& url, const QList<QByteArray>& setCookieValues);
    // Stores one cookie as the login browser reports it; a cookie without domain belongs to url.
    bool SetCookie(const QNetworkCookie& cookie, const QUrl& url = {});
    bool DeleteCookie(const QNetworkCookie& cookie);
    QList<QNetworkCookie> AllCookies() const;
    bool IsEmpty() const;
    void Clear();
    void SetChangeHook(ChangeHook hook);

    // Replaces the contents by those of the cookies.txt at path and remembers path for Save. A
    // missing file is an empty store; false only when the file exists and cannot be read.
    bool Load(const QString& path);
    // Writes the store atomically to the path given to Load; false without one or on error.
    bool Save();
    bool HasUnsavedChanges() const;
    // Adds the cookies of a browser-exported cookies.txt to the store; the number taken, or -1
    // when the file cannot be read.
    int ImportNetscape(const QString& file);

    static QList<QNetworkCookie> ParseNetscape(const QByteArray& text);
    static QByteArray FormatNetscape(const QList<QNetworkCookie>& cookies);

private:
    // Runs the hook on changes taken from the jar under the lock, after releasing it.
    void Notify(const QList<CookieChange>& changes);

    mutable std::mutex m_mutex;
    std::unique_ptr<CookieJar> m_jar;
    QString m_path;
    bool m_dirty = false;
    std::mutex m_hookMutex;
    ChangeHook m_hook;
};
