#pragma once

#include "core/LumarexCore.h"
#include "support/FakeServiceTest.h"
#include "support/ScriptedFrontEnd.h"
#include "support/TempFolder.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A test of the engine against the fake service: an application folder of its own, a scripted
// front end, and the two long operations run to their end on the test's thread.
class AdapterTest : public FakeServiceTest {
protected:
    AdapterTest();

    // Get-albums for the family, as the button runs it.
    bool GetAlbums(int kind, const QString& address);
    // Download of the given albums (all when empty) into the save folder.
    bool Download(std::vector<int> albums = {});

    void SetOptions(std::uint8_t options);
    // Serves a fixture file of tests/fixtures for host and target.
    void Serve(const QByteArray& host, const QByteArray& target, const QString& fixture);
    QString SavedFile(const QString& relative) const { return saveRoot.path() + relative; }
    QByteArray SavedBytes(const QString& relative) const;
    QStringList AlbumNames() const;

    TempFolder appDir;
    TempFolder saveRoot;
    ScriptedFrontEnd frontEnd;
    CLumarexCore core{frontEnd, appDir.path()};
};

// Bytes that look like a JPEG picture of the given size, different for each seed.
QByteArray FakePicture(int seed, int size = 2048);
