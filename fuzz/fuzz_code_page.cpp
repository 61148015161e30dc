// Code-page conversion both ways for every code page the services use.
#include "MyCode/CodePageConverter.h"
#include "MyCode/StringCtrl.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto* bytes = reinterpret_cast<const char*>(data);
    const QString wide(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    for (const int codePage : {CP_GBK, CP_BIG5, CP_EUC_KR, CP_UTF8}) {
        const QString decoded = CStringCtrl::MultiToWide(bytes, codePage, qsizetype(size));
        if (decoded.contains(QChar(0))) std::abort();
        const QByteArray encoded = CStringCtrl::WideToMulti(wide, codePage);
        // What a code page encodes, it decodes to the same text ("?" stands for the rest).
        const QByteArray again = CStringCtrl::WideToMulti(CodePageConverter::Decode(encoded, codePage), codePage);
        if (codePage != CP_UTF8 && again != encoded) std::abort();
    }
    CStringCtrl::IsUtf8(bytes, qint64(size));
    return 0;
}
