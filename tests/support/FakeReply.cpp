#include "support/FakeReply.h"

#include <QFile>
#include <QFileInfo>

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

QString FixturePath(const QString& relative)
{
    // The build names the folder: __FILE__ may be relative when a compiler cache rewrote paths.
    return QStringLiteral(TALVORIA_FIXTURES "/") + relative;
}

QByteArray FakeRequest::path() const
{
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? target : target.left(mark);
}

QByteArray FakeRequest::query() const
{
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? QByteArray() : target.mid(mark + 1);
}

QByteArray FakeRequest::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    return {};
}

bool FakeRequest::hasHeader(const QByteArray& name) const
{
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& h) { return h.first.compare(name, Qt::CaseInsensitive) == 0; });
}

FakeReply FakeReply::Ok(const QByteArray& body, const QByteArray& contentType)
{
    FakeReply reply;
    reply.body = body;
    reply.Header("Content-Type", contentType);
    return reply;
}

FakeReply FakeReply::File(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("fixture not readable: " + path.toStdString());
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray type = "application/octet-stream";
    if (suffix == "html" || suffix == "htm")
        type = "text/html";
    else if (suffix == "json")
        type = "application/json";
    else if (suffix == "js")
        type = "application/javascript";
    else if (suffix == "txt" || suffix == "xml")
        type = "text/" + suffix.toLatin1();
    else if (suffix == "jpg" || suffix == "jpeg")
        type = "image/jpeg";
    else if (suffix == "png" || suffix == "gif")
        type = "image/" + suffix.toLatin1();
    return Ok(file.readAll(), type);
}

FakeReply FakeReply::Status(int status, const QByteArray& body)
{
    FakeReply reply = Ok(body, "text/html");
    reply.status = status;
    return reply;
}

FakeReply FakeReply::Redirect(const QByteArray& location, int status)
{
    return Status(status).Header("Location", location);
}

FakeReply& FakeReply::Header(const QByteArray& name, const QByteArray& value)
{
    headers.append({name, value});
    return *this;
}

FakeReply& FakeReply::SetCookie(const QByteArray& cookie)
{
    return Header("Set-Cookie", cookie);
}

FakeReply& FakeReply::Gzipped()
{
    body = GzipBytes(body);
    return Header("Content-Encoding", "gzip");
}

FakeReply& FakeReply::ChunkedAt(QList<qsizetype> boundaries)
{
    chunked = true;
    chunkBoundaries = std::move(boundaries);
    return *this;
}

FakeReply& FakeReply::AnnounceLength(qint64 length)
{
    announcedLength = length;
    return *this;
}

FakeReply& FakeReply::PauseAt(qsizetype offset, int milliseconds)
{
    pauses.append({offset, milliseconds});
    return *this;
}

FakeReply& FakeReply::DelayHead(int milliseconds)
{
    headDelayMs = milliseconds;
    return *this;
}

FakeReply& FakeReply::CutAt(qsizetype offset)
{
    cutAt = offset;
    return *this;
}

FakeReply& FakeReply::CloseDelimited()
{
    closeDelimited = true;
    return *this;
}

FakeReply& FakeReply::Endless()
{
    endless = true;
    return CloseDelimited();
}

FakeReply& FakeReply::Trickle(qsizetype bytesPerPiece, int milliseconds)
{
    for (qsizetype offset = bytesPerPiece; offset < body.size(); offset += bytesPerPiece)
        pauses.append({offset, milliseconds});
    return *this;
}

namespace {
// Compresses total bytes made of block repeated (the last copy cut short).
QByteArray GzipRepeating(const QByteArray& block, qint64 total)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    QByteArray out;
    char buffer[65536];
    qint64 fed = 0;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        if (stream.avail_in == 0 && fed < total) {
            const qint64 size = std::min<qint64>(total - fed, block.size());
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.constData()));
            stream.avail_in = static_cast<uInt>(size);
            fed += size;
        }
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        result = deflate(&stream, fed < total ? Z_NO_FLUSH : Z_FINISH);
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - stream.avail_out));
    }
    deflateEnd(&stream);
    return out;
}
} // namespace

QByteArray GzipBytes(const QByteArray& data)
{
    return GzipRepeating(data, data.size());
}

QByteArray GzipZeros(qint64 count)
{
    return GzipRepeating(QByteArray(1 << 20, '\0'), count);
}

QByteArray GzipFilled(char byte, qint64 count)
{
    return GzipRepeating(QByteArray(1 << 20, byte), count);
}

QByteArray FakePicture(int seed, int size)
{
    // The start of the image, a JFIF header, the header of one scan, its data, the end of the image.
    static const QByteArray kHead("\xFF\xD8"
                                  "\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
                                  "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00",
                                  30);
    QByteArray bytes = kHead;
    bytes.reserve(size);
    // Scan data holds no FF but the one of the end marker.
    for (qsizetype i = bytes.size(); i < size - 2; ++i)
        bytes += char((i * 31 + seed * 7) % 0xFF);
    return bytes + "\xFF\xD9";
}
