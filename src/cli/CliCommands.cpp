#include "cli/Commands.h"

namespace {
const CliCommand kCommands[] = {
    {"services", "services", "One line per service family: index, short name, list text (tab-separated).", "", 0, 0,
     RunServicesCommand},
    {"albums", "albums ADDRESS [--service K] [--json]",
     R"(Gets the album list of an owner's page address or account number. One line per album:
number (%04d), name, picture count, privacy (tab-separated); with --json one JSON array of
objects with number, name, id, cover, count (-1 when unknown) and privacy.)",
     "service json", 1, 1, RunAlbumsCommand},
    {"download", "download ADDRESS [--service K] [--albums SEL | --retry-failed FILE] [--save-dir DIR] [--json]",
     R"(Gets the album list, then downloads the selected albums. SEL is "all" (default) or 1-based
numbers and ranges such as 1,3-5, taken in list order, each once. DIR defaults to the
newest save path used, else ~/Pictures/Talvoria/. Pictures go to DIR/owner/album/.
--retry-failed FILE takes the --json summary of an earlier download and downloads again
only its albums that failed, came up short or were stopped; pictures already saved are
skipped, so only what is missing is fetched.)",
     "service albums save-dir json retry-failed", 1, 1, RunDownloadCommand},
    {"fetch", "fetch LIST [--service K] [--save-dir DIR] [--json]",
     R"(Downloads every address of a download list file (GBK or UTF-8, one per line) with the
download settings of service K. A plain .lst album is named after the file and each picture
after its address; an export's "out=" paths (kept inside DIR) and "header=" lines are followed.)",
     "service save-dir json", 1, 1, RunFetchCommand},
    {"export", "export ADDRESS [--service K] [--albums SEL] [--save-dir DIR] [-o FILE]",
     R"(Gets the album list and lists the selected albums' pictures without downloading them, into
one aria2 input file (UTF-8; default: standard output): each address, then indented
"out=owner/album/name" (the path under DIR a download would write) and "header=" lines.
"aria2c -d DIR -i FILE" or "fetch FILE --save-dir DIR" then fill the same tree.)",
     "service albums save-dir output", 1, 1, RunExportCommand},
    {"settings", "settings [--service K] [FIELD=VALUE ...]",
     R"(Prints the download parameters, naming settings and options of service K; assignments are
checked together as the settings dialogs check them and saved; a value that cannot work, or
a settings file that cannot be written, ends with status 1 and nothing printed. Fields:
nThreads (1-15), nTimeout (s, 10-65535), nMinKB (0-65535), nMaxKB (0 for no limit, else
nMinKB-65535), szPrefix, szSuffix, szReplaceFrom, szReplaceTo,
szDirPrefix, szDirSuffix (38 characters at most), nNameSource (0 description,
1 sequence number, 2 address), nDirSource (0 album name, 1 none), nOptions (bits: 1 fix
formats, 2 fix order, 4 name file, 8 list only, 16 open folder, 32 Taobao main pictures,
64 skip pictures downloaded before).)",
     "service", 0, -1, RunSettingsCommand},
    {"files", "files check|fix-ext|order|dupes DIR",
     R"(Works over the files of DIR and every folder below it, one line per file it names (path,
reason; tab-separated) and a summary on stderr. check: files that are no picture (a saved
web page, a JSON error) and JPEG, PNG or GIF pictures cut before their end; status 4 when it
finds one. fix-ext: renames files whose extension is not their content's, never over an
existing file ("name (1).png"). order: gives the pictures named in the download lists and
picture-name files under DIR the times of 修正图片顺序, newest first in list order. dupes:
lists groups of files of the same content; nothing is deleted. History marks and list files
are left alone.)",
     "", 2, 2, RunFilesCommand},
};
} // namespace

std::span<const CliCommand> CliCommands()
{
    return kCommands;
}
