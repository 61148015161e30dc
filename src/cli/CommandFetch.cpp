#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/CliJson.h"
#include "download/ImportList.h"
#include "sources/Registry.h"

using namespace Qt::StringLiterals;

int RunFetchCommand(const CliArgs& args)
{
    CCliSession session(args);
    if (!session.CookiesImported()) return EXIT_ERROR;
    const int kind = args.service.isEmpty() ? SK_TENCENT : FindFamily(args.service);
    if (kind < 0) return UsageError(u"unknown service '%1' (see 'talvoria-cli services')"_s.arg(args.service));
    CLumarexCore& core = session.Core();
    core.m_nSourceKind = kind;
    const QString saveDir = ChooseSaveDir(session, args);
    bool done = true;
    session.RunInterruptible([&] { done = ImportAndDownload(core, args.positional.front(), saveDir); },
                             [&] { core.RequestDownloadStop(); });
    if (args.json) PrintJson(QJsonDocument(session.FrontEnd().RunJson()));
    return done ? session.DownloadExit() : EXIT_ERROR;
}
