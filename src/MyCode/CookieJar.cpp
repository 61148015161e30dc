#include "MyCode/CookieJar.h"

#include <QUrl>

#include <algorithm>
#include <vector>

namespace {
bool IsExpired(const QNetworkCookie& cookie, const QDateTime& now)
{
    return !cookie.isSessionCookie() && cookie.expirationDate() < now;
}

// What QNetworkCookie::hasSameIdentifier compares.
size_t IdentityOf(const QNetworkCookie& cookie)
{
    return qHashMulti(0, cookie.name(), cookie.domain(), cookie.path());
}

QString DomainKey(const QString& domain)
{
    return domain.startsWith(u'.') ? domain.mid(1) : domain;
}

// Qt's matching: a host-only cookie goes to its host alone, a domain cookie (leading dot) to
// the domain and every host below it.
bool DomainMatches(const QString& host, const QString& domain)
{
    if (!domain.startsWith(u'.')) return host == domain;
    return host.endsWith(domain) || host == QStringView(domain).mid(1);
}

// RFC 6265 path matching, as Qt does it.
bool PathMatches(const QString& path, const QString& cookiePath)
{
    if (!(path.isEmpty() && cookiePath == u"/") && !path.startsWith(cookiePath)) return false;
    return path.size() == cookiePath.size() || cookiePath.endsWith(u'/') || path.at(cookiePath.size()) == u'/';
}
} // namespace

bool CookieJar::insertCookie(const QNetworkCookie& cookie)
{
    return Insert(cookie, QDateTime::currentDateTimeUtc());
}

int CookieJar::InsertAll(const QList<QNetworkCookie>& cookies)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    int taken = 0;
    for (const QNetworkCookie& cookie : cookies)
        taken += Insert(cookie, now);
    return taken;
}

// A later cookie of the same identity replaces the earlier one and counts as the newest; an
// expired one deletes it. The scan is of one domain's cookies, which the bound keeps short.
bool CookieJar::Insert(const QNetworkCookie& cookie, const QDateTime& now)
{
    const bool expired = IsExpired(cookie, now);
    const QString key = DomainKey(cookie.domain());
    auto bucket = m_byDomain.find(key);
    if (bucket == m_byDomain.end()) {
        if (expired) return false;
        bucket = m_byDomain.insert(key, {});
    }
    QList<Held>& held = bucket.value();
    const size_t identity = IdentityOf(cookie);
    const auto same = Find(held, cookie, identity);
    if (same != held.end()) {
        if (!expired && same->cookie == cookie) return true;
        if (expired) m_changes.append({same->cookie, true});
        held.erase(same);
    }
    if (expired) {
        if (held.isEmpty()) m_byDomain.erase(bucket);
        return false;
    }
    held.append({cookie, identity, m_nextOrder++});
    m_changes.append({cookie, false});
    if (held.size() > kMaxPerDomain) m_changes.append({held.takeFirst().cookie, true});
    return true;
}

QList<CookieJar::Held>::iterator CookieJar::Find(QList<Held>& held, const QNetworkCookie& cookie, size_t identity)
{
    return std::find_if(held.begin(), held.end(),
                        [&](const Held& h) { return h.identity == identity && h.cookie.hasSameIdentifier(cookie); });
}

bool CookieJar::deleteCookie(const QNetworkCookie& cookie)
{
    const auto bucket = m_byDomain.find(DomainKey(cookie.domain()));
    if (bucket == m_byDomain.end()) return false;
    QList<Held>& held = bucket.value();
    const auto same = Find(held, cookie, IdentityOf(cookie));
    if (same == held.end()) return false;
    m_changes.append({same->cookie, true});
    held.erase(same);
    if (held.isEmpty()) m_byDomain.erase(bucket);
    return true;
}

void CookieJar::RemoveAll()
{
    for (const QNetworkCookie& cookie : All())
        m_changes.append({cookie, true});
    m_byDomain.clear();
}

QList<QNetworkCookie> CookieJar::All() const
{
    std::vector<const Held*> all;
    for (const QList<Held>& held : m_byDomain)
        for (const Held& h : held)
            all.push_back(&h);
    std::sort(all.begin(), all.end(), [](const Held* a, const Held* b) { return a->order < b->order; });
    QList<QNetworkCookie> cookies;
    cookies.reserve(qsizetype(all.size()));
    for (const Held* h : all)
        cookies.append(h->cookie);
    return cookies;
}

// Qt sends no cookie of a public suffix (".com") except to that very host; its validation is
// where it tells one, and answers for a probe cookie of that domain.
bool CookieJar::SendsToParent(const QString& key, const QUrl& url) const
{
    QNetworkCookie probe;
    probe.setDomain(u'.' + key);
    return validateCookie(probe, url);
}

QList<QNetworkCookie> CookieJar::cookiesForUrl(const QUrl& url) const
{
    const QString host = url.host();
    const QString path = url.path();
    const bool encrypted = url.scheme() == u"https";
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::vector<const Held*> found;
    // The host's own cookies, then those of each parent domain: the only ones that can match.
    for (qsizetype from = 0; from >= 0;) {
        const QString key = host.mid(from);
        const auto bucket = m_byDomain.constFind(key);
        if (bucket != m_byDomain.cend() && (from == 0 || SendsToParent(key, url)))
            for (const Held& h : bucket.value()) {
                const QNetworkCookie& cookie = h.cookie;
                if (DomainMatches(host, cookie.domain()) && PathMatches(path, cookie.path()) &&
                    !IsExpired(cookie, now) && (encrypted || !cookie.isSecure()))
                    found.push_back(&h);
            }
        const qsizetype dot = host.indexOf(u'.', from);
        from = dot < 0 ? -1 : dot + 1;
    }
    std::sort(found.begin(), found.end(), [](const Held* a, const Held* b) {
        const qsizetype lengthA = a->cookie.path().size(), lengthB = b->cookie.path().size();
        return lengthA != lengthB ? lengthA > lengthB : a->order < b->order;
    });
    QList<QNetworkCookie> cookies;
    cookies.reserve(qsizetype(found.size()));
    for (const Held* h : found)
        cookies.append(h->cookie);
    return cookies;
}
