#include "run/Services.h"

#include "sources/Registry.h"

ServiceName ServiceNameOf(int kind)
{
    const ServiceFamily& family = *ServiceFamilies()[size_t(kind)];
    return {family.shortName, family.listText};
}

int FindService(const QString& nameOrIndex)
{
    return FindFamily(nameOrIndex);
}

int RecognizeService(const QString& address, int current)
{
    return RecognizeAddress(address, current);
}
