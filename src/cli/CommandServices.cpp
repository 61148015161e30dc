#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "run/Services.h"

#include <cstdio>

int RunServicesCommand(const CliArgs&)
{
    for (int kind = 0; kind < kFamilyCount; ++kind) {
        const ServiceName name = ServiceNameOf(kind);
        std::printf("%d\t%s\t%s\n", kind, name.shortName, QString::fromUtf16(name.listText).toUtf8().constData());
    }
    return EXIT_DONE;
}
