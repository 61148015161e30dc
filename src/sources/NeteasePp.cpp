// NetEase PP: every owner has a sub-host of the PP host; its album page is an HTML list, and an
// album page carries its pictures in a script array.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "core/FileNames.h"
#include "sources/AdapterKit.h"
#include "sources/Netease.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
constexpr int kGbkText = FLAG_DECOMPRESS;

ST_PERLISTRECORD ReadAlbumItem(QString piece)
{
    ST_PERLISTRECORD album;
    album.nPrivacy = 0;
    album.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
    album.strName = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
    album.strCoverUrl = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    // The caption reads "~ [12张]".
    CStringCtrl::SkipTo(piece, u"<em>", true);
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"~ [", u"张", 1));
    return album;
}
} // namespace

void ListNeteasePpAlbums(CAlbumListing& run, QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    QString page = FetchText(request, response, address, kGbkText);
    if (page.isEmpty()) return;

    QString owner = CStringCtrl::Between(page, u"nickName : '", u"'", 1);
    SanitizeName(owner, kTimeStampFallback, true);
    run.listing.m_strOwnerName = owner;

    QStringList pieces;
    CStringCtrl::Split(pieces, page, u"<li class=\"w-cover");
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const ST_PERLISTRECORD album = ReadAlbumItem(pieces[i]);
        if (album.strAlbumId.isEmpty()) continue;
        if (!AddAlbumAndGoOn(run, album)) return;
    }
}

void ListNeteasePpPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    // Only the album's picture array is read; the page around it has addresses of its own.
    const QString text = FetchBetweenMarks(album.strAlbumId, "window.picList", "photoidsList", kGbkText);
    if (text.isEmpty()) return;

    QStringList pieces;
    CStringCtrl::Split(pieces, text, u",url:'");
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        const QString url = CStringCtrl::LeftOf(piece, u"'");
        // A picture without an address cannot be fetched; listed first, it would also become the
        // album's history mark, and an empty mark never stops a later download.
        if (url.isEmpty()) continue;
        QString desc = CStringCtrl::Between(piece, u",picDesc:'", u"'", 1);
        if (desc.isEmpty()) desc = album.strName;
        run.AddPicture(url, desc, {}, albumIndex);
        if (run.Stopped()) return;
    }
}
