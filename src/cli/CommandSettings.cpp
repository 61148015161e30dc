#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "core/SettingsRules.h"
#include "run/Services.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
using TextField = char16_t (ST_NAMESET::*)[kNameFieldUnits];

const std::pair<const char*, TextField> kTextFields[] = {
    {"szPrefix", &ST_NAMESET::szPrefix},           {"szSuffix", &ST_NAMESET::szSuffix},
    {"szReplaceFrom", &ST_NAMESET::szReplaceFrom}, {"szReplaceTo", &ST_NAMESET::szReplaceTo},
    {"szDirPrefix", &ST_NAMESET::szDirPrefix},     {"szDirSuffix", &ST_NAMESET::szDirSuffix},
};

void PrintSettings(const ST_DOWNPARAM& down, const ST_NAMESET& names)
{
    std::printf("nThreads=%u\nnTimeout=%u\nnMinKB=%u\nnMaxKB=%u\n", down.nThreads, down.nTimeout, down.nMinKB,
                down.nMaxKB);
    for (const auto& [name, field] : kTextFields)
        std::printf("%s=%s\n", name, FieldText(names.*field).toUtf8().constData());
    std::printf("nNameSource=%u\nnDirSource=%u\nnOptions=%u\n", names.nNameSource, names.nDirSource, names.nOptions);
}

const char* const kNumberFields[] = {"nThreads", "nTimeout", "nMinKB", "nMaxKB"};

struct Assigned {
    bool known = true;
    // Why the value cannot be kept; empty when it was taken.
    QString fault;
};

// One FIELD=VALUE onto copies of the two records. The four download numbers are only collected:
// they are checked together once every assignment is in.
Assigned Assign(const QString& assignment, int (&numbers)[4], ST_NAMESET& names)
{
    const qsizetype equals = assignment.indexOf(u'=');
    if (equals <= 0) return {false, {}};
    const QString field = assignment.left(equals);
    const QString value = assignment.mid(equals + 1);
    for (const auto& [name, member] : kTextFields) {
        if (field != QLatin1String(name)) continue;
        if (!FitsNameField(value)) return {true, u"%1 最多 %2 个字符"_s.arg(field).arg(kNameFieldMaxChars)};
        StoreNameText(names.*member, value);
        return {};
    }
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    for (int i = 0; i < 4; ++i) {
        if (field != QLatin1String(kNumberFields[i])) continue;
        numbers[i] = number;
        return {true, isNumber ? QString() : u"%1 应为数字"_s.arg(field)};
    }
    const struct {
        const char* name;
        std::uint8_t ST_NAMESET::*member;
        int max;
    } choices[] = {{"nNameSource", &ST_NAMESET::nNameSource, 2},
                   {"nDirSource", &ST_NAMESET::nDirSource, 1},
                   {"nOptions", &ST_NAMESET::nOptions, kKnownOptions}};
    for (const auto& choice : choices) {
        if (field != QLatin1String(choice.name)) continue;
        if (!isNumber || number < 0 || number > choice.max) return {true, u"%1 应为 0~%2"_s.arg(field).arg(choice.max)};
        names.*(choice.member) = std::uint8_t(number);
        return {};
    }
    return {false, {}};
}

// The first fault of the four download numbers, named by its field.
QString DownParamFault(const int (&numbers)[4])
{
    const auto fault = CheckDownParam(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (!fault) return {};
    return u"%1 应为 %2"_s.arg(QLatin1String(kNumberFields[int(fault->field)]), fault->range);
}

int RefuseSetting(CCliSession& session, const QString& fault)
{
    session.FrontEnd().ShowMessage(u"参数错误："_s + fault);
    return EXIT_ERROR;
}
} // namespace

int RunSettingsCommand(const CliArgs& args)
{
    const int kind = args.service.isEmpty() ? SK_TENCENT : FindService(args.service);
    if (kind < 0) return UsageError(u"unknown service '%1' (see 'talvoria-cli services')"_s.arg(args.service));
    CCliSession session(args);
    CLumarexCore& core = session.Core();
    ST_DOWNPARAM down = core.DownParam(kind);
    ST_NAMESET names = core.NameSet(kind);
    if (!args.positional.isEmpty()) {
        int numbers[4] = {down.nThreads, down.nTimeout, down.nMinKB, down.nMaxKB};
        for (const QString& assignment : args.positional) {
            const Assigned result = Assign(assignment, numbers, names);
            if (!result.known) return UsageError(u"unknown setting '%1'"_s.arg(assignment));
            if (!result.fault.isEmpty()) return RefuseSetting(session, result.fault);
        }
        if (const QString fault = DownParamFault(numbers); !fault.isEmpty()) return RefuseSetting(session, fault);
        StoreDownParam(down, numbers[0], numbers[1], numbers[2], numbers[3]);
        const bool saved = core.EditSoft([&](ST_SOFTDATA& soft) {
            soft.down[kind] = down;
            soft.names[kind] = names;
        });
        // The values are printed only once they are kept.
        if (!saved) return EXIT_ERROR;
    }
    PrintSettings(down, names);
    return EXIT_DONE;
}
