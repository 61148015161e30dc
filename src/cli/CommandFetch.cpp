#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "download/ImportList.h"
#include "sources/Registry.h"

#include <cstdio>

int RunFetchCommand(const CliArgs& args)
{
    if (args.positional.size() != 1) return EXIT_USAGE;
    CCliSession session(args);
    if (!session.CookiesImported()) return EXIT_ERROR;
    const int kind = args.service.isEmpty() ? SK_TENCENT : FindFamily(args.service);
    if (kind < 0) {
        std::fprintf(stderr, "talvoria-cli: unknown service %s\n", qPrintable(args.service));
        return EXIT_USAGE;
    }
    CLumarexCore& core = session.Core();
    core.m_nSourceKind = kind;
    const QString saveDir = ChooseSaveDir(session, args);
    bool done = true;
    session.RunInterruptible([&] { done = ImportAndDownload(core, args.positional.front(), saveDir); },
                             [&] { core.RequestDownloadStop(); });
    return done ? session.DownloadExit() : EXIT_ERROR;
}
