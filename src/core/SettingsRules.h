#pragma once

#include "core/SoftData.h"

#include <QString>

#include <optional>

// The rules the settings dialogs and the command line share: a value that cannot work is refused
// with the field and the range it must lie in, and nothing is stored.

enum class DownField { Threads, Timeout, MinKB, MaxKB };

// The largest value a 16-bit field keeps; a larger one would be stored as another value (a
// time-out of 65536 as 0).
constexpr int kFieldMax = 0xFFFF;
// The option bits a menu command can set; the top bit has no meaning.
constexpr int kKnownOptions = 0x7F;

struct SettingFault {
    DownField field;
    // What the field's value must be, as the user reads it: "1~15", "0（不限）或 100~65535".
    QString range;
};

// The first of the four values that cannot work, if any: a thread count of 1 to 15, a time-out
// of 10 s or more, sizes within their field, and a maximum (when set) not below the minimum,
// since every picture would fail the two limits.
std::optional<SettingFault> CheckDownParam(int threads, int timeout, int minKB, int maxKB);

// Stores the four values when CheckDownParam finds no fault.
bool StoreDownParam(ST_DOWNPARAM& slot, int threads, int timeout, int minKB, int maxKB);

// Naming texts keep at most kNameFieldMaxChars characters: a longer one is refused rather than cut.
inline bool FitsNameField(const QString& text)
{
    return text.size() <= kNameFieldMaxChars;
}
