#include "cli/CliSession.h"
#include "cli/Commands.h"
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

enum class Assigned { Ok, BadValue, UnknownField };

// One FIELD=VALUE onto copies of the two records; numbers are checked as the dialogs check them.
Assigned Assign(const QString& assignment, int (&numbers)[4], ST_NAMESET& names)
{
    const qsizetype equals = assignment.indexOf(u'=');
    if (equals <= 0) return Assigned::UnknownField;
    const QString field = assignment.left(equals);
    const QString value = assignment.mid(equals + 1);
    for (const auto& [name, member] : kTextFields) {
        if (field != QLatin1String(name)) continue;
        StoreNameText(names.*member, value);
        return Assigned::Ok;
    }
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    const char* numberFields[] = {"nThreads", "nTimeout", "nMinKB", "nMaxKB"};
    for (int i = 0; i < 4; ++i) {
        if (field != QLatin1String(numberFields[i])) continue;
        numbers[i] = number;
        return isNumber ? Assigned::Ok : Assigned::BadValue;
    }
    const struct {
        const char* name;
        std::uint8_t ST_NAMESET::*member;
        int max;
    } choices[] = {{"nNameSource", &ST_NAMESET::nNameSource, 2},
                   {"nDirSource", &ST_NAMESET::nDirSource, 1},
                   {"nOptions", &ST_NAMESET::nOptions, 255}};
    for (const auto& choice : choices) {
        if (field != QLatin1String(choice.name)) continue;
        if (!isNumber || number < 0 || number > choice.max) return Assigned::BadValue;
        names.*(choice.member) = std::uint8_t(number);
        return Assigned::Ok;
    }
    return Assigned::UnknownField;
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
            if (result == Assigned::UnknownField) return UsageError(u"unknown setting '%1'"_s.arg(assignment));
            if (result == Assigned::BadValue || !StoreDownParam(down, numbers[0], numbers[1], numbers[2], numbers[3])) {
                session.FrontEnd().ShowMessage(u"参数错误"_s);
                return EXIT_ERROR;
            }
        }
        core.EditSoft([&](ST_SOFTDATA& soft) {
            soft.down[kind] = down;
            soft.names[kind] = names;
        });
    }
    PrintSettings(down, names);
    return EXIT_DONE;
}
