#include "core/SoftData.h"

#include "MyCode/AtomicFile.h"

#include <QFile>

#include <algorithm>
#include <cstring>

QString FieldText(const char16_t* field, int units)
{
    int length = 0;
    while (length < units && field[length] != 0)
        ++length;
    return QString(reinterpret_cast<const QChar*>(field), length);
}

void SetFieldText(char16_t* field, int units, const QString& text)
{
    const int length = std::min<int>(int(text.size()), units - 1);
    std::fill(field, field + units, char16_t(0));
    std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), length, field);
}

void LoadSoftData(ST_SOFTDATA& soft, const QString& path)
{
    std::memset(&soft, 0, sizeof soft);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) file.read(reinterpret_cast<char*>(&soft), sizeof soft);
    for (ST_DOWNPARAM& slot : soft.down) {
        if (slot.nThreads == 0 || slot.nThreads > kMaxThreads) slot.nThreads = kDefaultThreads;
        if (slot.nTimeout < kMinTimeout) slot.nTimeout = kDefaultTimeout;
    }
    SaveSoftData(soft, path);
}

bool SaveSoftData(const ST_SOFTDATA& soft, const QString& path)
{
    // Written beside the old file and renamed over it, so a crash never leaves it torn; the
    // history in it is the user's own business.
    return WritePrivateFile(path, reinterpret_cast<const char*>(&soft), sizeof soft);
}

namespace {
char16_t (*HistoryEntries(ST_SOFTDATA& soft, History which))[kHistoryEntryUnits]
{
    return which == History::Address ? soft.szAddressHistory : soft.szSavePathHistory;
}
} // namespace

QString HistoryEntry(const ST_SOFTDATA& soft, History which, int index)
{
    const auto& entries = which == History::Address ? soft.szAddressHistory : soft.szSavePathHistory;
    return FieldText(entries[index]);
}

bool MruAdd(History which, ST_SOFTDATA& soft, const QString& text)
{
    if (text.size() >= kHistoryEntryUnits) return false;
    auto entries = HistoryEntries(soft, which);
    for (int i = 0; i < kHistoryEntries; ++i)
        if (FieldText(entries[i]).compare(text, Qt::CaseInsensitive) == 0) return false;
    std::memmove(entries[1], entries[0], sizeof(entries[0]) * (kHistoryEntries - 1));
    SetFieldText(entries[0], text);
    return true;
}
