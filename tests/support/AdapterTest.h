#pragma once

#include "core/LumarexCore.h"
#include "download/AlbumDownload.h"
#include "sources/Registry.h"
#include "support/FakeServiceTest.h"
#include "support/ScriptedFrontEnd.h"
#include "support/TempFolder.h"

#include <QByteArray>
#include <QString>

#include <memory>
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
    // The texts the last listing left.
    CListing Listing() const { return core.Listing(); }

    // An album lister's run for family kind, for calling the lister alone (no preparation);
    // each call starts a new one.
    CAlbumListing& AlbumRun(int kind = 0);
    // A photo lister's run over the last listing's albums, as the download driver makes it for
    // one album (saving under saveRoot); each call starts a new one. Pictures() is what the
    // lister listed in the run made last.
    CAlbumDownload& PhotoRun();
    const CDownList& Pictures() const { return m_photoRun->m_downList; }
    // The user's stop, while the operation runs.
    void StopListing();
    // The album lister or photo lister of a family's variant alone, through the registry.
    void ListAlbumsOf(int kind, int subKind, QString& address);
    void ListPhotosOf(int kind, int subKind, int album);
    void StopDownload();

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

private:
    // The last listing's texts for the family chosen, also where a test adds albums by hand.
    CListing ListingOfChosenFamily() const;

    std::unique_ptr<CAlbumListing> m_albumRun;
    std::unique_ptr<CAlbumDownload> m_photoRun;
};
