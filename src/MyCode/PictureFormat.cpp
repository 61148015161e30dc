#include "MyCode/PictureFormat.h"

#include <algorithm>
#include <array>

namespace {

// A signature as bytes: a view of a literal would end at its first NUL.
template <qsizetype N> constexpr QByteArrayView Signature(const char (&bytes)[N])
{
    return {bytes, N - 1};
}

quint32 Byte(QByteArrayView head, qsizetype at)
{
    return at < head.size() ? static_cast<unsigned char>(head[at]) : 0;
}

quint32 LittleEndian32(QByteArrayView head, qsizetype at)
{
    return Byte(head, at) | Byte(head, at + 1) << 8 | Byte(head, at + 2) << 16 | Byte(head, at + 3) << 24;
}

quint32 BigEndian32(QByteArrayView head, qsizetype at)
{
    return Byte(head, at) << 24 | Byte(head, at + 1) << 16 | Byte(head, at + 2) << 8 | Byte(head, at + 3);
}

bool IsBmp(QByteArrayView head)
{
    // "BM" alone starts many a text: the size of the header after the file header must be one
    // that a BMP has.
    static constexpr std::array<quint32, 8> kInfoSizes{12, 16, 40, 52, 56, 64, 108, 124};
    return head.startsWith("BM") && std::ranges::count(kInfoSizes, LittleEndian32(head, 14)) > 0;
}

bool IsIcoOrCur(QByteArrayView head)
{
    return head.size() >= 6 && Byte(head, 0) == 0 && Byte(head, 1) == 0 && (Byte(head, 2) == 1 || Byte(head, 2) == 2) &&
           Byte(head, 3) == 0 && (Byte(head, 4) | Byte(head, 5)) != 0;
}

// The rule by which fixing formats names a file TGA: no ID field, no colour map, image type 02
// or 10 (hex), the colour map's first entry 0.
bool IsTga(QByteArrayView head)
{
    return head.size() >= 5 && Byte(head, 0) == 0 && Byte(head, 1) == 0 &&
           (Byte(head, 2) == 0x02 || Byte(head, 2) == 0x10) && Byte(head, 3) == 0 && Byte(head, 4) == 0;
}

// An ISO base media file whose "ftyp" box names a HEIF or AVIF brand, as its major brand or as
// one it is compatible with; an MP4 or QuickTime video names none of them.
bool IsHeif(QByteArrayView head)
{
    static constexpr std::array<QByteArrayView, 13> kBrands{"heic", "heix", "hevc", "hevx", "heim", "heis", "hevm",
                                                            "hevs", "mif1", "msf1", "mif2", "avif", "avis"};
    const quint32 boxSize = BigEndian32(head, 0);
    if (boxSize < 16 || head.size() < 12 || head.sliced(4, 4) != "ftyp") return false;
    const qsizetype end = std::min<qsizetype>(head.size(), boxSize);
    for (qsizetype at = 8; at + 4 <= end; at += at == 8 ? 8 : 4)
        if (std::ranges::count(kBrands, head.sliced(at, 4)) > 0) return true;
    return false;
}

} // namespace

PictureFormat PictureFormatOf(QByteArrayView head)
{
    head = head.first(std::min(head.size(), kPictureHeadBytes));
    if (head.startsWith("\xFF\xD8\xFF")) return PictureFormat::Jpeg;
    if (head.startsWith("\x89PNG\r\n\x1A\n")) return PictureFormat::Png;
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) return PictureFormat::Gif;
    if (IsBmp(head)) return PictureFormat::Bmp;
    if (head.startsWith("RIFF") && head.size() >= 12 && head.sliced(8, 4) == "WEBP") return PictureFormat::WebP;
    // Classic TIFF (42) and BigTIFF (43), in either byte order.
    for (const QByteArrayView tiff : {Signature("II*\0"), Signature("MM\0*"), Signature("II+\0"), Signature("MM\0+")})
        if (head.startsWith(tiff)) return PictureFormat::Tiff;
    if (IsTga(head)) return PictureFormat::Tga;
    if (IsIcoOrCur(head)) return PictureFormat::IcoCur;
    if (IsHeif(head)) return PictureFormat::Heif;
    return PictureFormat::None;
}

quint64 StatedPictureSize(PictureFormat format, QByteArrayView head)
{
    // The file header of a BMP is 14 bytes; a RIFF's size leaves out its first 8.
    if (format == PictureFormat::Bmp && head.size() >= 6 && LittleEndian32(head, 2) >= 14)
        return LittleEndian32(head, 2);
    if (format == PictureFormat::WebP && head.size() >= 8) return quint64(LittleEndian32(head, 4)) + 8;
    return 0;
}
