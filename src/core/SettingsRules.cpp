#include "core/SettingsRules.h"

using namespace Qt::StringLiterals;

std::optional<SettingFault> CheckDownParam(int threads, int timeout, int minKB, int maxKB)
{
    const QString top = QString::number(kFieldMax);
    if (threads < 1 || threads > kMaxThreads) return SettingFault{DownField::Threads, u"1~%1"_s.arg(kMaxThreads)};
    if (timeout < kMinTimeout || timeout > kFieldMax)
        return SettingFault{DownField::Timeout, u"%1~%2"_s.arg(kMinTimeout).arg(top)};
    if (minKB < 0 || minKB > kFieldMax) return SettingFault{DownField::MinKB, u"0~"_s + top};
    if (maxKB != 0 && (maxKB < minKB || maxKB > kFieldMax))
        return SettingFault{DownField::MaxKB, u"0（不限）或 %1~%2"_s.arg(std::max(minKB, 1)).arg(top)};
    return std::nullopt;
}

bool StoreDownParam(ST_DOWNPARAM& slot, int threads, int timeout, int minKB, int maxKB)
{
    if (CheckDownParam(threads, timeout, minKB, maxKB)) return false;
    slot.nThreads = std::uint16_t(threads);
    slot.nTimeout = std::uint16_t(timeout);
    slot.nMinKB = std::uint16_t(minKB);
    slot.nMaxKB = std::uint16_t(maxKB);
    return true;
}
