// Response bodies that claim to be compressed: zlib or gzip, damaged, truncated or bombs.
#include "MyCode/URLSource2.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr qsizetype kLimit = 1024 * 1024;
    QByteArray out = "kept";
    CURLSource2::Inflate(out, reinterpret_cast<const char*>(data), qsizetype(size), kLimit);
    if (!out.startsWith("kept") || out.size() > kLimit + 4) std::abort();
    return 0;
}
