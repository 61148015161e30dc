#include "MyCode/CookieStore.h"

#include "MyCode/AtomicFile.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QNetworkCookieJar>

#include <algorithm>
#include <vector>

namespace {
// What makes two cookies the same cookie to the jar (QNetworkCookie::hasSameIdentifier).
struct CookieId {
    QByteArray name;
    QString domain;
    QString path;

    explicit CookieId(const QNetworkCookie& cookie) : name(cookie.name()), domain(cookie.domain()), path(cookie.path())
    {
    }
    bool operator==(const CookieId&) const = default;
};

size_t qHash(const CookieId& id, size_t seed = 0)
{
    return qHashMulti(seed, id.name, id.domain, id.path);
}

bool IsExpired(const QNetworkCookie& cookie, const QDateTime& now)
{
    return !cookie.isSessionCookie() && cookie.expirationDate() < now;
}
} // namespace

// Qt's jar does the domain and path matching; this subclass reaches its whole contents and
// records what each insertion or deletion really changed, for the change hook.
class CookieJar : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::allCookies;
    using QNetworkCookieJar::setAllCookies;

    // One cookie at a time, as responses and the login browser set them: a scan is cheaper
    // than indexing the whole jar.
    bool insertCookie(const QNetworkCookie& cookie) override
    {
        QList<QNetworkCookie> all = allCookies();
        const bool expired = IsExpired(cookie, QDateTime::currentDateTimeUtc());
        const qsizetype index = IndexOf(all, cookie);
        if (index >= 0) {
            if (!expired && all[index] == cookie) return true;
            if (expired) m_changes.append({all[index], true});
            all.removeAt(index);
        }
        if (expired) {
            setAllCookies(all);
            return false;
        }
        all.append(cookie);
        setAllCookies(all);
        m_changes.append({cookie, false});
        return true;
    }

    // Has the effect of inserting the cookies one by one (a later duplicate replaces an earlier
    // one and moves to the end) in one pass over the jar, so that loading a large cookies.txt
    // stays linear. Returns how many were taken: stored or already held as they are.
    int InsertAll(const QList<QNetworkCookie>& cookies)
    {
        QList<QNetworkCookie> all = allCookies();
        QHash<CookieId, qsizetype> index;
        index.reserve(all.size() + cookies.size());
        for (qsizetype i = 0; i < all.size(); ++i)
            index.insert(CookieId(all[i]), i);
        std::vector<bool> replaced(size_t(all.size()), false);
        const QDateTime now = QDateTime::currentDateTimeUtc();
        int taken = 0;
        for (const QNetworkCookie& cookie : cookies) {
            const bool expired = IsExpired(cookie, now);
            const CookieId id(cookie);
            const auto found = index.constFind(id);
            if (found != index.cend()) {
                const qsizetype at = found.value();
                if (!expired && all[at] == cookie) {
                    ++taken;
                    continue;
                }
                if (expired) m_changes.append({all[at], true});
                replaced[size_t(at)] = true;
                index.erase(found);
            }
            if (expired) continue;
            index.insert(id, all.size());
            all.append(cookie);
            replaced.push_back(false);
            m_changes.append({cookie, false});
            ++taken;
        }
        if (std::find(replaced.begin(), replaced.end(), true) != replaced.end()) {
            QList<QNetworkCookie> kept;
            kept.reserve(index.size());
            for (qsizetype i = 0; i < all.size(); ++i)
                if (!replaced[size_t(i)]) kept.append(all[i]);
            all = std::move(kept);
        }
        setAllCookies(all);
        return taken;
    }

    bool deleteCookie(const QNetworkCookie& cookie) override
    {
        QList<QNetworkCookie> all = allCookies();
        const qsizetype index = IndexOf(all, cookie);
        if (index < 0) return false;
        m_changes.append({all[index], true});
        all.removeAt(index);
        setAllCookies(all);
        return true;
    }

    QList<CCookieStore::Change> TakeChanges() { return std::exchange(m_changes, {}); }

private:
    static qsizetype IndexOf(const QList<QNetworkCookie>& all, const QNetworkCookie& cookie)
    {
        for (qsizetype i = 0; i < all.size(); ++i)
            if (all[i].hasSameIdentifier(cookie)) return i;
        return -1;
    }

    QList<CCookieStore::Change> m_changes;
};

CCookieStore& CCookieStore::Instance()
{
    static CCookieStore store;
    return store;
}

CCookieStore::CCookieStore() : m_jar(std::make_unique<CookieJar>())
{
    // The jar is used from every thread and never receives events; tie it to none.
    m_jar->moveToThread(nullptr);
}

CCookieStore::~CCookieStore() = default;

QByteArray CCookieStore::CookieHeader(const QUrl& url) const
{
    QByteArray header;
    std::lock_guard lock(m_mutex);
    for (const QNetworkCookie& cookie : m_jar->cookiesForUrl(url)) {
        if (!header.isEmpty()) header += "; ";
        header += cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
    }
    return header;
}

bool CCookieStore::IsEmpty() const
{
    std::lock_guard lock(m_mutex);
    return m_jar->allCookies().isEmpty();
}

void CCookieStore::StoreFromResponse(const QUrl& url, const QList<QByteArray>& setCookieValues)
{
    QList<Change> changes;
    {
        std::lock_guard lock(m_mutex);
        for (const QByteArray& value : setCookieValues)
            m_jar->setCookiesFromUrl(QNetworkCookie::parseCookies(value), url);
        changes = m_jar->TakeChanges();
        m_dirty = m_dirty || !changes.isEmpty();
    }
    Notify(changes);
}

bool CCookieStore::SetCookie(const QNetworkCookie& cookie, const QUrl& url)
{
    QList<Change> changes;
    bool stored;
    {
        std::lock_guard lock(m_mutex);
        stored = url.isValid() ? m_jar->setCookiesFromUrl({cookie}, url) : m_jar->insertCookie(cookie);
        changes = m_jar->TakeChanges();
        m_dirty = m_dirty || !changes.isEmpty();
    }
    Notify(changes);
    return stored;
}

bool CCookieStore::DeleteCookie(const QNetworkCookie& cookie)
{
    QList<Change> changes;
    bool deleted;
    {
        std::lock_guard lock(m_mutex);
        deleted = m_jar->deleteCookie(cookie);
        changes = m_jar->TakeChanges();
        m_dirty = m_dirty || !changes.isEmpty();
    }
    Notify(changes);
    return deleted;
}

QList<QNetworkCookie> CCookieStore::AllCookies() const
{
    std::lock_guard lock(m_mutex);
    return m_jar->allCookies();
}

void CCookieStore::Clear()
{
    QList<Change> changes;
    {
        std::lock_guard lock(m_mutex);
        for (const QNetworkCookie& cookie : m_jar->allCookies())
            changes.append({cookie, true});
        m_jar->setAllCookies({});
        m_dirty = m_dirty || !changes.isEmpty();
    }
    Notify(changes);
}

void CCookieStore::SetChangeHook(ChangeHook hook)
{
    std::lock_guard lock(m_hookMutex);
    m_hook = std::move(hook);
}

void CCookieStore::Notify(const QList<Change>& changes)
{
    if (changes.isEmpty()) return;
    ChangeHook hook;
    {
        std::lock_guard lock(m_hookMutex);
        hook = m_hook;
    }
    if (!hook) return;
    for (const Change& change : changes)
        hook(change.cookie, change.removed);
}

bool CCookieStore::Load(const QString& path)
{
    QFile file(path);
    QList<QNetworkCookie> cookies;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) return false;
        cookies = ParseNetscape(file.readAll());
    }
    QList<Change> changes;
    {
        std::lock_guard lock(m_mutex);
        m_path = path;
        for (const QNetworkCookie& cookie : m_jar->allCookies())
            changes.append({cookie, true});
        m_jar->setAllCookies({});
        m_jar->InsertAll(cookies);
        changes += m_jar->TakeChanges();
        m_dirty = false;
    }
    Notify(changes);
    return true;
}

bool CCookieStore::Save()
{
    std::lock_guard lock(m_mutex);
    if (m_path.isEmpty()) return false;
    // The login cookies are the user's alone, as in a browser's profile.
    const QByteArray text = FormatNetscape(m_jar->allCookies());
    if (!WritePrivateFile(m_path, text.constData(), text.size())) return false;
    m_dirty = false;
    return true;
}

bool CCookieStore::HasUnsavedChanges() const
{
    std::lock_guard lock(m_mutex);
    return m_dirty;
}

int CCookieStore::ImportNetscape(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QList<QNetworkCookie> cookies = ParseNetscape(file.readAll());
    QList<Change> changes;
    int taken = 0;
    {
        std::lock_guard lock(m_mutex);
        taken = m_jar->InsertAll(cookies);
        changes = m_jar->TakeChanges();
        m_dirty = m_dirty || !changes.isEmpty();
    }
    Notify(changes);
    return taken;
}

namespace {
// A domain cookie is written with a leading dot and TRUE, a host-only cookie without the dot and
// FALSE, as curl writes them; Qt marks domain cookies by the same leading dot.
constexpr char kHttpOnlyPrefix[] = "#HttpOnly_";

// The last second of the year 9999: a later expiry is kept as that one.
constexpr qint64 kLatestExpiry = 253402300799;

// Expiry 0 marks a session cookie; some exporters write fractional seconds. Text that is no
// number, or NaN, is a session cookie too; an expiry past any date is the latest one (its
// conversion to an integer would be undefined).
qint64 ExpiryFromText(const QByteArray& text)
{
    const double seconds = text.toDouble();
    if (!(seconds >= 1)) return 0;
    return seconds < double(kLatestExpiry) ? static_cast<qint64>(seconds) : kLatestExpiry;
}

QByteArray Flag(bool value)
{
    return value ? "TRUE" : "FALSE";
}
} // namespace

QList<QNetworkCookie> CCookieStore::ParseNetscape(const QByteArray& text)
{
    QList<QNetworkCookie> cookies;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        const bool httpOnly = line.startsWith(kHttpOnlyPrefix);
        if (httpOnly) line.remove(0, sizeof(kHttpOnlyPrefix) - 1);
        if (line.trimmed().isEmpty() || line.startsWith('#')) continue;
        const QList<QByteArray> fields = line.split('\t');
        // Some exporters drop the last tab of a cookie with an empty value.
        if (fields.size() < 6 || fields[5].isEmpty()) continue;
        QByteArray host = fields[0];
        while (host.startsWith('.'))
            host.remove(0, 1);
        if (host.isEmpty()) continue;
        const bool includeSubdomains = fields[1].compare("TRUE", Qt::CaseInsensitive) == 0;

        QNetworkCookie cookie(fields[5], fields.size() > 6 ? fields.mid(6).join('\t') : QByteArray());
        cookie.setDomain(QString::fromUtf8(includeSubdomains ? '.' + host : host));
        cookie.setPath(fields[2].isEmpty() ? QStringLiteral("/") : QString::fromUtf8(fields[2]));
        cookie.setSecure(fields[3].compare("TRUE", Qt::CaseInsensitive) == 0);
        cookie.setHttpOnly(httpOnly);
        const qint64 expiry = ExpiryFromText(fields[4]);
        if (expiry > 0) cookie.setExpirationDate(QDateTime::fromSecsSinceEpoch(expiry, Qt::UTC));
        cookies.append(cookie);
    }
    return cookies;
}

QByteArray CCookieStore::FormatNetscape(const QList<QNetworkCookie>& cookies)
{
    QByteArray text = "# Netscape HTTP Cookie File\n"
                      "# Written by Talvoria; session cookies have expiry 0.\n\n";
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const QNetworkCookie& cookie : cookies) {
        if (!cookie.isSessionCookie() && cookie.expirationDate() < now) continue;
        const QByteArray domain = cookie.domain().toUtf8();
        const qint64 expiry = cookie.isSessionCookie() ? 0 : cookie.expirationDate().toSecsSinceEpoch();
        if (cookie.isHttpOnly()) text += kHttpOnlyPrefix;
        text += domain + '\t' + Flag(domain.startsWith('.')) + '\t' +
                (cookie.path().isEmpty() ? QByteArray("/") : cookie.path().toUtf8()) + '\t' + Flag(cookie.isSecure()) +
                '\t' + QByteArray::number(expiry) + '\t' + cookie.name() + '\t' + cookie.value() + '\n';
    }
    return text;
}
