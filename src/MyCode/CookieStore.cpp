#include "MyCode/CookieStore.h"

#include "MyCode/AtomicFile.h"
#include "MyCode/CookieJar.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>

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
        const QByteArray pair = cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
        const qsizetype separator = header.isEmpty() ? 0 : 2;
        // One oversized cookie does not keep the smaller ones after it out.
        if (header.size() + separator + pair.size() > kMaxHeaderBytes) continue;
        if (separator > 0) header += "; ";
        header += pair;
    }
    return header;
}

bool CCookieStore::IsEmpty() const
{
    std::lock_guard lock(m_mutex);
    return m_jar->IsEmpty();
}

void CCookieStore::StoreFromResponse(const QUrl& url, const QList<QByteArray>& setCookieValues)
{
    QList<QNetworkCookie> cookies;
    for (const QByteArray& value : setCookieValues) {
        if (cookies.size() >= kMaxCookiesPerResponse) break;
        cookies += QNetworkCookie::parseCookies(value);
    }
    cookies.resize(std::min(cookies.size(), kMaxCookiesPerResponse));
    QList<CookieChange> changes;
    {
        std::lock_guard lock(m_mutex);
        m_jar->setCookiesFromUrl(cookies, url);
        changes = m_jar->TakeChanges();
        m_dirty = m_dirty || !changes.isEmpty();
    }
    Notify(changes);
}

bool CCookieStore::SetCookie(const QNetworkCookie& cookie, const QUrl& url)
{
    QList<CookieChange> changes;
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
    QList<CookieChange> changes;
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
    return m_jar->All();
}

void CCookieStore::Clear()
{
    QList<CookieChange> changes;
    {
        std::lock_guard lock(m_mutex);
        m_jar->RemoveAll();
        changes = m_jar->TakeChanges();
        m_dirty = m_dirty || !changes.isEmpty();
    }
    Notify(changes);
}

void CCookieStore::SetChangeHook(ChangeHook hook)
{
    std::lock_guard lock(m_hookMutex);
    m_hook = std::move(hook);
}

void CCookieStore::Notify(const QList<CookieChange>& changes)
{
    if (changes.isEmpty()) return;
    ChangeHook hook;
    {
        std::lock_guard lock(m_hookMutex);
        hook = m_hook;
    }
    if (!hook) return;
    for (const CookieChange& change : changes)
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
    QList<CookieChange> changes;
    {
        std::lock_guard lock(m_mutex);
        m_path = path;
        m_jar->RemoveAll();
        m_jar->InsertAll(cookies);
        changes = m_jar->TakeChanges();
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
    const QByteArray text = FormatNetscape(m_jar->All());
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
    QList<CookieChange> changes;
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
