// The text toolkit's cutting and unescaping over arbitrary pages and marks.
#include "MyCode/StringCtrl.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace {
QString TakeText(FuzzedDataProvider& input, size_t maxBytes)
{
    return QString::fromUtf8(input.ConsumeRandomLengthString(maxBytes));
}

void Check(bool condition)
{
    if (!condition) std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString start = TakeText(input, 16);
    const QString end = TakeText(input, 16);
    const int flags = input.ConsumeIntegralInRange(0, 3);
    const QString page = QString::fromUtf8(input.ConsumeRemainingBytesAsString());

    QString walk = page;
    for (int i = 0; i < 64 && !CStringCtrl::Between(walk, start, end, flags | CStringCtrl::kAdvance).isEmpty(); ++i) {
    }
    QString text = page;
    const qsizetype skipped = CStringCtrl::SkipTo(text, start, flags & 1);
    Check(skipped < 0 ? text == page : page.endsWith(text));
    text = page;
    const qsizetype cut = CStringCtrl::CutAt(text, end);
    Check(cut < 0 ? text == page : text.size() == cut);
    Check(page.startsWith(CStringCtrl::LeftOf(page, start)));

    QStringList pieces;
    const qsizetype n = CStringCtrl::Split(pieces, page, start);
    Check(n == CStringCtrl::Count(page, start));
    Check(n == 0 ? pieces.isEmpty() : pieces.size() == n + 1 && pieces.join(start) == page);

    CStringCtrl::StripTags(page);
    QString decoded = page;
    CStringCtrl::DecodeEntities(decoded);
    CStringCtrl::UnescapeUnicode(page);
    CStringCtrl::UrlDecodeUtf8(page);
    QString replaced = page;
    CStringCtrl::ReplaceList(replaced, start, end);

    const QString enciphered = CStringCtrl::Cipher(page, true, end);
    CStringCtrl::Cipher(enciphered, false, end);
    CStringCtrl::Cipher(page, false, start);
    return 0;
}
