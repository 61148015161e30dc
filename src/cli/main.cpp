#include "cli/CliSession.h"
#include "cli/Commands.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {
const CliCommand kCommands[] = {
    {"services", "services", RunServicesCommand},
    {"albums", "albums ADDRESS [--service K] [--json]", RunAlbumsCommand},
    {"download", "download ADDRESS [--service K] [--albums SEL] [--save-dir DIR]", RunDownloadCommand},
    {"fetch", "fetch LIST [--service K] [--save-dir DIR]", RunFetchCommand},
    {"export", "export ADDRESS [--service K] [--albums SEL] [--save-dir DIR] [-o FILE]", RunExportCommand},
    {"settings", "settings [--service K] [FIELD=VALUE ...]", RunSettingsCommand},
};

const char kHelp[] = R"(talvoria-cli: download whole photo albums in bulk (the command-line twin of talvoria)

Usage: talvoria-cli [global options] COMMAND [arguments]

Commands:
  services
      One line per service family: index, short name, list text (tab-separated).
  albums ADDRESS [--service K] [--json]
      Gets the album list of an owner's page address or account number. One line per album:
      number (%04d), name, picture count, privacy (tab-separated); with --json one JSON array of
      objects with number, name, id, cover, count (-1 when unknown) and privacy.
  download ADDRESS [--service K] [--albums SEL] [--save-dir DIR]
      Gets the album list, then downloads the selected albums. SEL is "all" (default) or 1-based
      numbers and ranges such as 1,3-5, taken in list order, each once. DIR defaults to the
      newest save path used, else ~/Pictures/Talvoria/. Pictures go to DIR/owner/album/.
  fetch LIST [--service K] [--save-dir DIR]
      Downloads every address of a download list file (GBK or UTF-8, one per line) with the
      download settings of service K. A plain .lst album is named after the file and each
      picture after its address; an export's "out=" paths (kept inside DIR) and "header=" lines
      are followed.
  export ADDRESS [--service K] [--albums SEL] [--save-dir DIR] [-o FILE]
      Gets the album list and lists the selected albums' pictures without downloading them, into
      one aria2 input file (UTF-8; default: standard output): each address, then indented
      "out=owner/album/name" (the path under DIR a download would write) and "header=" lines.
      "aria2c -d DIR -i FILE" or "fetch FILE --save-dir DIR" then fill the same tree.
  settings [--service K] [FIELD=VALUE ...]
      Prints the download parameters, naming settings and options of service K; assignments are
      checked as the settings dialogs check them and saved. Fields: nThreads (1-15),
      nTimeout (s, >=10), nMinKB, nMaxKB, szPrefix, szSuffix, szReplaceFrom, szReplaceTo,
      szDirPrefix, szDirSuffix (38 characters at most), nNameSource (0 description,
      1 sequence number, 2 address), nDirSource (0 album name, 1 none), nOptions (bits: 1 fix
      formats, 2 fix order, 4 name file, 8 list only, 16 open folder, 32 Taobao main pictures,
      64 skip pictures downloaded before).

  K is a family index (0-14) or short name; without --service the family is recognised from
  the address (QQ Zone when nothing matches).

Global options:
  --app-dir DIR    application folder (soft.dat, cookies.txt); default $TALVORIA_HOME, else
                   ~/.local/share/talvoria
  --cookies FILE   import a browser-exported Netscape cookies.txt into the shared store first
  --yes, --no      answer every yes/no question; default: ask on the terminal, else no
  --help           this text

Text taken from a service's pages (album names, messages, failure reasons) is printed with its
control characters shown as \xHH and bidirectional controls and broken UTF-16 as \uHHHH; the
JSON output writes them as JSON escapes. Folder and file names never hold them.

Ctrl-C requests a stop as the window's buttons do (during the listing of download, no album is
downloaded then); a second Ctrl-C ends at once.

After each album and at the end, the pictures saved, failed (each with its reason) and skipped
(already in the folder) are counted. Running the same download again fetches only what is
missing: the history mark moves only when every picture of the album was saved.

Exit status: 0 the run completed, 1 it ended on an error message (empty address, bad save
path), 2 usage error, 3 get-albums found no album, 4 the run completed but a listed picture
was not saved.
)";

int Usage()
{
    std::fputs(kHelp, stderr);
    return EXIT_USAGE;
}
} // namespace

std::span<const CliCommand> CliCommands()
{
    return kCommands;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::optional<CliArgs> args = ParseCliArgs(QCoreApplication::arguments().mid(1));
    if (!args) return Usage();
    if (args->help) {
        std::fputs(kHelp, stdout);
        return EXIT_DONE;
    }
    for (const CliCommand& command : CliCommands()) {
        if (args->command != QLatin1String(command.name)) continue;
        const int status = command.run(*args);
        if (status == EXIT_USAGE) std::fprintf(stderr, "usage: talvoria-cli %s\n", command.synopsis);
        return status;
    }
    return Usage();
}
