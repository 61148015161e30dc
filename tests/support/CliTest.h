#pragma once

#include "support/FakeServiceTest.h"
#include "support/TempFolder.h"

#include <QStringList>

// A test that runs the built talvoria-cli against the fake service, with an application
// folder and a save folder of its own; every question is answered No.
class CliTest : public FakeServiceTest {
protected:
    ChildResult Cli(const QStringList& arguments) { return RunCli(service, appDir.path(), arguments); }

    TempFolder appDir;
    TempFolder saveDir;
};
