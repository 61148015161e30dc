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
    {"sleep-request", "SECONDS", "wait at least this long between two requests to one host (e.g. 0.5)",
     &CliArgs::sleepRequest, nullptr, true},
    {"max-per-host", "N", "at most N transfers at once to one host (1-15; default: the thread count)",
     &CliArgs::maxPerHost, nullptr, true},
    {"limit-rate", "RATE", "cap all transfers together at RATE bytes a second (500K, 2M; 0: none)",
     &CliArgs::limitRate, nullptr, true},
    {"mtime", "", "give each saved picture the server's Last-Modified as its time", nullptr, &CliArgs::mtime, true},
    {"write-metadata", "", "write album.json into each album folder: the album, and per picture its address,\n"
     "                    description, size, server time and type, and what became of it",
     nullptr, &CliArgs::writeMetadata, true},
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

std::optional<CLumarexCore::ExtrasOverride> ParseRestraint(const CliArgs& args)
{
    CLumarexCore::ExtrasOverride restraint;
    bool ok = true;
    if (!args.sleepRequest.isEmpty()) {
        const double seconds = args.sleepRequest.toDouble(&ok);
        if (!ok || !(seconds >= 0) || seconds > 3600) {
            UsageError(u"--sleep-request %1 is no number of seconds from 0 to 3600"_s.arg(args.sleepRequest));
            return std::nullopt;
        }
        restraint.sleepRequestMs = int(seconds * 1000 + 0.5);
    }
    if (!args.maxPerHost.isEmpty()) {
        const int count = args.maxPerHost.toInt(&ok);
        if (!ok || count < 1 || count > 15) {
            UsageError(u"--max-per-host %1 is not from 1 to 15"_s.arg(args.maxPerHost));
            return std::nullopt;
        }
        restraint.maxPerHost = count;
    }
    if (!args.limitRate.isEmpty()) {
        // A number of bytes, or of kilo-, mega- or gigabytes (of 1024) as curl reads it.
        QString number = args.limitRate.trimmed();
        qint64 unit = 1;
        if (!number.isEmpty()) {
            const QChar last = number.back().toUpper();
            const qsizetype power = QStringLiteral("KMG").indexOf(last);
            if (power >= 0) {
                unit = qint64(1) << (10 * (power + 1));
                number.chop(1);
            }
        }
        const double value = number.toDouble(&ok);
        // A rate that rounds to no byte a second would silently mean no cap at all.
        if (!ok || !(value >= 0) || value * double(unit) > 1e15 || (value > 0 && value * double(unit) < 1)) {
            UsageError(u"--limit-rate %1 is no rate (bytes a second, or with K, M or G)"_s.arg(args.limitRate));
            return std::nullopt;
        }
        restraint.limitRate = qint64(value * double(unit));
    }
    if (args.mtime) restraint.keepServerTimes = true;
    if (args.writeMetadata) restraint.writeMetadata = true;
    return restraint;
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
    if (!ParseRestraint(args)) return std::nullopt;
    return args;
}
