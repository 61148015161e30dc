#include "MyCode/PictureEnd.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned char kJpegStartOfImage = 0xD8;
constexpr unsigned char kJpegEndOfImage = 0xD9;
constexpr unsigned char kJpegStartOfScan = 0xDA;
constexpr unsigned char kGifExtension = 0x21;
constexpr unsigned char kGifImage = 0x2C;
constexpr unsigned char kGifTrailer = 0x3B;

// Markers that stand alone, without a length: restarts, the start of the image and TEM.
bool IsStandaloneMarker(unsigned char code)
{
    return (code >= 0xD0 && code <= 0xD7) || code == kJpegStartOfImage || code == 0x01;
}

quint32 BigEndian(const unsigned char* bytes, int count)
{
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// The bytes of a GIF colour table that a packed field announces.
quint64 GifColourTable(unsigned char packed)
{
    return (packed & 0x80) ? 3u << ((packed & 7) + 1) : 0;
}

} // namespace

void PictureEndScanner::Feed(QByteArrayView piece)
{
    m_fed += quint64(piece.size());
    const auto* at = reinterpret_cast<const unsigned char*>(piece.data());
    const auto* const end = at + piece.size();
    if (!m_decided) {
        const qsizetype take = std::min<qsizetype>(end - at, kPictureHeadBytes - m_headSize);
        std::copy(at, at + take, m_head.begin() + m_headSize);
        m_headSize += take;
        at += take;
        if (m_headSize < kPictureHeadBytes) return;
        Decide();
    }
    Walk(at, end);
}

void PictureEndScanner::Finish()
{
    if (!m_decided) Decide();
}

bool PictureEndScanner::HoldsEnd() const
{
    switch (m_format) {
    case PictureFormat::None:
        return false;
    case PictureFormat::Jpeg:
    case PictureFormat::Png:
    case PictureFormat::Gif:
        return m_step == Step::End && m_skip == 0;
    default:
        return m_fed >= m_statedSize;
    }
}

void PictureEndScanner::Expect(Step step, qsizetype need, quint64 skip)
{
    m_step = step;
    m_need = need;
    m_have = 0;
    m_skip = skip;
}

void PictureEndScanner::Decide()
{
    m_decided = true;
    const QByteArrayView head(reinterpret_cast<const char*>(m_head.data()), m_headSize);
    m_format = PictureFormatOf(head);
    m_statedSize = StatedPictureSize(m_format, head);
    switch (m_format) {
    case PictureFormat::Jpeg:
        Expect(Step::Marker, 1);
        break;
    case PictureFormat::Png:
        Expect(Step::PngChunk, 8, 8);
        break;
    case PictureFormat::Gif:
        Expect(Step::GifScreen, 7, 6);
        break;
    default:
        return; // nothing to walk
    }
    Walk(m_head.data(), m_head.data() + m_headSize);
}

void PictureEndScanner::Walk(const unsigned char* at, const unsigned char* end)
{
    while (at < end) {
        if (m_skip > 0) {
            const quint64 step = std::min<quint64>(m_skip, quint64(end - at));
            at += step;
            m_skip -= step;
            continue;
        }
        if (m_step == Step::End || m_step == Step::Broken) return;
        if (m_step == Step::Entropy) {
            at = ScanEntropy(at, end);
            continue;
        }
        const qsizetype take = std::min<qsizetype>(m_need - m_have, end - at);
        std::copy(at, at + take, m_field.begin() + m_have);
        m_have += take;
        at += take;
        if (m_have == m_need) Parse();
    }
}

// Scan data holds no marker but restarts and FF 00 (a stuffed FF): what matters is the next FF.
const unsigned char* PictureEndScanner::ScanEntropy(const unsigned char* at, const unsigned char* end)
{
    const void* mark = std::memchr(at, 0xFF, size_t(end - at));
    if (!mark) return end;
    Expect(Step::EntropyMarker, 1);
    return static_cast<const unsigned char*>(mark) + 1;
}

void PictureEndScanner::Parse()
{
    const unsigned char* const f = m_field.data();
    switch (m_step) {
    case Step::Marker:
        if (f[0] == 0xFF)
            Expect(Step::MarkerCode, 1);
        else
            m_step = Step::Broken;
        break;
    case Step::MarkerCode:
        ParseJpegMarker(f[0]);
        break;
    case Step::SegmentLength: {
        const quint32 length = BigEndian(f, 2);
        if (length < 2)
            m_step = Step::Broken;
        else
            Expect(m_marker == kJpegStartOfScan ? Step::Entropy : Step::Marker, 1, length - 2);
        break;
    }
    case Step::EntropyMarker:
        if (f[0] == 0x00 || (f[0] >= 0xD0 && f[0] <= 0xD7))
            Expect(Step::Entropy, 0);
        else
            ParseJpegMarker(f[0]);
        break;
    case Step::PngChunk: {
        const quint32 length = BigEndian(f, 4);
        // A chunk's length is below 2^31; then its type and data and its CRC.
        if (length > 0x7FFFFFFFu)
            m_step = Step::Broken;
        else
            Expect(std::memcmp(f + 4, "IEND", 4) == 0 ? Step::End : Step::PngChunk, 8, quint64(length) + 4);
        break;
    }
    case Step::GifScreen:
        Expect(Step::GifBlock, 1, GifColourTable(f[4]));
        break;
    case Step::GifBlock:
        ParseGifBlock(f[0]);
        break;
    case Step::GifImage:
        // The local colour table, then the LZW code size, then the data's sub-blocks.
        Expect(Step::GifSubBlock, 1, GifColourTable(f[8]) + 1);
        break;
    case Step::GifSubBlock:
        Expect(f[0] == 0 ? Step::GifBlock : Step::GifSubBlock, 1, f[0]);
        break;
    case Step::Entropy:
    case Step::End:
    case Step::Broken:
        break;
    }
}

void PictureEndScanner::ParseJpegMarker(unsigned char code)
{
    if (code == 0xFF)
        Expect(m_step, 1); // fill bytes before a marker
    else if (code == kJpegEndOfImage)
        m_step = Step::End;
    else if (IsStandaloneMarker(code))
        Expect(Step::Marker, 1);
    else {
        m_marker = code;
        Expect(Step::SegmentLength, 2);
    }
}

void PictureEndScanner::ParseGifBlock(unsigned char introducer)
{
    if (introducer == kGifExtension)
        Expect(Step::GifSubBlock, 1, 1); // after the extension's label
    else if (introducer == kGifImage)
        Expect(Step::GifImage, 9);
    else if (introducer == kGifTrailer)
        m_step = Step::End;
    else
        m_step = Step::Broken;
}
