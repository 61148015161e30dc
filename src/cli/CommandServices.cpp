#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "sources/Registry.h"

#include <cstdio>

int RunServicesCommand(const CliArgs&)
{
    for (int kind = 0; kind < kFamilyCount; ++kind) {
        const ServiceFamily& family = ServiceFamilies()[size_t(kind)];
        std::printf("%d\t%s\t%s\n", kind, family.shortName, QString::fromUtf16(family.listText).toUtf8().constData());
    }
    return EXIT_DONE;
}
