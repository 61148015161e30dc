#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "download/ExportList.h"

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

int RunExportCommand(const CliArgs& args)
{
    CCliSession session(args, args.positional.front());
    if (!session.CookiesImported()) return EXIT_ERROR;
    std::vector<int> selection;
    if (const std::optional<int> ended = ListAndSelect(session, args, selection)) return *ended;

    CLumarexCore& core = session.Core();
    const QString saveDir = ChooseSaveDir(session, args);
    const QString output = args.output.isEmpty() ? u"-"_s : args.output;
    bool written = false;
    core.m_nDownState = DOWN_RUNNING;
    session.RunInterruptible([&] { written = ExportDownList(core, saveDir, selection, output, ExportFormat::Aria2); },
                             [&] { core.RequestDownloadStop(); });
    return written ? EXIT_DONE : EXIT_ERROR;
}
