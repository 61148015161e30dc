#include "cli/CliArgs.h"

#include <cstdio>

using namespace Qt::StringLiterals;

std::optional<CliArgs> ParseCliArgs(const QStringList& words)
{
    CliArgs args;
    const std::pair<const char*, QString CliArgs::*> valued[] = {
        {"--app-dir", &CliArgs::appDir}, {"--cookies", &CliArgs::cookies},  {"--service", &CliArgs::service},
        {"--albums", &CliArgs::albums},  {"--save-dir", &CliArgs::saveDir}, {"--output", &CliArgs::output},
        {"-o", &CliArgs::output},
    };
    const std::pair<const char*, bool CliArgs::*> flags[] = {
        {"--yes", &CliArgs::yes},   {"--no", &CliArgs::no}, {"--json", &CliArgs::json},
        {"--help", &CliArgs::help}, {"-h", &CliArgs::help},
    };
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        bool known = false;
        for (const auto& [name, field] : valued) {
            const QString option = QLatin1String(name);
            if (word == option || word.startsWith(option + u'=')) {
                if (word == option && i + 1 >= words.size()) {
                    std::fprintf(stderr, "talvoria-cli: %s needs a value\n", name);
                    return std::nullopt;
                }
                args.*field = word == option ? words[++i] : word.mid(option.size() + 1);
                known = true;
            }
        }
        for (const auto& [name, field] : flags)
            if (word == QLatin1String(name)) args.*field = known = true;
        if (known) continue;
        if (word.startsWith(u"--"_s)) {
            std::fprintf(stderr, "talvoria-cli: unknown option %s\n", qPrintable(word));
            return std::nullopt;
        }
        if (args.command.isEmpty())
            args.command = word;
        else
            args.positional << word;
    }
    if (args.yes && args.no) {
        std::fprintf(stderr, "talvoria-cli: --yes and --no exclude each other\n");
        return std::nullopt;
    }
    return args;
}
