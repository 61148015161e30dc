// The history mark of an album folder, of any bytes and length.
#include "FuzzFile.h"
#include "download/History.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile(QStringLiteral(".pic.zrv"), data, size);
    const QString mark = ReadHistoryMark(FuzzFolder());
    if (mark.size() > 4096 || mark.contains(u'\n')) std::abort();
    return 0;
}
