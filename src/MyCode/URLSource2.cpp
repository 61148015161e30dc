#include "MyCode/URLSource2.h"

#include "MyCode/CookieStore.h"
#include "MyCode/FiberLoop.h"
#include "MyCode/HeaderLines.h"
#include "MyCode/HttpTransfer.h"
#include "MyCode/PictureEnd.h"
#include "MyCode/RequestWatch.h"
#include "MyCode/AtomicFile.h"
#include "MyCode/StringCtrl.h"

#include <QFile>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>

#include <curl/curl.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <optional>
#include <thread>

namespace {

constexpr int kDefaultTimeoutMs = 20000;
constexpr qsizetype kInflateChunk = 8192;
// Text is converted this many bytes at a time, so that the converter's own copies stay small.
constexpr qsizetype kDecodeSlice = 1 << 20;
// How much of a Content-Type a failure reason shows.
constexpr qsizetype kShownTypeBytes = 100;

// Appends one read to the body and cuts it by the marks; true once the end mark has arrived.
// Only the stretch that the new bytes can complete is searched: the rest was searched before.
bool AppendAndCut(QByteArray& body, const char* data, qsizetype size, const QByteArray& startMark,
                  const QByteArray& endMark)
{
    body.append(data, size);
    qsizetype fresh = size;
    const auto searchFrom = [&](const QByteArray& mark) {
        return std::max<qsizetype>(0, body.size() - fresh - (mark.size() - 1));
    };
    if (!startMark.isEmpty()) {
        // The body keeps only what follows the last start mark seen so far, cut once per read.
        qsizetype cut = -1;
        for (qsizetype at = searchFrom(startMark); (at = body.indexOf(startMark, at)) >= 0;)
            cut = at += startMark.size();
        if (cut >= 0) {
            body.remove(0, cut);
            fresh = std::min(fresh, body.size());
        }
    }
    if (endMark.isEmpty()) return false;
    const qsizetype at = body.indexOf(endMark, searchFrom(endMark));
    if (at < 0) return false;
    body.truncate(at);
    return true;
}

void CutByMarks(QByteArray& text, const QByteArray& startMark, const QByteArray& endMark)
{
    if (!startMark.isEmpty()) {
        // What follows the last mark that a search from the start, mark after mark, meets: one
        // removal rather than one per mark (a page of nothing but marks would take hours).
        qsizetype from = 0;
        for (qsizetype at; (at = text.indexOf(startMark, from)) >= 0;)
            from = at + startMark.size();
        text.remove(0, from);
    }
    if (!endMark.isEmpty()) {
        const qsizetype at = text.indexOf(endMark);
        if (at >= 0) text.truncate(at);
    }
}

// The decimal number of the first "Content-Length" header (null: none) lies within the limits.
bool AnnouncedLengthWithin(const QByteArray& value, quint32 minBytes, quint32 maxBytes)
{
    if (value.isNull()) return true;
    quint64 length = 0;
    for (qsizetype pos = 0; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos)
        length = std::min<quint64>(length * 10 + (value[pos] - '0'), UINT32_MAX + 1ULL);
    return length >= minBytes && (maxBytes == 0 || length <= maxBytes);
}

bool SizeWithin(qsizetype size, quint32 minBytes, quint32 maxBytes)
{
    const auto length = static_cast<quint64>(size);
    return length >= minBytes && (maxBytes == 0 || length <= maxBytes);
}

bool SaveBody(const QString& path, const QByteArray& body)
{
    CAtomicFile file(path);
    return file.Write(body.constData(), body.size()) && file.Commit();
}

// A picture's body on its way to disk, written as it arrives and kept nowhere in memory: the
// end scanner sees every byte as it passes. The file takes the final name only on Commit.
class PictureSink {
public:
    explicit PictureSink(const QString& path) : m_file(path) {}

    bool Write(const char* data, qsizetype size)
    {
        m_size += size;
        return m_file.Write(data, size);
    }
    qsizetype Size() const { return m_size; }
    bool Commit() { return m_file.Commit(); }

private:
    CAtomicFile m_file;
    qsizetype m_size = 0;
};

// Services answer a missing or forbidden picture with a web page, a JSON or XML error or a
// word, with status 200 and an image type; a server that states no length and closes early
// leaves a picture that only its own end shows to be cut. A picture is saved under its name.
FetchFailure KeepPicture(std::optional<PictureSink>& sink, PictureEndScanner& scanner, bool lengthStated,
                         const QString& path, const QByteArray& body)
{
    if (!sink) scanner.Feed(body);
    scanner.Finish();
    if (scanner.Format() == PictureFormat::None) return FetchFailure::NotPicture;
    if (!lengthStated && !scanner.HoldsEnd()) return FetchFailure::Incomplete;
    const bool written = sink ? sink->Commit() : SaveBody(path, body);
    return written ? FetchFailure::None : FetchFailure::WriteError;
}

// The saved picture's time is the server's Last-Modified; a date that does not read leaves the
// time of saving.
void KeepServerTime(const QString& path, const QString& headers)
{
    const QByteArray value = HeaderValue(headers.toLatin1(), "Last-Modified");
    if (value.isEmpty()) return;
    const time_t when = curl_getdate(value.constData(), nullptr);
    if (when == -1) return;
    const timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

// Only the answer itself is a picture: not a partial answer, a choice of answers, a redirect
// without its address, or what a proxy made of the answer (203 keeps the body as sent).
bool IsPictureStatus(int status)
{
    return status == 200 || status == 203;
}

// What a watch counts as the request's failure: a page that arrived is still a failure of the
// listing when the service answered with an error status or with nothing at all.
FetchFailure OutcomeFailure(bool accepted, const CURLResponse& response)
{
    if (!accepted) return response.m_eFailure == FetchFailure::None ? FetchFailure::Network : response.m_eFailure;
    if (response.m_nStatus >= 400) return FetchFailure::Status;
    if (response.m_nReceived == 0) return FetchFailure::Empty;
    return FetchFailure::None;
}

// Only the answer's Content-Encoding says the body is compressed; the word "gzip" elsewhere (a
// cookie's value, say) says nothing about it.
bool NamesCompression(const QByteArray& headers)
{
    for (const QByteArray& coding : HeaderValue(headers, "Content-Encoding").split(',')) {
        const QByteArray name = coding.trimmed().toLower();
        if (name == "gzip" || name == "x-gzip" || name == "deflate") return true;
    }
    return false;
}

// MultiToWide over the bytes, a slice at a time (a NUL is a character like any other). A slice
// ends right after a byte below 0x40: in UTF-8, GBK, Big5 and EUC-KR no byte of a
// multi-byte character is that low, so no character is split.
QString DecodeInSlices(const QByteArray& bytes, int codePage)
{
    if (bytes.size() <= kDecodeSlice) return CStringCtrl::MultiToWide(bytes, codePage);
    const qsizetype end = bytes.size();
    const auto isCut = [&](qsizetype at) { return static_cast<unsigned char>(bytes[at - 1]) < 0x40; };
    QString text;
    text.reserve(end); // no code page here makes more characters than bytes
    for (qsizetype from = 0; from < end;) {
        qsizetype to = std::min(end, from + kDecodeSlice);
        if (to < end) {
            qsizetype back = to;
            while (back > from && !isCut(back))
                --back;
            if (back > from) {
                to = back;
            } else {
                while (to < end && !isCut(to))
                    ++to;
            }
        }
        text += CStringCtrl::MultiToWide(bytes.constData() + from, codePage, to - from);
        from = to;
    }
    return text;
}

HttpTransfer::Request TransferRequestFor(const CURLSource2& source)
{
    HttpTransfer::Request request;
    request.url = PrepareAddress(source.m_strUrl);
    request.method = source.m_strVerb.toLatin1();
    // A GET with a body is not what a caller that sets post data means.
    if (!source.m_pPostData.isNull() && request.method == "GET") request.method = "POST";
    for (const QString& line : source.m_strHeaders.split(u'\n', Qt::SkipEmptyParts)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty()) request.headerLines.append(trimmed.toUtf8());
    }
    request.body = source.m_pPostData;
    request.connectTimeoutMs = source.m_nConnectTimeout;
    request.readTimeoutMs = source.m_nReadTimeout;
    request.minBytesPerSecond = CURLSource2::kSpeedFloor;
    request.abort = source.m_pAbort;
    request.meter = source.m_pMeter;
    return request;
}

} // namespace

CURLSource2::CURLSource2(const QString& url, const QString& savePath, int timeoutMs)
    : m_strUrl(url), m_strVerb(QStringLiteral("GET")), m_strSavePath(savePath), m_nReadTimeout(timeoutMs),
      m_nConnectTimeout(timeoutMs)
{
}

CURLSource2::~CURLSource2()
{
    Reset();
}

void CURLSource2::Reset()
{
    m_strUrl.clear();
    m_strVerb = QStringLiteral("GET");
    m_strHeaders.clear();
    m_strStartMark.clear();
    m_strEndMark.clear();
    m_strSavePath.clear();
    m_pPostData = QByteArray();
    m_nReadTimeout = kDefaultTimeoutMs;
    m_nConnectTimeout = kDefaultTimeoutMs;
    m_nMinKB = 0;
    m_nMaxKB = 0;
}

bool CURLSource2::Send(CURLResponse& response, int flags)
{
    CRequestWatch* watch = CRequestWatch::Current();
    // A request without a stop of its own ends at the stop of the run it is sent for.
    const std::atomic<bool>* const ownAbort = m_pAbort;
    if (!m_pAbort && watch) m_pAbort = watch->Stop();
    const bool accepted = SendAttempts(response, flags);
    m_pAbort = ownAbort;
    if (watch) watch->Report({OutcomeFailure(accepted, response), response.m_nStatus, m_strUrl});
    return accepted;
}

bool CURLSource2::SendAttempts(CURLResponse& response, int flags)
{
    for (int attempt = 1; attempt <= m_nRetries; ++attempt) {
        if (response.Perform(*this, flags)) {
            if (m_nMinLength == 0 && m_strRetryMark.isEmpty()) return true;
            const QByteArray body = response.Body(flags & FLAG_DECOMPRESS);
            if (static_cast<quint64>(body.size()) > m_nMinLength &&
                (m_strRetryMark.isEmpty() || !body.contains(m_strRetryMark)))
                return true;
        }
        if (m_pAbort && *m_pAbort) break;
        CFiberLoop::SleepUntil(std::chrono::steady_clock::now() + std::chrono::seconds(m_nRetryDelay));
    }
    return false;
}

QString FetchFailureText(FetchFailure failure, int status)
{
    switch (failure) {
    case FetchFailure::None:
        return {};
    case FetchFailure::Network:
        return QStringLiteral("网络错误");
    case FetchFailure::NoConnection:
        return QStringLiteral("连接失败");
    case FetchFailure::ConnectTimedOut:
        return QStringLiteral("连接超时");
    case FetchFailure::NoAnswer:
        return QStringLiteral("无应答，超时");
    case FetchFailure::TimedOut:
        return QStringLiteral("超时");
    case FetchFailure::TooSlow:
        return QStringLiteral("速度过慢，超时");
    case FetchFailure::Cut:
        return QStringLiteral("传输中断");
    case FetchFailure::Status:
        return QStringLiteral("HTTP %1").arg(status);
    case FetchFailure::SizeLimit:
        return QStringLiteral("大小不在设置的范围内");
    case FetchFailure::Empty:
        return QStringLiteral("空的应答");
    case FetchFailure::NotPicture:
        return QStringLiteral("不是图片");
    case FetchFailure::Incomplete:
        return QStringLiteral("图片不完整");
    case FetchFailure::WriteError:
        return QStringLiteral("无法写入文件");
    case FetchFailure::Aborted:
        return QStringLiteral("已终止");
    }
    return {};
}

QString CURLSource2::GetCookie(const QString& url)
{
    return QString::fromUtf8(CCookieStore::Instance().CookieHeader(QUrl(url)));
}

bool CURLSource2::Inflate(QByteArray& out, const char* data, qsizetype size, qsizetype limit)
{
    z_stream stream{};
    if (inflateInit2(&stream, 47) != Z_OK) return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream.avail_in = static_cast<uInt>(size);
    const qsizetype start = out.size();
    const qsizetype ceiling = start + std::max<qsizetype>(0, limit);
    int result = Z_OK;
    // zlib writes straight into out, whose room doubles but never reaches past the ceiling.
    while (result == Z_OK && out.size() < ceiling) {
        const qsizetype before = out.size();
        const qsizetype room =
            std::min({std::max(kInflateChunk, before - start), ceiling - before, qsizetype(1) << 30});
        if (before + room > out.capacity()) out.reserve(before + room);
        out.resize(before + room);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + before);
        stream.avail_out = static_cast<uInt>(room);
        result = inflate(&stream, Z_NO_FLUSH);
        out.resize(before + room - stream.avail_out);
    }
    bool capped = false;
    if (result == Z_OK) {
        // The ceiling is reached: the stream is whole only when nothing at all follows.
        char probe;
        stream.next_out = reinterpret_cast<Bytef*>(&probe);
        stream.avail_out = 1;
        result = inflate(&stream, Z_NO_FLUSH);
        capped = stream.avail_out == 0;
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END && !capped;
}

bool CURLResponse::Perform(const CURLSource2& request, int /*flags: cache modes, no cache here*/)
{
    m_body.clear();
    m_strStartMark = request.m_strStartMark;
    m_strEndMark = request.m_strEndMark;
    m_bGzip = false;
    m_nStatus = 0;
    m_nReceived = 0;
    m_eFailure = FetchFailure::None;
    // Kilobyte limits wrap in 32 bits as they always have.
    const quint32 minBytes = request.m_nMinKB * 1024u;
    const quint32 maxBytes = request.m_nMaxKB * 1024u;
    // A page is held in memory, compressed or not, so it has a cap even without a limit of its own.
    const quint32 pageCap = maxBytes != 0 ? maxBytes : quint32(CURLSource2::kInflateCap);
    m_nInflateLimit = pageCap;

    const HttpTransfer::Request transferRequest = TransferRequestFor(request);
    if (transferRequest.url.isEmpty()) return Fail(FetchFailure::Network);
    const bool saving = !request.m_strSavePath.isEmpty();
    // A picture goes to disk as it arrives unless something must see its whole body: the marks
    // cut it, and Send's length and retry-mark checks read it.
    std::optional<PictureSink> sink;
    if (saving && m_strStartMark.isEmpty() && m_strEndMark.isEmpty() && request.m_nMinLength == 0 &&
        request.m_strRetryMark.isEmpty())
        sink.emplace(request.m_strSavePath);
    // A picture on its way to disk has only its own limit (0: none).
    const quint32 bodyCap = sink ? maxBytes : pageCap;
    PictureEndScanner scanner;
    bool lengthStated = false;

    HttpTransfer transfer;
    transfer.onHeaders = [&](int status, const QByteArray& rawHeaders) {
        m_strHeaders = QString::fromLatin1(rawHeaders);
        m_bGzip = NamesCompression(rawHeaders);
        if (saving && !IsPictureStatus(status)) return Fail(FetchFailure::Status);
        const QByteArray length = HeaderValue(rawHeaders, "Content-Length");
        lengthStated = !length.isNull();
        return AnnouncedLengthWithin(length, minBytes, bodyCap) || Fail(FetchFailure::SizeLimit);
    };
    transfer.onBody = [&](const char* data, size_t size) {
        const auto count = static_cast<qsizetype>(size);
        if (sink) {
            if (bodyCap != 0 && static_cast<quint64>(sink->Size() + count) > bodyCap) {
                m_eFailure = FetchFailure::SizeLimit;
                return HttpTransfer::Verdict::Fail;
            }
            scanner.Feed(QByteArrayView(data, count));
            if (sink->Write(data, count)) return HttpTransfer::Verdict::Continue;
            m_eFailure = FetchFailure::WriteError;
            return HttpTransfer::Verdict::Fail;
        }
        // Compressed bytes cannot be cut; GetText cuts them once inflated.
        if (m_bGzip)
            m_body.append(data, count);
        else if (AppendAndCut(m_body, data, count, m_strStartMark, m_strEndMark))
            return HttpTransfer::Verdict::Stop;
        if (static_cast<quint64>(m_body.size()) > bodyCap) {
            m_eFailure = FetchFailure::SizeLimit;
            return HttpTransfer::Verdict::Fail;
        }
        return HttpTransfer::Verdict::Continue;
    };
    const bool arrived = transfer.Run(transferRequest);
    m_nStatus = transfer.status;
    m_nReceived = sink ? sink->Size() : m_body.size();
    if (!arrived) return Fail(m_eFailure != FetchFailure::None ? m_eFailure : transfer.failure);
    if (!SizeWithin(m_nReceived, minBytes, maxBytes)) return Fail(FetchFailure::SizeLimit);
    if (!saving) return true;
    if (m_nReceived == 0) return Fail(FetchFailure::Empty);
    const FetchFailure kept = KeepPicture(sink, scanner, lengthStated, request.m_strSavePath, m_body);
    if (kept != FetchFailure::None) return Fail(kept);
    if (request.m_bKeepServerTime) KeepServerTime(request.m_strSavePath, m_strHeaders);
    return true;
}

QString CURLResponse::FailureText() const
{
    const QString text = FetchFailureText(m_eFailure, m_nStatus);
    if (m_eFailure != FetchFailure::NotPicture) return text;
    const QByteArray type = HeaderValue(m_strHeaders.toLatin1(), "Content-Type").left(kShownTypeBytes);
    return text +
           QStringLiteral("（%1字节，Content-Type %2）")
               .arg(QString::number(m_nReceived), type.isEmpty() ? QStringLiteral("无") : QString::fromLatin1(type));
}

QByteArray CURLResponse::Body(bool decompress) const
{
    if (!decompress || !m_bGzip) return m_body;
    QByteArray inflated;
    // What a damaged stream gave up to the damage is kept; a body that is no stream at all
    // was sent as it is, whatever its headers claim.
    if (CURLSource2::Inflate(inflated, m_body.constData(), m_body.size(), m_nInflateLimit) || !inflated.isEmpty())
        return inflated;
    return m_body;
}

qint64 CURLResponse::RetryAfterSeconds() const
{
    const QByteArray value = HeaderValue(m_strHeaders.toLatin1(), "Retry-After");
    if (value.isEmpty()) return -1;
    bool isNumber = false;
    const qint64 seconds = value.toLongLong(&isNumber);
    if (isNumber) return seconds >= 0 ? seconds : -1;
    const time_t when = curl_getdate(value.constData(), nullptr);
    if (when == -1) return -1;
    return std::max<qint64>(0, qint64(when) - qint64(std::time(nullptr)));
}

void CURLResponse::GetText(QString& out, int flags) const
{
    QByteArray body = Body(flags & FLAG_DECOMPRESS);
    if (m_bGzip) CutByMarks(body, m_strStartMark, m_strEndMark);

    int codePage = CP_GBK;
    // The service's own word on GBK beats what the caller expected.
    if (!m_strHeaders.contains(QLatin1String("charset=GBK"))) {
        if (flags & FLAG_UTF8)
            codePage = CP_UTF8;
        else if (flags & FLAG_EUC_KR)
            codePage = CP_EUC_KR;
        else if (flags & FLAG_BIG5)
            codePage = CP_BIG5;
        else if ((flags & FLAG_UTF8_IF_VALID) && CStringCtrl::IsUtf8(body.constData(), body.size()))
            codePage = CP_UTF8;
    }
    out = DecodeInSlices(body, codePage);
    body = QByteArray(); // gone before the entities pass, which may copy the text
    CStringCtrl::DecodeEntities(out);
}
