// A ".lst" download list of any bytes, GBK or UTF-8.
#include "FuzzFile.h"
#include "download/ImportList.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = WriteFuzzFile(QStringLiteral("list.lst"), data, size);
    for (const QString& url : ReadDownList(path))
        if (url.isEmpty() || url.contains(u'\n')) std::abort();
    return 0;
}
