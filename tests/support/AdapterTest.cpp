#include "support/AdapterTest.h"

#include "download/DownloadDriver.h"
#include "sources/AlbumListDriver.h"
#include "sources/Registry.h"

#include <QFile>

AdapterTest::AdapterTest()
{
    core.LoadSoftData();
    core.m_bReady = true;
}

bool AdapterTest::GetAlbums(int kind, const QString& address)
{
    core.m_nSourceKind = kind;
    core.States().BeginListing();
    return GetAlbumList(core, kind, address);
}

bool AdapterTest::Download(std::vector<int> albums)
{
    if (albums.empty())
        for (int i = 0; i < core.m_pAlbumList->Count(); ++i)
            albums.push_back(i);
    core.States().BeginDownload();
    const CListing listing = ListingOfChosenFamily();
    return DownloadDriver(core, listing, saveRoot.path(), albums,
                          FillWith(PhotoListerFor(listing.m_nSourceKind, listing.m_nSubKind)));
}

CListing AdapterTest::ListingOfChosenFamily() const
{
    CListing listing = core.Listing();
    listing.m_nSourceKind = core.m_nSourceKind;
    return listing;
}

CAlbumListing& AdapterTest::AlbumRun(int kind)
{
    CListing start;
    start.m_nSourceKind = kind;
    m_albumRun = std::make_unique<CAlbumListing>(core, start);
    return *m_albumRun;
}

CAlbumDownload& AdapterTest::PhotoRun()
{
    // A listing has ended before a download starts.
    core.States().EndListing();
    if (!core.States().IsDownloading()) core.States().BeginDownload();
    m_photoRun = std::make_unique<CAlbumDownload>(core, ListingOfChosenFamily(), saveRoot.path());
    return *m_photoRun;
}

void AdapterTest::ListAlbumsOf(int kind, int subKind, QString& address)
{
    const ServiceVariant* variant = VariantOf(kind, subKind);
    ASSERT_NE(variant, nullptr);
    variant->listAlbums(AlbumRun(kind), address);
}

void AdapterTest::ListPhotosOf(int kind, int subKind, int album)
{
    const ServiceVariant* variant = VariantOf(kind, subKind);
    ASSERT_NE(variant, nullptr);
    variant->listPhotos(PhotoRun(), album);
}

void AdapterTest::StopListing()
{
    core.States().EndDownload();
    core.States().BeginListing();
    core.States().RequestListingStop();
}

void AdapterTest::StopDownload()
{
    core.States().EndListing();
    core.States().BeginDownload();
    core.States().RequestDownloadStop();
}

void AdapterTest::SetOptions(std::uint8_t options)
{
    core.EditSoft([&](ST_SOFTDATA& soft) { soft.names[core.m_nSourceKind].nOptions = options; });
}

void AdapterTest::Serve(const QByteArray& host, const QByteArray& target, const QString& fixture)
{
    service.Route(host, target, FakeReply::File(FixturePath(fixture)));
}

QByteArray AdapterTest::SavedBytes(const QString& relative) const
{
    QFile file(SavedFile(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList AdapterTest::AlbumNames() const
{
    QStringList names;
    for (int i = 0; i < core.m_pAlbumList->Count(); ++i)
        names << core.m_pAlbumList->At(i).strName;
    return names;
}
