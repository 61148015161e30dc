#pragma once

#include "MyCode/PictureFormat.h"

#include <QByteArrayView>

#include <array>

// Follows a picture's body piece by piece as it arrives, in constant memory, to tell whether the
// end of its format came: when a server states no length and just closes, only the picture's own
// structure shows that it was cut short.
class PictureEndScanner {
public:
    void Feed(QByteArrayView piece);
    // The body is over: one shorter than kPictureHeadBytes gets its format now.
    void Finish();
    // None until kPictureHeadBytes arrived or Finish was called, and for what is no picture.
    PictureFormat Format() const { return m_format; }
    // The bytes fed reach their format's end (JPEG's end marker after its last scan, PNG's IEND
    // chunk, GIF's trailer; whatever follows it does not count) or the size a BMP or WebP states.
    // True for the formats that show neither.
    bool HoldsEnd() const;

private:
    enum class Step {
        Marker,
        MarkerCode,
        SegmentLength,
        Entropy,
        EntropyMarker,
        PngChunk,
        GifScreen,
        GifBlock,
        GifImage,
        GifSubBlock,
        End,
        Broken
    };
    // The next step reads need bytes, after skip bytes that nothing looks at.
    void Expect(Step step, qsizetype need, quint64 skip = 0);
    void Decide();
    void Walk(const unsigned char* at, const unsigned char* end);
    const unsigned char* ScanEntropy(const unsigned char* at, const unsigned char* end);
    void Parse();
    void ParseJpegMarker(unsigned char code);
    void ParseGifBlock(unsigned char introducer);

    bool m_decided = false;
    PictureFormat m_format = PictureFormat::None;
    std::array<unsigned char, kPictureHeadBytes> m_head{};
    qsizetype m_headSize = 0;
    quint64 m_fed = 0;
    quint64 m_statedSize = 0;

    Step m_step = Step::Broken;
    quint64 m_skip = 0;
    std::array<unsigned char, 9> m_field{}; // the longest: a GIF image descriptor after its introducer
    qsizetype m_need = 0;
    qsizetype m_have = 0;
    unsigned char m_marker = 0; // the JPEG segment whose length is read
};
