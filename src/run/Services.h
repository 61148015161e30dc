#pragma once

#include "core/SourceKind.h"

#include <QString>

// The service families as the front ends see them: their names and the recognition of a typed
// address. The listers behind them stay below the run controller.
struct ServiceName {
    const char* shortName;    // for the command line
    const char16_t* listText; // the service list entry
};

ServiceName ServiceNameOf(int kind);
// The family with that short name or index text ("qzone", "3"), or -1.
int FindService(const QString& nameOrIndex);
// The family an address names, or current when it names none.
int RecognizeService(const QString& address, int current);
