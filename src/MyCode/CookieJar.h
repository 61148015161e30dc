#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QString>

// What one insertion or deletion really changed, for the store's change hook.
struct CookieChange {
    QNetworkCookie cookie;
    bool removed;
};

// The cookie store's contents, held per domain so that a request looks only at the cookies of
// its host and the host's parent domains, and so that no domain holds more than a browser keeps.
// Qt's jar still normalises and validates what responses set (setCookiesFromUrl); sending
// follows its rules: domain and path matching, secure cookies over https only, no cookie of a
// public suffix except to that host, longer paths first, then the order the cookies were set.
class CookieJar : public QNetworkCookieJar {
public:
    // Browsers keep about 150 to 180 per domain; past that the oldest go first.
    static constexpr qsizetype kMaxPerDomain = 180;

    bool insertCookie(const QNetworkCookie& cookie) override;
    bool deleteCookie(const QNetworkCookie& cookie) override;
    QList<QNetworkCookie> cookiesForUrl(const QUrl& url) const override;

    // Has the effect of inserting the cookies one by one; how many were taken: stored or
    // already held as they are.
    int InsertAll(const QList<QNetworkCookie>& cookies);
    void RemoveAll();
    // In the order they were set (a replaced cookie counts as set anew).
    QList<QNetworkCookie> All() const;
    bool IsEmpty() const { return m_byDomain.isEmpty(); }
    QList<CookieChange> TakeChanges() { return std::exchange(m_changes, {}); }

private:
    struct Held {
        QNetworkCookie cookie;
        size_t identity; // a hash of what makes it the same cookie, compared before the texts
        quint64 order;
    };

    bool Insert(const QNetworkCookie& cookie, const QDateTime& now);
    static QList<Held>::iterator Find(QList<Held>& held, const QNetworkCookie& cookie, size_t identity);
    // Whether a request to url may carry the domain cookies of its parent domain key.
    bool SendsToParent(const QString& key, const QUrl& url) const;

    // Keyed by the domain without its leading dot, so that a domain's own cookies and those of
    // its host share one bound; each list oldest first, never empty.
    QHash<QString, QList<Held>> m_byDomain;
    quint64 m_nextOrder = 0;
    QList<CookieChange> m_changes;
};
