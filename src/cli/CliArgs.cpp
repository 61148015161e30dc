#include "cli/CliArgs.h"

#include "cli/CliSession.h"
#include "cli/Commands.h"

#include <QCommandLineParser>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
// Adding an option is one row here (and its field in CliArgs); a command names the non-global
// options it takes in its own row.
const CliOption kOptions[] = {
    {"app-dir", "DIR",
     "application folder (soft.dat, cookies.txt); default $TALVORIA_HOME,\n                    else "
     "~/.local/share/talvoria",
     &CliArgs::appDir, nullptr, true},
    {"cookies", "FILE", "import a browser-exported Netscape cookies.txt into the shared store first", &CliArgs::cookies,
     nullptr, true},
    {"yes", "", "answer every yes/no question with yes", nullptr, &CliArgs::yes, true},
    {"no", "", "answer every yes/no question with no (default: ask on the terminal, else no)", nullptr, &CliArgs::no,
     true},
    {"q,quiet", "", "print only errors", nullptr, &CliArgs::quiet, true},
    {"v,verbose", "", "also print each request's address and HTTP status", nullptr, &CliArgs::verbose, true},
    {"h,help", "", "this text", nullptr, &CliArgs::help, true},
    {"version", "", "the program's version", nullptr, &CliArgs::version, true},
    {"service", "K", "", &CliArgs::service, nullptr, false},
    {"albums", "SEL", "", &CliArgs::albums, nullptr, false},
    {"save-dir", "DIR", "", &CliArgs::saveDir, nullptr, false},
    {"json", "", "", nullptr, &CliArgs::json, false},
    {"o,output", "FILE", "", &CliArgs::output, nullptr, false},
    {"retry-failed", "FILE", "", &CliArgs::retryFailed, nullptr, false},
};

QStringList NamesOf(const CliOption& option)
{
    return QString::fromLatin1(option.names).split(u',');
}

QString LongName(const CliOption& option)
{
    return NamesOf(option).back();
}

const CliOption* OptionNamed(const QString& name)
{
    for (const CliOption& option : kOptions)
        if (NamesOf(option).contains(name)) return &option;
    return nullptr;
}

bool Takes(const CliCommand& command, const CliOption& option)
{
    return option.global || QString::fromLatin1(command.options).split(u' ').contains(LongName(option));
}
} // namespace

std::span<const CliOption> CliOptions()
{
    return kOptions;
}

int UsageError(const QString& what)
{
    std::fprintf(stderr, "talvoria-cli: %s. Try 'talvoria-cli --help' for more information.\n", qPrintable(what));
    return EXIT_USAGE;
}

std::optional<CliArgs> ParseCliArgs(const QStringList& words)
{
    QCommandLineParser parser;
    for (const CliOption& option : kOptions)
        parser.addOption(QCommandLineOption(NamesOf(option), {}, QString::fromLatin1(option.valueName)));
    if (!parser.parse(QStringList{u"talvoria-cli"_s} + words)) {
        QString what = parser.errorText().remove(u'.');
        UsageError(what.left(1).toLower() + what.mid(1));
        return std::nullopt;
    }
    CliArgs args;
    for (const CliOption& option : kOptions) {
        const QString name = LongName(option);
        if (option.text) args.*option.text = parser.value(name);
        if (option.flag) args.*option.flag = parser.isSet(name);
    }
    if (args.help || args.version) return args;

    args.positional = parser.positionalArguments();
    if (args.positional.isEmpty()) {
        UsageError(u"no command given"_s);
        return std::nullopt;
    }
    const QString name = args.positional.takeFirst();
    for (const CliCommand& command : CliCommands())
        if (name == QLatin1String(command.name)) args.command = &command;
    if (!args.command) {
        UsageError(u"unknown command '%1'"_s.arg(name));
        return std::nullopt;
    }
    for (const QString& used : parser.optionNames()) {
        const CliOption* option = OptionNamed(used);
        if (option && !Takes(*args.command, *option)) {
            UsageError(u"%1 does not take --%2"_s.arg(name, LongName(*option)));
            return std::nullopt;
        }
    }
    const qsizetype count = args.positional.size();
    if (count < args.command->minArguments || (args.command->maxArguments >= 0 && count > args.command->maxArguments)) {
        UsageError(u"usage: talvoria-cli %1"_s.arg(QLatin1String(args.command->synopsis)));
        return std::nullopt;
    }
    if (args.yes && args.no) {
        UsageError(u"--yes and --no exclude each other"_s);
        return std::nullopt;
    }
    if (args.quiet && args.verbose) {
        UsageError(u"--quiet and --verbose exclude each other"_s);
        return std::nullopt;
    }
    return args;
}
