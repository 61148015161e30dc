#include "cli/CliFrontEnd.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "MyCode/StringCtrl.h"
#include "run/FileToolRun.h"

#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

int RunFilesCommand(const CliArgs& args)
{
    const QString word = args.positional.at(0);
    const QString folder = args.positional.at(1);
    const std::optional<FileToolAction> action = FileToolActionNamed(word);
    if (!action) return UsageError(u"unknown files action '%1' (check, fix-ext, order or dupes)"_s.arg(word));
    if (!QFileInfo(folder).isDir()) return UsageError(u"no folder '%1'"_s.arg(folder));

    CCliFrontEnd frontEnd(CCliFrontEnd::Answer::No, args.quiet);
    FileToolTally tally;
    FileToolReport report;
    report.progress = [&frontEnd](int done, int total) { frontEnd.ShowCount(done, total); };
    report.found = [&frontEnd](const FileFinding& finding) {
        frontEnd.EndProgressLine();
        const QString line = CStringCtrl::VisibleControls(finding.path, false) + u'\t' + finding.reason + u'\n';
        std::fputs(line.toUtf8().constData(), stdout);
        std::fflush(stdout);
    };
    report.finished = [&tally](const FileToolTally& ended) { tally = ended; };
    CFileToolRun run;
    run.Start(*action, folder, std::move(report));
    run.Wait();
    frontEnd.SetStatusText(StatusLine::Phase, FileToolSummaryText(*action, tally));
    return *action == FileToolAction::Check && tally.findings > 0 ? EXIT_INCOMPLETE : EXIT_DONE;
}
