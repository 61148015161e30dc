// PConline photo community: a member's album list is a numbered series of pages whose addresses
// differ only in their page marker; an album's pictures are listed on one page. UTF-8.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "core/FileNames.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {

constexpr int kUtf8Text = FLAG_DECOMPRESS | FLAG_UTF8;
// Where the prepared address takes the page marker "_p<number>_".
constexpr char16_t kPagePlaceholder[] = u"_dk1stp_";
constexpr char16_t kNextLink[] = u">下一页</a>";
constexpr char16_t kAlbumSeparator[] = u"class=\"picbox";
constexpr char16_t kPictureSeparator[] = u"class=\"picture";
// The album's picture area ends here; the pictures below it belong to other albums.
constexpr char kPictureAreaEnd[] = "class=\"artOutWrap";
constexpr char16_t kThumbnailSuffix[] = u"_mthumb";

QString ListPageAddress(QString address, int number)
{
    return address.replace(QString::fromUtf16(kPagePlaceholder), u"_p"_s + QString::number(number) + u'_');
}

// The member's name stands in the page title; without it, the user segment of the address.
QString OwnerName(QString page, QString address)
{
    QString owner = CStringCtrl::Between(page, u"】", u"_太平洋", 1);
    if (owner.isEmpty()) {
        CStringCtrl::SkipTo(address, Hosts::kEndCn, true);
        CStringCtrl::CutAt(address, u"/");
        owner = address;
    }
    SanitizeName(owner, kTimeStampFallback, true);
    return owner;
}

ST_PERLISTRECORD ReadAlbum(QString piece)
{
    ST_PERLISTRECORD album;
    album.nPrivacy = 0;
    // The album link opens the album's first picture; its picture list is the "list_" page.
    album.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1).replace(u"photo/"_s, u"photo/list_"_s);
    album.strName = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
    album.strCoverUrl = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    album.nPicCount = -1;
    return album;
}

// False when the listing is to end: a stop was requested, or the page held nothing new.
bool AddAlbumsOfPage(CAlbumListing& run, const QString& page, SeenPieces& seen)
{
    QStringList pieces;
    CStringCtrl::Split(pieces, page, kAlbumSeparator);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const ST_PERLISTRECORD album = ReadAlbum(pieces[i]);
        // A page that repeats an earlier one's albums is not listed again.
        if (!seen.IsNew(album)) continue;
        if (!AddAlbumAndGoOn(run, album)) return false;
    }
    return seen.PageBroughtNew();
}

void ListPconlineAlbums(CAlbumListing& run, QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    SeenPieces seen;
    for (int number = 1;; ++number) {
        const QString page = FetchText(request, response, ListPageAddress(address, number), kUtf8Text);
        if (page.isEmpty() || !seen.StartPage(page)) return;
        const bool more = page.contains(QStringView(kNextLink));
        if (number == 1) run.listing.m_strOwnerName = OwnerName(page, address);
        if (!AddAlbumsOfPage(run, page, seen) || !more) return;
    }
}

void ListPconlinePhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    const QString text = FetchBetweenMarks(album.strAlbumId, {}, kPictureAreaEnd, kUtf8Text);
    QStringList pieces;
    if (text.isEmpty() || CStringCtrl::Split(pieces, text, kPictureSeparator) == 0) return;
    for (qsizetype n = 1; n < pieces.size(); ++n) {
        QString piece = pieces[n];
        const QString address =
            CStringCtrl::Between(piece, u"src=\"", u"\"", 1).remove(QString::fromUtf16(kThumbnailSuffix));
        // A picture without an address cannot be fetched, and listed first it would become the
        // album's history mark.
        if (address.isEmpty()) continue;
        run.AddPicture(address, album.strName + u" ("_s + QString::number(n) + u')', {}, albumIndex);
        if (run.Stopped()) return;
    }
}

void ListPconlineFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, u"_p")) {
        for (int page = 1; page <= 99; ++page) {
            run.listing.m_strSourceArg1 = u"_p%1_"_s.arg(page);
            if (address.contains(run.listing.m_strSourceArg1)) {
                address.replace(run.listing.m_strSourceArg1, u"_dk1stp_"_s);
                break;
            }
        }
    } else if (HasAfterStart(address, u"myphoto.")) {
        address.replace(u".html"_s, u"_dk1stp_n15.html"_s);
    } else {
        DropThrough(address, Hosts::kEndCn);
        CutAtAny(address, {u"/"});
        run.listing.m_strSourceArg1 = address;
        address = QString::fromUtf16(Hosts::kPconlinePhotoAddress) + u'/' + address + u"/myphoto_dk1stp_n15.html"_s;
    }
    ListPconlineAlbums(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {kNoVariant, ListPconlineAlbums, ListPconlinePhotos},
};
} // namespace

extern const ServiceFamily kPconlineFamily{"pconline", u"太平洋摄影部落", ListPconlineFamily, kVariants, 0};
