#pragma once

#include "core/FrontEnd.h"
#include "core/Listing.h"
#include "core/Records.h"
#include "core/SoftData.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

class CLumarexCore;
class IFrontEnd;

// What a lister is handed: the hub's album list, settings and front end, seen through one run.
class CAdapterRun {
public:
    virtual ~CAdapterRun() = default;
    CAdapterRun(const CAdapterRun&) = delete;
    CAdapterRun& operator=(const CAdapterRun&) = delete;

    ST_PERLIST& Albums() const;
    IFrontEnd& FrontEnd() const;
    // The application folder, ending with "/": where diagnostic copies of pages go.
    const QString& AppDir() const;
    ST_NAMESET NameSet(int kind) const;
    // An option bit of the run's family.
    bool HasOption(std::uint8_t bit) const;

protected:
    CAdapterRun(CLumarexCore& core, int kind) : m_core(core), m_nKind(kind) {}

    CLumarexCore& m_core;
    const int m_nKind;
};

// An album lister's run: it fills the listing's texts and reports each album through AddAlbum.
class CAlbumListing : public CAdapterRun {
public:
    CAlbumListing(CLumarexCore& core, CListing start);

    // AddAlbum: the record cleaned and made unique, stored and drawn.
    void AddAlbum(const ST_PERLISTRECORD& album);
    // The user asked the listing to stop: the lister returns as soon as it sees this.
    bool Stopped() const;
    // What the listing's requests watch to end early.
    const std::atomic<bool>& StopFlag() const;
    // A message of the family's to the user, unless the user stopped the listing. When the
    // listing's last request failed, the cause comes first, on its own line, once: "无法连接：…",
    // "HTTP 404：…".
    void ShowMessage(const QString& text);
    // The cause when the listing's last request failed and it was not told yet; else empty.
    QString UntoldFailure() const;

    CListing listing;

private:
    bool m_bFailureTold = false;
};

// A photo lister's run over one album at a time: it reads the listing's texts and reports each
// picture through AddPicture, which the download engine gives a name and a place.
class CPhotoListing : public CAdapterRun {
public:
    // AddPicture: the picture named, checked against the album's history mark and appended.
    virtual void AddPicture(const QString& strUrl, const QString& strDesc, const QString& strHeaders, int nAlbum) = 0;
    // The pictures listed of the album so far.
    virtual int PictureCount() const = 0;
    // The album reached its history mark or the user asked the download to stop: the lister
    // returns as soon as it sees this.
    bool Stopped() const;
    const std::atomic<bool>& StopFlag() const;

    const CListing listing;

protected:
    CPhotoListing(CLumarexCore& core, CListing listing);
};

// The adapter contract: an album lister gets the prepared address, a photo lister the 0-based
// index of an album in the album list.
using AlbumLister = void (*)(CAlbumListing& run, QString& address);
using PhotoLister = std::function<void(CPhotoListing& run, int album)>;
