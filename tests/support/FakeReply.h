#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <chrono>
#include <optional>

using FakeHeaders = QList<QPair<QByteArray, QByteArray>>;

// One request as the fake service received it.
struct FakeRequest {
    QByteArray method;
    QByteArray host;   // lower case, without port: the real host name when sent through the proxy
    QByteArray target; // path and query
    FakeHeaders headers;
    QByteArray body;
    bool viaProxy = false; // sent in absolute form ("GET http://host/path HTTP/1.1")
    std::chrono::steady_clock::time_point received;

    QByteArray path() const;
    QByteArray query() const;
    // The first header of that name, compared without case; empty when absent.
    QByteArray header(const QByteArray& name) const;
    bool hasHeader(const QByteArray& name) const;
};

// What the fake service answers, with the misbehaviours that tests need. Offsets count bytes of
// the body as sent, that is after gzip.
struct FakeReply {
    int status = 200;
    FakeHeaders headers;
    QByteArray body;
    bool chunked = false;
    QList<qsizetype> chunkBoundaries;
    std::optional<qint64> announcedLength; // a wrong Content-Length; the connection closes after
    QList<QPair<qsizetype, int>> pauses;   // (offset, milliseconds)
    int headDelayMs = 0;                   // silence before the head
    std::optional<qsizetype> cutAt;        // the connection closes there, mid-body
    bool closeAfter = false;               // closes once answered, though its head says keep-alive
    bool closeDelimited = false;           // no length: the body ends where the connection closes
    bool endless = false;                  // the body again and again, until the client hangs up

    static FakeReply Ok(const QByteArray& body, const QByteArray& contentType = "text/html; charset=utf-8");
    // The file's bytes with a content type after its extension; throws when it cannot be read.
    static FakeReply File(const QString& path);
    static FakeReply Status(int status, const QByteArray& body = {});
    static FakeReply Redirect(const QByteArray& location, int status = 302);

    FakeReply& Header(const QByteArray& name, const QByteArray& value);
    FakeReply& SetCookie(const QByteArray& cookie);
    // Compresses the body now and says so in Content-Encoding.
    FakeReply& Gzipped();
    // Sends the body with chunked transfer encoding, a chunk ending at each boundary.
    FakeReply& ChunkedAt(QList<qsizetype> boundaries);
    FakeReply& AnnounceLength(qint64 length);
    // Sends the body up to offset, then waits; also what makes a client's reads split there.
    FakeReply& PauseAt(qsizetype offset, int milliseconds);
    // Waits before sending anything at all: a server that accepts and then says nothing.
    FakeReply& DelayHead(int milliseconds);
    // Sends the body up to offset (the head announcing all of it), then hangs up.
    FakeReply& CutAt(qsizetype offset);
    // States no length and closes after the body, as an HTTP/1.0 server does; with CutAt the
    // client cannot tell a cut from the end.
    FakeReply& CloseDelimited();
    // Sends the body over and over, without a length, until the client hangs up.
    FakeReply& Endless();
    // Sends the body a few bytes at a time with a pause after each: a trickle.
    FakeReply& Trickle(qsizetype bytesPerPiece, int milliseconds);
};

// The path of a file below tests/fixtures.
QString FixturePath(const QString& relative);

QByteArray GzipBytes(const QByteArray& data);
// A small gzip stream of count zero bytes: the shape of a decompression bomb.
QByteArray GzipZeros(qint64 count);
// The same shape made of count copies of byte: a bomb that inflates to text.
QByteArray GzipFilled(char byte, qint64 count);
// A JPEG picture of the given size (32 bytes at least), different for each seed.
QByteArray FakePicture(int seed, int size = 2048);
