#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include "MyCode/FetchFailure.h"

#include <atomic>

class CURLResponse;
struct TransferMeter;

// Bits of the flag word. Send and Perform look only at FLAG_DECOMPRESS (the acceptance checks of
// Send then see the decompressed body; the other bits chose cache modes of a caching client and
// mean nothing here). GetText reads all of them; the first text bit set decides.
enum FetchFlag : int {
    FLAG_DECOMPRESS = 0x01,
    FLAG_UTF8 = 0x02,
    FLAG_EUC_KR = 0x04,
    FLAG_BIG5 = 0x08,
    FLAG_UTF8_IF_VALID = 0x10,
};

// No connection could be made: the host is down or unknown.
inline bool IsConnectionFailure(FetchFailure failure)
{
    return failure == FetchFailure::NoConnection || failure == FetchFailure::ConnectTimedOut;
}
// The host gave nothing at all: no connection, or a connection and no answer in time.
inline bool IsHostSilence(FetchFailure failure)
{
    return IsConnectionFailure(failure) || failure == FetchFailure::NoAnswer;
}
// The reason as the user reads it; status is the answer's HTTP status.
QString FetchFailureText(FetchFailure failure, int status);

// One HTTP request: address, extra header lines, cut marks, size limits, time-outs and retry
// policy. Callers assign the fields directly; one object serves many addresses in turn.
class CURLSource2 {
public:
    // A page, as it arrives and decompressed, is capped so that an endless or a small compressed
    // body cannot fill the memory; a request with m_nMaxKB set caps it at that size instead.
    static constexpr qsizetype kInflateCap = 256 * 1024 * 1024;
    // A transfer slower than this many bytes a second over a whole read time-out fails, so that
    // a server sending a trickle cannot hold a worker for ever.
    static constexpr int kSpeedFloor = 1024;

    explicit CURLSource2(const QString& url = {}, const QString& savePath = {}, int timeoutMs = 20000);
    ~CURLSource2();

    // Clears the address, headers, start and end marks, save path and post data, and restores
    // the verb, time-outs and KB limits; the retry policy and m_nMinLength stay.
    void Reset();
    // Up to m_nRetries attempts; true when one was accepted. Sleeps m_nRetryDelay seconds after
    // every failed attempt, the last one too, unless aborted.
    bool Send(CURLResponse& response, int flags);

    // The cookies the shared store holds for url, as "name=value; name2=value2".
    static QString GetCookie(const QString& url);
    // Appends to out what data inflates to (zlib or gzip header detected); false on a damaged
    // or truncated stream or when limit bytes were produced, keeping what was produced. out never
    // holds more than limit bytes beyond what it had, not even in reserve.
    static bool Inflate(QByteArray& out, const char* data, qsizetype size, qsizetype limit = kInflateCap);

    QString m_strUrl;
    QString m_strVerb;
    // Extra request header lines, CR LF separated, sent as they are.
    QString m_strHeaders;
    QByteArray m_strStartMark;
    QByteArray m_strEndMark;
    QByteArray m_strRetryMark;
    QString m_strSavePath;
    // The request body; a null array sends none.
    QByteArray m_pPostData;
    qint32 m_nReadTimeout;
    qint32 m_nConnectTimeout;
    quint32 m_nMinKB = 0;
    quint32 m_nMaxKB = 0;
    quint32 m_nMinLength = 0;
    quint8 m_nRetries = 1;
    quint8 m_nRetryDelay = 1;
    // When set and raised (a stop request), the transfer in progress ends at once as a failure
    // and no further attempt is made. Reset leaves it.
    const std::atomic<bool>* m_pAbort = nullptr;
    // A picture saved takes the answer's Last-Modified, when it has one that reads, as its
    // modification time. Reset leaves it.
    bool m_bKeepServerTime = false;
    // When set, follows the body's bytes as they arrive. Reset leaves it.
    TransferMeter* m_pMeter = nullptr;

private:
    bool SendAttempts(CURLResponse& response, int flags);
};

// The answer to one attempt and the conversion of its body to text.
class CURLResponse {
public:
    // One attempt of request: true when the transfer completed within the limits.
    bool Perform(const CURLSource2& request, int flags);
    // The body as text: decompressed when asked, cut by the marks when it was compressed,
    // converted by the charset rules and with HTML entities decoded.
    void GetText(QString& out, int flags) const;
    // The body, decompressed when decompress is set and the answer's Content-Encoding is gzip or
    // deflate; a body that does not inflate is given as it came.
    QByteArray Body(bool decompress) const;
    // The wait the answer's Retry-After header asks for (seconds, or an HTTP date), in seconds;
    // -1 when it has none that reads.
    qint64 RetryAfterSeconds() const;
    // Why the last attempt was not accepted, as the user reads it; for what is no picture, also
    // its size and its Content-Type.
    QString FailureText() const;

    // Raw headers of the final response of the last attempt that got one.
    QString m_strHeaders;
    // The last attempt's HTTP status (0 when no answer came) and why it was not accepted. A
    // picture (a request with a save path) is accepted only when it was written whole: with
    // status 200 or 203, starting with the signature of a picture format, and, when the answer
    // stated no length, reaching its format's end. Anything else is a failure, never a file.
    int m_nStatus = 0;
    FetchFailure m_eFailure = FetchFailure::None;
    // The bytes of the last attempt's body, after the marks.
    qint64 m_nReceived = 0;
    // The body; empty for a picture written to disk as it arrived.
    QByteArray m_body;
    QByteArray m_strStartMark;
    QByteArray m_strEndMark;
    // The answer's Content-Encoding names gzip or deflate.
    bool m_bGzip = false;
    // Output cap for decompressing this body, taken from the request with the marks.
    qsizetype m_nInflateLimit = CURLSource2::kInflateCap;

private:
    bool Fail(FetchFailure why)
    {
        m_eFailure = why;
        return false;
    }
};
