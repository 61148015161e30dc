#pragma once

#include "MyCode/FetchFailure.h"
#include "MyCode/TransferMeter.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

// The address as the transfer sends it, bytes a URL may not hold escaped; an https address stays
// https (typed addresses are read as http before they get here, never those a page or a redirect
// gives). Empty when it is not an http or https address with a host.
QByteArray PrepareAddress(const QString& address);
// "scheme://host:port" of an address, the port filled in for http and https: two addresses of
// one origin reach the same server over the same kind of connection.
QByteArray OriginOf(const QByteArray& url);

// One HTTP exchange on a libcurl easy handle of its own while it runs, redirects included, on
// the handle's kept-alive connection to the host when it has one. Redirects are followed
// here rather than by libcurl so that every hop carries the cookies of its own host and leaves
// the cookies it sets in the shared store.
class HttpTransfer {
public:
    enum class Verdict { Continue, Stop, Fail };

    struct Request {
        QByteArray url; // from PrepareAddress
        QByteArray method = "GET";
        QList<QByteArray> headerLines;
        QByteArray body; // null: no body
        int connectTimeoutMs = 20000;
        int readTimeoutMs = 20000;
        // A transfer averaging fewer bytes a second than this over a whole read time-out fails
        // as too slow; 0: no floor.
        int minBytesPerSecond = 0;
        const std::atomic<bool>* abort = nullptr; // raised: end the transfer as a failure
        TransferMeter* meter = nullptr;           // when set: the final body's progress
    };

    static constexpr int kMaxRedirects = 10;

    // Called with the final response's status and raw headers before its body is read; false
    // fails the transfer without reading the body.
    std::function<bool(int status, const QByteArray& rawHeaders)> onHeaders;
    // Called with each piece of the final body as it arrives; Stop ends the transfer early and
    // still counts as success.
    std::function<Verdict(const char* data, size_t size)> onBody;

    // True when the final response arrived and was not refused by a callback; false on network
    // errors, time-outs, an abort and too many redirects, with the reason in failure.
    bool Run(const Request& request);

    // Why Run returned false: one of the transport reasons, Aborted, or Network for anything
    // else (a bad redirect, a callback that said no and keeps its own reason).
    FetchFailure failure = FetchFailure::None;
    // The final response's status, 0 when none arrived.
    int status = 0;

private:
    bool Fail(FetchFailure why)
    {
        failure = why;
        return false;
    }
};
