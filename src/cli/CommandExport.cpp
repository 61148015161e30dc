#include "cli/CliSession.h"
#include "cli/Commands.h"

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

int RunExportCommand(const CliArgs& args)
{
    CCliSession session(args);
    if (!session.CookiesImported()) return EXIT_ERROR;
    std::vector<int> selection;
    if (const std::optional<int> ended = ListAndSelect(session, args, selection)) return *ended;

    const QString output = args.output.isEmpty() ? u"-"_s : args.output;
    session.Runs().OnExport(ChooseSaveDir(session, args), selection, output, ExportFormat::Aria2);
    return session.WaitForRun() ? EXIT_DONE : EXIT_ERROR;
}
