#include "cli/CliSession.h"
#include "cli/Commands.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
const char kAbout[] = "talvoria-cli: download whole photo albums in bulk (the command-line twin of talvoria)\n\n"
                      "Usage: talvoria-cli [global options] COMMAND [arguments]\n";

const char kFooter[] = R"(
  K is a family index (0-14) or short name; without --service the family is recognised from
  the address (QQ Zone when nothing matches).

With --json, download and fetch end by printing one JSON object on stdout: the run's declared
(null where a service shows no count), listed, saved, failed, skipped, not_tried, total
(= listed), seconds and stopped, and "albums", one object per album with its number, name,
folder, the same counts, listing_error (the cause, or null), short, and failures as objects
with name and reason; listed = saved + failed + skipped + not_tried. Nothing is printed when
the download did not start (no album listed, bad address).

Text taken from a service's pages (album names, messages, failure reasons) is printed with its
control characters shown as \xHH and bidirectional controls and broken UTF-16 as \uHHHH; the
JSON output writes them as JSON escapes. Folder and file names never hold them.

Ctrl-C (SIGINT), SIGTERM and SIGHUP request a stop as the window's buttons do (during the
listing of download, no album is downloaded then); the run's summary, --json object and cookies
are still written. A second signal ends at once.

After each album and at the end, the pictures shown, listed, saved, failed (each with its
reason), skipped (already in the folder) and not tried (after a stop) are counted; an album
whose listing failed is named with its cause, and the end lists the albums that failed or came
up short (up to ten). Running the same download again (or with --retry-failed) fetches only
what is missing: the history mark moves only when every picture of the album was saved.

Exit status: 0 the run completed, 1 it ended on an error message (empty address, bad save
path), 2 usage error (also: files on a folder that does not exist), 3 get-albums found no
album, 4 the run completed but an album's listing failed (a request, or its folder could not
be made) or a listed picture was not saved, or files check found a bad file, 128+N
a signal stopped the run (130 Ctrl-C, 143 SIGTERM, 129 SIGHUP).
)";

QString Indented(const char* text, const QString& indent)
{
    QString out;
    for (const QString& line : QString::fromUtf8(text).split(u'\n'))
        out += indent + line + u'\n';
    return out;
}

QString HelpText()
{
    QString text = QString::fromUtf8(kAbout) + u"\nCommands:\n"_s;
    for (const CliCommand& command : CliCommands())
        text += u"  "_s + QLatin1String(command.synopsis) + u'\n' + Indented(command.description, u"      "_s);
    text += u"\nGlobal options:\n"_s;
    for (const CliOption& option : CliOptions()) {
        if (!option.global) continue;
        QString names;
        for (const QString& name : QString::fromLatin1(option.names).split(u','))
            names += (names.isEmpty() ? u""_s : u", "_s) + (name.size() == 1 ? u"-"_s : u"--"_s) + name;
        if (*option.valueName) names += u' ' + QLatin1String(option.valueName);
        text += u"  %1 %2\n"_s.arg(names, -17).arg(QLatin1String(option.description));
    }
    return text + QString::fromUtf8(kFooter);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::optional<CliArgs> args = ParseCliArgs(QCoreApplication::arguments().mid(1));
    if (!args) return EXIT_USAGE;
    if (args->help) {
        std::fputs(HelpText().toUtf8().constData(), stdout);
        return EXIT_DONE;
    }
    if (args->version) {
        std::puts("talvoria-cli " TALVORIA_VERSION);
        return EXIT_DONE;
    }
    const int status = args->command->run(*args);
    // A stopped run ends the program as the signal would have, so that "download ... && next"
    // does not go on; the command still printed its summary and saved the cookies.
    if (const int signal = CCliSession::StopSignal()) return 128 + signal;
    return status;
}
