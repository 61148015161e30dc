#pragma once

#include "support/AdapterTest.h"
#include "support/FakeServiceTest.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
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

    // The files names[0], names[1], ... under folder hold FakePicture(1), FakePicture(2), ... in
    // turn; an empty name stands for a picture that was not listed.
    static void ExpectPictures(const QString& folder, const QStringList& names)
    {
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names[i].isEmpty()) continue;
            QFile file(folder + names[i]);
            if (!file.open(QIODevice::ReadOnly)) {
                ADD_FAILURE() << "missing " << (folder + names[i]).toStdString();
                continue;
            }
            EXPECT_EQ(file.readAll(), FakePicture(int(i) + 1)) << names[i].toStdString();
        }
    }

    TempFolder appDir;
    TempFolder saveDir;
};
