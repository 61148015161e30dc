#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "download/ExportList.h"

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

int RunExportCommand(const CliArgs& args)
{
    const QString address = args.positional.front();
    CCliSession session(args, address);
    if (!session.CookiesImported()) return EXIT_ERROR;
    const int listed = RunGetAlbums(session, args, address);
    if (listed != EXIT_DONE) return listed;
    if (session.Interrupted()) return EXIT_DONE;

    CLumarexCore& core = session.Core();
    const std::optional<std::vector<int>> selection = ParseSelection(args.albums, core.m_pAlbumList->Count());
    if (!selection)
        return UsageError(
            u"--albums %1 does not fit the %2 albums listed"_s.arg(args.albums).arg(core.m_pAlbumList->Count()));
    const QString saveDir = ChooseSaveDir(session, args);
    const QString output = args.output.isEmpty() ? u"-"_s : args.output;
    bool written = false;
    core.m_nDownState = DOWN_RUNNING;
    session.RunInterruptible([&] { written = ExportDownList(core, saveDir, *selection, output, ExportFormat::Aria2); },
                             [&] { core.RequestDownloadStop(); });
    return written ? EXIT_DONE : EXIT_ERROR;
}
