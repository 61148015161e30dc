#pragma once

#include "support/FakeServiceTest.h"
#include "support/TempFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

// A test that runs the built talvoria-cli against the fake service, with an application
// folder and a save folder of its own; every question is answered No.
class CliTest : public FakeServiceTest {
protected:
    ChildResult Cli(const QStringList& arguments) { return RunCli(service, appDir.path(), arguments); }
    // "albums ADDRESS --json", expected to succeed, as parsed JSON.
    QJsonArray AlbumsJson(const QString& address)
    {
        const ChildResult run = Cli({QStringLiteral("albums"), address, QStringLiteral("--json")});
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out).array();
    }

    TempFolder appDir;
    TempFolder saveDir;
};
