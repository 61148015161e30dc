#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/CliJson.h"
#include "run/Services.h"

using namespace Qt::StringLiterals;

int RunFetchCommand(const CliArgs& args)
{
    CCliSession session(args);
    if (!session.CookiesImported()) return EXIT_ERROR;
    const int kind = args.service.isEmpty() ? SK_TENCENT : FindService(args.service);
    if (kind < 0) return UsageError(u"unknown service '%1' (see 'talvoria-cli services')"_s.arg(args.service));
    session.Core().m_nSourceKind = kind;
    session.Runs().OnImport(args.positional.front(), ChooseSaveDir(session, args));
    const bool done = session.WaitForRun();
    if (args.json) PrintJson(QJsonDocument(session.FrontEnd().RunJson()));
    return done ? session.DownloadExit() : EXIT_ERROR;
}
