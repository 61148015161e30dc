#include "MyCode/HttpTransfer.h"

#include "MyCode/CookieStore.h"
#include "MyCode/CurlGlobal.h"
#include "MyCode/FiberLoop.h"
#include "MyCode/HeaderLines.h"
#include "MyCode/RequestLog.h"
#include "MyCode/RequestPacer.h"

#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <utility>

namespace {

// Sent as a header line of ours rather than through libcurl's own option, which formats the
// long text into every request twice, a character at a time.
constexpr char kUserAgentLine[] =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0; .NET CLR "
    "3.0.04506.648; .NET CLR 3.5.21022; .NET CLR 2.0.50727;)";
constexpr long kReadBufferSize = 102400;
// Under a bandwidth cap a transfer waits after each read until its bytes fit: small reads keep
// those waits short, so that no server gives up on a connection that seems to have stalled.
constexpr long kCappedReadBufferSize = 16384;

// The hops' own clock. Their time-outs are seconds long, and libcurl calls the progress
// callback many times a second for every transfer: the coarse clock (a few milliseconds) costs
// a memory read where the fine one reads the processor's counter.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<Clock>;
    static constexpr bool is_steady = true;
    static time_point now()
    {
        timespec t{};
        clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
        return time_point(std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec));
    }
};

struct EasyGiveBack {
    void operator()(CURL* easy) const { CCurlGlobal::GiveBackEasy(easy); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

// Adapters build addresses with Chinese text and blanks in them; libcurl takes none of that raw.
QByteArray EscapeUnsafeBytes(const QByteArray& text)
{
    const auto unsafe = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte >= 0x7F;
    };
    if (std::none_of(text.begin(), text.end(), unsafe)) return text;
    QByteArray escaped;
    escaped.reserve(text.size() * 3);
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        if (!unsafe(c)) {
            escaped += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        escaped += '%';
        escaped += kHex[byte >> 4];
        escaped += kHex[byte & 0xF];
    }
    return escaped;
}

QByteArray UrlPart(CURLU* url, CURLUPart part)
{
    char* text = nullptr;
    if (curl_url_get(url, part, &text, 0) != CURLUE_OK) return {};
    QByteArray result(text);
    curl_free(text);
    return result;
}

// An address as libcurl writes it back (the scheme in lower case, never without a host when the
// scheme needs one) is an http or https address with a host.
bool IsHttpWithHost(const QByteArray& url)
{
    const qsizetype hostStart = url.startsWith("http://") ? 7 : url.startsWith("https://") ? 8 : 0;
    return hostStart > 0 && hostStart < url.size() && url[hostStart] != '/';
}

bool IsAsciiAlnum(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// 0 to 255 in decimal without a leading zero.
bool IsDecimalOctet(QStringView label)
{
    if (label.size() > 3 || (label.size() > 1 && label.front() == u'0')) return false;
    int value = 0;
    for (const QChar c : label) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value <= 255;
}

// A host name libcurl keeps as it is: labels of letters, digits and dashes, none empty. A host
// whose last label begins with a digit is an IPv4 address to libcurl, which writes it back in
// dotted decimal ("127.1" as "127.0.0.1"): only that form is kept.
bool IsPlainHost(QStringView host)
{
    int labels = 0;
    bool dottedDecimal = true;
    QStringView last;
    for (qsizetype from = 0; from <= host.size();) {
        qsizetype to = host.indexOf(u'.', from);
        if (to < 0) to = host.size();
        last = host.sliced(from, to - from);
        if (last.isEmpty() ||
            !std::all_of(last.begin(), last.end(), [](QChar c) { return IsAsciiAlnum(c.unicode()) || c == u'-'; }))
            return false;
        ++labels;
        dottedDecimal = dottedDecimal && IsDecimalOctet(last);
        from = to + 1;
    }
    return !last.front().isDigit() || (labels == 4 && dottedDecimal);
}

// An address that libcurl would write back unchanged, recognised without parsing it: the
// scheme in lower case, a plain host, a port within range without a leading zero, then a path
// with no dot segment and a query, neither empty, nor any fragment. Nearly every picture's
// address is one; anything else goes to libcurl.
std::optional<QByteArray> PlainAddress(QStringView address)
{
    qsizetype at = address.startsWith(u"http://") ? 7 : address.startsWith(u"https://") ? 8 : 0;
    if (at == 0) return std::nullopt;
    const qsizetype hostStart = at;
    while (at < address.size() && address[at] != u'/' && address[at] != u':')
        ++at;
    if (!IsPlainHost(address.sliced(hostStart, at - hostStart))) return std::nullopt;
    if (at < address.size() && address[at] == u':') {
        const qsizetype portStart = ++at;
        int port = 0;
        while (at < address.size() && address[at] >= u'0' && address[at] <= u'9' && at - portStart < 5)
            port = port * 10 + (address[at++].unicode() - u'0');
        if (at == portStart || address[portStart] == u'0' || port > 65535) return std::nullopt;
    }
    if (at >= address.size() || address[at] != u'/') return std::nullopt;
    static constexpr QByteArrayView kPlainPunctuation("-._~!$&'()*+,;=:@/%");
    bool inQuery = false;
    for (; at < address.size(); ++at) {
        const char16_t c = address[at].unicode();
        if (IsAsciiAlnum(c) || (c < 0x80 && kPlainPunctuation.contains(char(c)))) {
            if (!inQuery && c == u'/' && at + 1 < address.size() && address[at + 1] == u'.') return std::nullopt;
            continue;
        }
        if (c != u'?') return std::nullopt;
        inQuery = true;
    }
    if (address.endsWith(u'?')) return std::nullopt;
    return address.toLatin1();
}

// location resolved against base, the way a browser resolves a redirect; empty when it does not
// lead to an http or https address.
QByteArray ResolveRedirect(const QByteArray& base, const QByteArray& location)
{
    UrlHandle url(curl_url());
    if (curl_url_set(url.get(), CURLUPART_URL, base.constData(), 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_URL, EscapeUnsafeBytes(location).constData(), 0) != CURLUE_OK)
        return {};
    const QByteArray resolved = UrlPart(url.get(), CURLUPART_URL);
    return IsHttpWithHost(resolved) ? resolved : QByteArray();
}

// The host name of a prepared address, lower case: the key requests are paced by.
QByteArray HostOfUrl(const QByteArray& url)
{
    UrlHandle parsed(curl_url());
    if (curl_url_set(parsed.get(), CURLUPART_URL, url.constData(), 0) != CURLUE_OK) return url;
    return UrlPart(parsed.get(), CURLUPART_HOST).toLower();
}

bool IsRedirectStatus(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The head of one response; a hop can see an interim 1xx head before the real one.
struct ResponseHead {
    QByteArray raw;
    int status = 0;
    QByteArray location;
    QList<QByteArray> setCookies;
    bool complete = false;
    bool redirect = false; // the body of a followed redirect is read and dropped
};

// What one hop of a transfer learns while libcurl runs it.
struct Hop {
    Hop(const HttpTransfer& transfer, const HttpTransfer::Request& request, const QByteArray& url, CURL* easy)
        : transfer(transfer), request(request), url(url), easy(easy)
    {
    }

    const HttpTransfer& transfer;
    const HttpTransfer::Request& request;
    const QByteArray& url;
    CURL* const easy;

    ResponseHead head;
    bool connected = false;
    bool refused = false;
    bool stoppedEarly = false;
    bool timedOut = false;
    Clock::time_point lastActivity = Clock::now();
    // Bytes came since the progress callback last looked: it reads the clock for them, once.
    bool active = false;
    curl_off_t lastUploaded = 0;
    // Bytes taken in and then paused for the bandwidth cap: libcurl hands them over once more
    // when the transfer resumes, and they are not taken twice.
    size_t replayBytes = 0;

    bool EndOfHead()
    {
        head.complete = true;
        if (!head.setCookies.isEmpty())
            CCookieStore::Instance().StoreFromResponse(QUrl::fromEncoded(url), head.setCookies);
        if (IsRedirectStatus(head.status) && !head.location.isEmpty()) {
            head.redirect = true;
            return true;
        }
        refused = transfer.onHeaders && !transfer.onHeaders(head.status, head.raw);
        return !refused;
    }
};

// The status of an "HTTP/1.1 200 OK" line; 0 when it has none.
int StatusOf(QByteArrayView line)
{
    const qsizetype space = line.indexOf(' ');
    if (space < 0) return 0;
    int status = 0;
    for (qsizetype at = space + 1; at < line.size() && at < space + 4 && line[at] >= '0' && line[at] <= '9'; ++at)
        status = status * 10 + (line[at] - '0');
    return status;
}

size_t OnHeaderLine(char* data, size_t size, size_t count, void* context)
{
    Hop& hop = *static_cast<Hop*>(context);
    const size_t length = size * count;
    hop.active = true;
    const QByteArrayView line(data, static_cast<qsizetype>(length));
    if (line.startsWith("HTTP/")) {
        hop.head = ResponseHead{};
        hop.head.status = StatusOf(line);
        hop.head.raw.reserve(1024);
    }
    ResponseHead& head = hop.head;
    if (head.complete) return length; // trailers after a chunked body
    head.raw += line;
    if (line.trimmed().isEmpty()) {
        // An interim 1xx answer is followed by the real one.
        if (head.status >= 100 && head.status < 200) return length;
        return hop.EndOfHead() ? length : 0;
    }
    QByteArray value;
    if (HeaderLineValue(line, "Set-Cookie", value))
        head.setCookies.append(value);
    else if (HeaderLineValue(line, "Location", value))
        head.location = value;
    return length;
}

// Held by our own cap: no wait of ours counts against the server. On a thread of its own the
// transfer sleeps; driven by a loop of many (its callbacks then run in the loop itself) it is
// paused (mayPause), and the loop resumes it in time.
size_t WaitForCap(Hop& hop, size_t length, bool mayPause)
{
    CRequestPacer& pacer = CRequestPacer::Instance();
    CFiberLoop* const loop = CFiberLoop::Current();
    if (!loop) {
        if (!pacer.WaitForBytes(std::int64_t(length), hop.request.abort)) return 0;
        hop.lastActivity = Clock::now();
        return length;
    }
    const CRequestPacer::Clock::time_point until = pacer.ReserveBytes(std::int64_t(length));
    const CRequestPacer::Clock::duration wait = until - CRequestPacer::Clock::now();
    if (!mayPause || wait <= CRequestPacer::Clock::duration::zero()) return length;
    hop.replayBytes = length;
    hop.lastActivity = Clock::now() + std::chrono::duration_cast<Clock::duration>(wait);
    hop.active = false;
    loop->ResumeAt(hop.easy, until);
    return CURL_WRITEFUNC_PAUSE;
}

size_t TakeBody(Hop& hop, char* data, size_t length, bool mayPause)
{
    if (hop.head.redirect || !hop.transfer.onBody) return length;
    switch (hop.transfer.onBody(data, length)) {
    case HttpTransfer::Verdict::Continue:
        return CRequestPacer::Instance().RateLimit() == 0 ? length : WaitForCap(hop, length, mayPause);
    case HttpTransfer::Verdict::Stop:
        hop.stoppedEarly = true;
        return 0;
    case HttpTransfer::Verdict::Fail:
        hop.refused = true;
        return 0;
    }
    return 0;
}

size_t OnBodyData(char* data, size_t size, size_t count, void* context)
{
    Hop& hop = *static_cast<Hop*>(context);
    const size_t length = size * count;
    hop.active = true;
    if (hop.replayBytes == 0) return TakeBody(hop, data, length, true);
    // The bytes paused before come again first; whatever follows them is new, taken now and
    // paid for on the cap's time line without another pause.
    const size_t replayed = std::min(hop.replayBytes, length);
    hop.replayBytes -= replayed;
    if (replayed == length) return length;
    return TakeBody(hop, data + replayed, length - replayed, false) == length - replayed ? length : 0;
}

// libcurl calls this once the connection stands (new or reused), before the request goes out.
int OnConnected(void* context, char*, char*, int, int)
{
    static_cast<Hop*>(context)->connected = true;
    return CURL_PREREQFUNC_OK;
}

bool Aborted(const HttpTransfer::Request& request)
{
    return request.abort && *request.abort;
}

// libcurl only knows whole-transfer time-outs; the waits here are per operation: no progress
// for the connect time-out before the answer's headers, or for the read time-out within its body.
int OnProgress(void* context, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t uploaded)
{
    Hop& hop = *static_cast<Hop*>(context);
    if (TransferMeter* meter = hop.request.meter; meter && hop.head.complete && !hop.head.redirect) {
        meter->received = received;
        meter->expected = expected > 0 ? expected : -1;
    }
    const Clock::time_point now = Clock::now();
    if (std::exchange(hop.active, false)) hop.lastActivity = now;
    if (uploaded != hop.lastUploaded) {
        hop.lastUploaded = uploaded;
        hop.lastActivity = now;
    }
    const int limitMs = hop.head.complete ? hop.request.readTimeoutMs : hop.request.connectTimeoutMs;
    hop.timedOut = now - hop.lastActivity > std::chrono::milliseconds(limitMs);
    return hop.timedOut || Aborted(hop.request) ? 1 : 0;
}

// The caller's header lines and our User-Agent (unless the caller names its own), with the
// store's cookies for this hop unless the caller sends its own. A caller's cookie and
// authorization lines never follow a redirect to another origin, and a line holding a line
// break is never sent: it would end on the wire as two.
curl_slist* HeaderList(const QList<QByteArray>& callerLines, const QByteArray& url, bool sameOrigin, bool hasBody)
{
    curl_slist* list = nullptr;
    bool callerCookie = false;
    bool callerAgent = false;
    QByteArray value;
    for (const QByteArray& line : callerLines) {
        if (line.contains('\r') || line.contains('\n')) continue;
        const bool cookieLine = HeaderLineValue(line, "Cookie", value);
        if (!sameOrigin && (cookieLine || HeaderLineValue(line, "Authorization", value))) continue;
        callerCookie = callerCookie || cookieLine;
        callerAgent = callerAgent || HeaderLineValue(line, "User-Agent", value);
        list = curl_slist_append(list, line.constData());
    }
    if (!callerAgent) list = curl_slist_append(list, kUserAgentLine);
    // Most runs hold no cookie at all; the address is then not parsed for them.
    if (!callerCookie && !CCookieStore::Instance().IsEmpty()) {
        const QByteArray cookies = CCookieStore::Instance().CookieHeader(QUrl::fromEncoded(url));
        if (!cookies.isEmpty()) list = curl_slist_append(list, ("Cookie: " + cookies).constData());
    }
    // Without this libcurl waits for a "100 Continue" that many servers never send.
    if (hasBody) list = curl_slist_append(list, "Expect:");
    return list;
}

void SetCommonOptions(CURL* easy, Hop& hop)
{
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // A proxy's tunnel request carries the same text, from a list of its own.
    static const std::unique_ptr<curl_slist, HeaderListDeleter> proxyLines(curl_slist_append(nullptr, kUserAgentLine));
    curl_easy_setopt(easy, CURLOPT_PROXYHEADER, proxyLines.get());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // A proxy's answer to a tunnel request is not the service's answer.
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(1, hop.request.connectTimeoutMs)));
    // Under our own bandwidth cap a slow transfer is our doing: only a stall ends it then.
    if (hop.request.minBytesPerSecond > 0 && CRequestPacer::Instance().RateLimit() == 0) {
        // libcurl's low-speed check: below the floor for this many seconds in a row ends it.
        const long seconds = std::max(1L, static_cast<long>((hop.request.readTimeoutMs + 999) / 1000));
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, static_cast<long>(hop.request.minBytesPerSecond));
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, seconds);
    }
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnConnected);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, &hop);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE,
                     CRequestPacer::Instance().RateLimit() == 0 ? kReadBufferSize : kCappedReadBufferSize);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeaderLine);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &hop);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBodyData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &hop);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &hop);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
}

void SetMethod(CURL* easy, const QByteArray& method, const QByteArray& body)
{
    if (body.isNull()) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.constData());
    }
    const bool standard = method == "GET" || (method == "POST" && !body.isNull());
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, standard ? nullptr : method.constData());
}

FetchFailure FailureOf(CURLcode result, const Hop& hop)
{
    using Failure = FetchFailure;
    const bool timedOut = hop.timedOut || result == CURLE_OPERATION_TIMEDOUT;
    if (!hop.connected) {
        if (timedOut) return Failure::ConnectTimedOut;
        if (result == CURLE_COULDNT_CONNECT || result == CURLE_COULDNT_RESOLVE_HOST ||
            result == CURLE_COULDNT_RESOLVE_PROXY)
            return Failure::NoConnection;
        return Failure::Network;
    }
    // A host that takes connections and never answers is as good as down: its own reason, so
    // that a download can give it up.
    if (!hop.head.complete) return timedOut ? Failure::NoAnswer : Failure::Network;
    // Our own check ends a wait without a byte; libcurl's ends a trickle under the floor.
    if (hop.timedOut) return Failure::TimedOut;
    if (result == CURLE_OPERATION_TIMEDOUT) return Failure::TooSlow;
    return hop.head.redirect ? Failure::Network : Failure::Cut;
}

} // namespace

QByteArray OriginOf(const QByteArray& url)
{
    const QUrl parsed = QUrl::fromEncoded(url);
    const QByteArray scheme = parsed.scheme().toLower().toLatin1();
    const int port = parsed.port(scheme == "https" ? 443 : 80);
    return scheme + "://" + parsed.host().toUtf8() + ':' + QByteArray::number(port);
}

QByteArray PrepareAddress(const QString& address)
{
    if (std::optional<QByteArray> plain = PlainAddress(address)) return *std::move(plain);
    UrlHandle url(curl_url());
    if (curl_url_set(url.get(), CURLUPART_URL, EscapeUnsafeBytes(address.toUtf8()).constData(), 0) != CURLUE_OK)
        return {};
    const QByteArray prepared = UrlPart(url.get(), CURLUPART_URL);
    return IsHttpWithHost(prepared) ? prepared : QByteArray();
}

bool HttpTransfer::Run(const Request& request)
{
    failure = FetchFailure::None;
    status = 0;
    const std::unique_ptr<CURL, EasyGiveBack> easy(CCurlGlobal::TakeEasy());
    if (!easy || request.url.isEmpty()) return Fail(FetchFailure::Network);
    // The handle keeps its connections from earlier transfers and the process shares resolved
    // names; libcurl replaces a kept connection the server has closed meanwhile by a new one.
    if (CURLSH* share = CCurlGlobal::Share()) curl_easy_setopt(easy.get(), CURLOPT_SHARE, share);
    QByteArray origin; // learnt at the first redirect: most transfers have none
    QByteArray url = request.url;
    QByteArray method = request.method;
    QByteArray body = request.body;

    for (int hopCount = 0; hopCount <= kMaxRedirects; ++hopCount) {
        if (Aborted(request)) return Fail(FetchFailure::Aborted);
        Hop hop{*this, request, url, easy.get()};
        SetCommonOptions(easy.get(), hop);
        const std::unique_ptr<curl_slist, HeaderListDeleter> headers(
            HeaderList(request.headerLines, url, hopCount == 0 || OriginOf(url) == origin, !body.isNull()));
        curl_easy_setopt(easy.get(), CURLOPT_URL, url.constData());
        curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, headers.get());
        SetMethod(easy.get(), method, body);

        if (CRequestPacer::Instance().Interval().count() > 0 &&
            !CRequestPacer::Instance().WaitForTurn(HostOfUrl(url), request.abort))
            return Fail(FetchFailure::Aborted);
        const auto result = static_cast<CURLcode>(CFiberLoop::PerformTransfer(easy.get()));
        status = hop.head.status;
        LogRequest(method, url, status);
        if (Aborted(request)) return Fail(FetchFailure::Aborted);
        if (hop.refused) return Fail(FetchFailure::Network);
        if (hop.stoppedEarly) return true;
        if (result != CURLE_OK) return Fail(FailureOf(result, hop));
        if (!hop.head.complete) return Fail(FetchFailure::Network);
        if (!hop.head.redirect) return true;

        if (hopCount == 0) origin = OriginOf(url);
        url = ResolveRedirect(url, hop.head.location);
        if (url.isEmpty()) return Fail(FetchFailure::Network);
        // Browsers turn these into a plain GET; 307 and 308 repeat the request as it was.
        if (hop.head.status == 303 || (method == "POST" && (hop.head.status == 301 || hop.head.status == 302))) {
            method = "GET";
            body = QByteArray();
        }
    }
    return Fail(FetchFailure::Network);
}
