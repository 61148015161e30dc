#include "support/FakeServiceState.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <exception>

namespace {

constexpr qsizetype kMaxHeadSize = 1 << 20;

bool SendAll(int socket, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        // The client may hang up at any moment (an end mark reached); no SIGPIPE for that.
        const ssize_t count = send(socket, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) return false;
        sent += count;
    }
    return true;
}

// Reads until buffer holds at least size bytes; false when the client closed.
bool ReadAtLeast(int socket, QByteArray& buffer, qsizetype size)
{
    char chunk[65536];
    while (buffer.size() < size) {
        const ssize_t count = recv(socket, chunk, sizeof chunk, 0);
        if (count <= 0) return false;
        buffer.append(chunk, count);
    }
    return true;
}

QByteArray HostWithoutPort(const QByteArray& authority)
{
    const qsizetype colon = authority.lastIndexOf(':');
    return (colon < 0 ? authority : authority.left(colon)).toLower();
}

bool ParseHead(const QByteArray& head, FakeRequest& request)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    if (requestLine.size() != 3) return false;
    request.method = requestLine[0];
    request.target = requestLine[1];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) request.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    request.host = HostWithoutPort(request.header("Host"));
    static const QByteArray absolute = "http://";
    if (request.target.toLower().startsWith(absolute)) {
        const qsizetype slash = request.target.indexOf('/', absolute.size());
        request.viaProxy = true;
        request.host = HostWithoutPort(request.target.mid(absolute.size(), slash < 0 ? -1 : slash - absolute.size()));
        request.target = slash < 0 ? QByteArray("/") : request.target.mid(slash);
    }
    return true;
}

// Reads the next request; buffer carries what arrived beyond it to the next call.
bool ReadRequest(int socket, QByteArray& buffer, FakeRequest& request)
{
    qsizetype headEnd;
    while ((headEnd = buffer.indexOf("\r\n\r\n")) < 0) {
        if (buffer.size() > kMaxHeadSize || !ReadAtLeast(socket, buffer, buffer.size() + 1)) return false;
    }
    if (!ParseHead(buffer.left(headEnd), request)) return false;
    buffer.remove(0, headEnd + 4);
    if (request.header("Expect").compare("100-continue", Qt::CaseInsensitive) == 0 &&
        !SendAll(socket, "HTTP/1.1 100 Continue\r\n\r\n"))
        return false;
    const qsizetype length = request.header("Content-Length").toLongLong();
    if (!ReadAtLeast(socket, buffer, length)) return false;
    request.body = buffer.left(length);
    buffer.remove(0, length);
    request.received = std::chrono::steady_clock::now();
    return true;
}

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QByteArray Head(const FakeReply& reply, bool keepAlive)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + ReasonPhrase(reply.status) + "\r\n";
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    if (reply.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else if (!reply.closeDelimited)
        head += "Content-Length: " + QByteArray::number(reply.announcedLength.value_or(reply.body.size())) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    return head;
}

// Sends the body in pieces cut at the chunk boundaries and pause offsets (a pause inside a
// chunked body also ends a chunk there), pausing where asked; false where the reply hangs up.
bool SendBody(int socket, const FakeReply& reply, FakeServiceState& state)
{
    if (reply.endless) {
        while (SendAll(socket, reply.body)) {
        }
        return false;
    }
    const qsizetype size = reply.body.size();
    QList<qsizetype> cuts = {0, size};
    if (reply.chunked) cuts += reply.chunkBoundaries;
    for (const auto& pause : reply.pauses)
        cuts.append(pause.first);
    if (reply.cutAt) cuts.append(*reply.cutAt);
    for (qsizetype& cut : cuts)
        cut = std::clamp<qsizetype>(cut, 0, size);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    for (qsizetype i = 0; i < cuts.size(); ++i) {
        if (reply.cutAt && cuts[i] == std::clamp<qsizetype>(*reply.cutAt, 0, size)) return false;
        for (const auto& [offset, milliseconds] : reply.pauses)
            if (std::clamp<qsizetype>(offset, 0, size) == cuts[i] && !state.Pause(milliseconds)) return false;
        if (i + 1 == cuts.size()) break;
        const QByteArray piece = reply.body.mid(cuts[i], cuts[i + 1] - cuts[i]);
        const QByteArray wire = reply.chunked ? QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n" : piece;
        if (!SendAll(socket, wire)) return false;
    }
    return !reply.chunked || SendAll(socket, "0\r\n\r\n");
}

FakeReply Answer(const FakeServiceState& state, const FakeRequest& request)
{
    const FakeHandler handler = state.routes.Find(request);
    if (!handler) return FakeReply::Status(404, "no route for " + request.host + request.target);
    try {
        return handler(request);
    } catch (const std::exception& error) {
        return FakeReply::Status(500, error.what());
    }
}

} // namespace

void ServeConnection(std::shared_ptr<FakeServiceState> state, int socket)
{
    QByteArray buffer;
    for (;;) {
        FakeRequest request;
        if (!ReadRequest(socket, buffer, request)) break;
        state->Record(request);
        const FakeReply reply = Answer(*state, request);
        // A wrong length leaves the stream unusable for a next request.
        const bool keepAlive = request.header("Connection").compare("close", Qt::CaseInsensitive) != 0 &&
                               !reply.announcedLength.has_value() && !reply.cutAt.has_value() && !reply.closeDelimited;
        const bool sent = (reply.headDelayMs <= 0 || state->Pause(reply.headDelayMs)) &&
                          SendAll(socket, Head(reply, keepAlive)) && SendBody(socket, reply, *state);
        state->Answered(request);
        if (!sent || !keepAlive || reply.closeAfter) break;
    }
    state->Closed(socket);
}
