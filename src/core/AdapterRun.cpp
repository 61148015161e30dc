#include "core/AdapterRun.h"

#include "core/LumarexCore.h"

ST_PERLIST& CAdapterRun::Albums() const
{
    return *m_core.m_pAlbumList;
}

IFrontEnd& CAdapterRun::FrontEnd() const
{
    return m_core.FrontEnd();
}

const QString& CAdapterRun::AppDir() const
{
    return m_core.m_strAppDir;
}

ST_NAMESET CAdapterRun::NameSet(int kind) const
{
    return m_core.NameSet(kind);
}

bool CAdapterRun::HasOption(std::uint8_t bit) const
{
    return (m_core.NameSet(m_nKind).nOptions & bit) != 0;
}

CAlbumListing::CAlbumListing(CLumarexCore& core, CListing start)
    : CAdapterRun(core, start.m_nSourceKind), listing(std::move(start))
{
}

void CAlbumListing::AddAlbum(const ST_PERLISTRECORD& album)
{
    m_core.AddAlbum(album);
}

bool CAlbumListing::Stopped() const
{
    return m_core.States().ListingStopRequested();
}

const std::atomic<bool>& CAlbumListing::StopFlag() const
{
    return m_core.States().ListingStopFlag();
}

CPhotoListing::CPhotoListing(CLumarexCore& core, CListing listing)
    : CAdapterRun(core, listing.m_nSourceKind), listing(std::move(listing))
{
}

bool CPhotoListing::Stopped() const
{
    return m_core.States().AlbumListingEnded();
}

const std::atomic<bool>& CPhotoListing::StopFlag() const
{
    return m_core.States().DownloadStopFlag();
}
