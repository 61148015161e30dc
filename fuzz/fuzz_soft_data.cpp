// soft.dat as any file of any length: loading normalises it and every text field reads.
#include "FuzzFile.h"
#include "core/SoftData.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = WriteFuzzFile(QStringLiteral("soft.dat"), data, size);
    ST_SOFTDATA soft;
    LoadSoftData(soft, path);
    for (const ST_DOWNPARAM& slot : soft.down)
        if (slot.nThreads < 1 || slot.nThreads > kMaxThreads || slot.nTimeout < kMinTimeout) std::abort();
    for (const ST_NAMESET& names : soft.names)
        for (const char16_t* field : {names.szPrefix, names.szSuffix, names.szReplaceFrom, names.szReplaceTo,
                                      names.szDirPrefix, names.szDirSuffix})
            if (FieldText(field, kNameFieldUnits).size() > kNameFieldUnits) std::abort();
    for (const History which : {History::Address, History::SavePath})
        for (int i = 0; i < kHistoryEntries; ++i)
            if (HistoryEntry(soft, which, i).size() > kHistoryEntryUnits) std::abort();
    MruAdd(History::Address, soft, QStringLiteral("http://user.qzone.qq.com/12345"));
    return 0;
}
