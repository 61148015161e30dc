// Bodies given as pictures: the signature reader and the end scanner, which must come to the
// same verdict whatever pieces the body arrives in.
#include "MyCode/PictureEnd.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    // The first byte is the size of the pieces, the rest the body.
    const qsizetype piece = data[0] % 64 + 1;
    const QByteArrayView body(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    PictureEndScanner whole;
    whole.Feed(body);
    whole.Finish();
    PictureEndScanner pieces;
    for (qsizetype at = 0; at < body.size(); at += piece)
        pieces.Feed(body.sliced(at, std::min(piece, body.size() - at)));
    pieces.Finish();
    if (whole.Format() != PictureFormatOf(body) || pieces.Format() != whole.Format() ||
        pieces.HoldsEnd() != whole.HoldsEnd())
        std::abort();
    return 0;
}
