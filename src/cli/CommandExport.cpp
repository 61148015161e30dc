#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "download/ExportList.h"

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
// The albums of --albums, as the download command reads them.
std::optional<std::vector<int>> ExportSelection(const QString& text, int albumCount)
{
    std::vector<int> albums;
    if (text.isEmpty() || text == u"all"_s) {
        for (int i = 0; i < albumCount; ++i)
            albums.push_back(i);
        return albums;
    }
    for (const QString& part : text.split(u',')) {
        const QStringList bounds = part.split(u'-');
        bool firstOk = false, lastOk = false;
        const int first = bounds.front().trimmed().toInt(&firstOk);
        const int last = bounds.size() == 2 ? bounds.back().trimmed().toInt(&lastOk) : first;
        if (!firstOk || (bounds.size() == 2 && !lastOk) || bounds.size() > 2 || first < 1 || last < first ||
            last > albumCount)
            return std::nullopt;
        for (int number = first; number <= last; ++number)
            albums.push_back(number - 1);
    }
    std::sort(albums.begin(), albums.end());
    albums.erase(std::unique(albums.begin(), albums.end()), albums.end());
    return albums;
}
} // namespace

int RunExportCommand(const CliArgs& args)
{
    if (args.positional.size() != 1) return EXIT_USAGE;
    const QString address = args.positional.front();
    CCliSession session(args, address);
    if (!session.CookiesImported()) return EXIT_ERROR;
    const int listed = RunGetAlbums(session, args, address);
    if (listed != EXIT_DONE) return listed;
    if (session.Interrupted()) return EXIT_DONE;

    CLumarexCore& core = session.Core();
    const std::optional<std::vector<int>> selection = ExportSelection(args.albums, core.m_pAlbumList->Count());
    if (!selection) {
        std::fprintf(stderr, "talvoria-cli: --albums %s does not fit the %d albums listed\n", qPrintable(args.albums),
                     core.m_pAlbumList->Count());
        return EXIT_USAGE;
    }
    const QString saveDir = ChooseSaveDir(session, args);
    const QString output = args.output.isEmpty() ? u"-"_s : args.output;
    bool written = false;
    core.m_nDownState = DOWN_RUNNING;
    session.RunInterruptible([&] { written = ExportDownList(core, saveDir, *selection, output, ExportFormat::Aria2); },
                             [&] { core.RequestDownloadStop(); });
    return written ? EXIT_DONE : EXIT_ERROR;
}
