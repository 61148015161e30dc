// Babytree: a member's albums live on the personal home host (a script array of albums, picture
// pages with the address in a script field) or, failing that, on the main host's member page
// (HTML thumbnail grids, each picture with a large view). Pages are UTF-8 and read only up to an
// end mark, before which everything the listers need stands.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
// The variants a listing chooses among (SourceSubKind).
enum BabytreeVariant : int { BABYTREE_HOME = 0, BABYTREE_ALBUMS = 1 };


constexpr int kTextFlags = FLAG_DECOMPRESS | FLAG_UTF8;

// The album lists end where their footer starts; the main host's album pages carry a styled
// "vertical-align:middle" above their grid, so they read on to the one with the semicolon.
constexpr char kAlbumListEnd[] = "vertical-align:middle";
constexpr char kMainPhotosEnd[] = "vertical-align:middle;";
constexpr char kHomePhotosEnd[] = "mytree-tooltips";

constexpr char16_t kHomeNextPage[] = u"\">下一页</a>";
// The main host's pager writes its next link as "&gt;"; the text arrives entity-decoded.
constexpr char16_t kMainNextPage[] = u">></a></li>";
constexpr char16_t kThumb[] = u"class=\"thumb\">";
constexpr char16_t kPhotoThumb[] = u"class=\"photo-thumb\">";

const QString kHomeAddress = QString::fromUtf16(Hosts::kBabytreeHomeAddress);
const QString kMainAddress = QString::fromUtf16(Hosts::kBabytreeMainAddress);

// A request whose transfer ends at the operation's end mark.
struct MarkedRequest {
    explicit MarkedRequest(const char* endMark)
    {
        request.m_strHeaders = ListingHeaders();
        request.m_strEndMark = endMark;
    }
    QString Fetch(const QString& url) { return FetchText(request, response, url, kTextFlags); }

    CURLSource2 request;
    CURLResponse response;
};

// The member's name from the first list page's title; the user number when the title names none.
void SetOwnerFromTitle(CAlbumListing& run, QString& page, const QString& userNumber)
{
    SetOwnerName(run, page, u"<title>", u"的相册", userNumber);
}

// Pieces are told apart by their address; one without any by its whole text.
QString PieceKey(const QString& id, const QString& piece)
{
    return id.isEmpty() ? piece : id;
}

ST_PERLISTRECORD ReadHomeAlbum(QString piece)
{
    ST_PERLISTRECORD album;
    album.nPrivacy = 0;
    album.strName = CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"title\":\"", u"\"", 1));
    album.strAlbumId = UnescapeSlashes(CStringCtrl::Between(piece, u"album_url\":\"", u"\"", 1));
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"sum\":\"", u"\"", 1));
    album.strCoverUrl = UnescapeSlashes(CStringCtrl::Between(piece, u"cover_url\":\"", u"\"", 1));
    return album;
}

ST_PERLISTRECORD ReadMainAlbum(QString piece)
{
    ST_PERLISTRECORD album;
    album.nPrivacy = 0;
    album.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
    album.strCoverUrl = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    album.strName = CStringCtrl::Between(piece, u"<strong>", u"</strong>", 1);
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"(", u")", 1));
    return album;
}

struct Thumbnail {
    QString page;
    QString thumb;
    QString desc;
};

void ListBabytreeHomeAlbums(CAlbumListing& run, QString& address)
{
    MarkedRequest request(kAlbumListEnd);
    WalkPages(
        {request.request, kTextFlags, kHomeNextPage},
        [&address](int page) { return kHomeAddress + u"/u%1/photo/list?pg=%2"_s.arg(address, QString::number(page)); },
        [&](QString& text, int page, SeenPieces& seen) {
            if (page == 1) SetOwnerFromTitle(run, text, address);
            CStringCtrl::SkipTo(text, u"album_list", true);
            CStringCtrl::CutAt(text, u"</script>");
            QStringList pieces;
            if (CStringCtrl::Split(pieces, text, u"\"id\":\"") == 0) return false;
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                const ST_PERLISTRECORD album = ReadHomeAlbum(pieces[i]);
                if (seen.IsNew(PieceKey(album.strAlbumId, pieces[i])) && !AddAlbumAndGoOn(run, album)) return false;
            }
            return true;
        });
}

void ListBabytreeAlbums(CAlbumListing& run, QString& address)
{
    MarkedRequest request(kAlbumListEnd);
    // A list page without albums does not by itself end the listing.
    WalkPages(
        {.request = request.request,
         .textFlags = kTextFlags,
         .nextMark = kMainNextPage,
         .pageWithoutPiecesEnds = false},
        [&address](int page) {
            return kMainAddress + u"/user/showuser.php?uid=u%1&tab=photo&view=album_list&order=&pg=%2"_s.arg(
                                      address, QString::number(page));
        },
        [&](QString& text, int page, SeenPieces& seen) {
            if (page == 1) SetOwnerFromTitle(run, text, address);
            QStringList pieces;
            CStringCtrl::Split(pieces, text, kThumb);
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                const ST_PERLISTRECORD album = ReadMainAlbum(pieces[i]);
                if (seen.IsNew(PieceKey(album.strAlbumId, pieces[i])) && !AddAlbumAndGoOn(run, album)) return false;
            }
            return true;
        });
}

// Walks an album's numbered pages: each thumbnail's picture page gives the full address, and
// the thumbnail stands in when it does not.
template <typename ReadThumb, typename ReadPicture>
void ListAlbumPages(CPhotoListing& run, int albumIndex, MarkedRequest& request, const QString& albumPage,
                    QStringView nextPage, QStringView separator, ReadThumb readThumb, ReadPicture readPicture)
{
    WalkPages(
        {request.request, kTextFlags, nextPage}, [&albumPage](int page) { return albumPage + QString::number(page); },
        [&](QString& text, int, SeenPieces& seen) {
            QStringList pieces;
            if (CStringCtrl::Split(pieces, text, separator) == 0) return false;
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                const Thumbnail thumb = readThumb(pieces[i]);
                if (!seen.IsNew(PieceKey(thumb.page + thumb.thumb, pieces[i]))) continue;
                QString url = thumb.thumb;
                QString picturePage = request.Fetch(thumb.page);
                const QString full = readPicture(picturePage);
                if (!full.isEmpty()) url = full;
                run.AddPicture(url, thumb.desc, {}, albumIndex);
                if (run.Stopped()) return false;
            }
            return true;
        });
}

void ListBabytreeHomePhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    MarkedRequest request(kHomePhotosEnd);
    const auto readThumb = [](QString piece) {
        Thumbnail thumb;
        thumb.page = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
        thumb.thumb = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
        thumb.desc = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
        return thumb;
    };
    const auto readPicture = [](QString& page) {
        return UnescapeSlashes(CStringCtrl::Between(page, u"\"url\":\"", u"\"", 1));
    };
    ListAlbumPages(run, albumIndex, request, album.strAlbumId + u"&pg="_s, kHomeNextPage, kPhotoThumb, readThumb,
                   readPicture);
}

void ListBabytreePhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    MarkedRequest request(kMainPhotosEnd);
    const auto readThumb = [](QString piece) {
        Thumbnail thumb;
        // "#detail" opens the small view; the large view is asked for by name.
        thumb.page = kMainAddress + CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
        thumb.page.replace(u"#detail"_s, u"&show=big"_s);
        thumb.thumb = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
        thumb.desc = CStringCtrl::Between(piece, u"alt=\"", u"\"", 1);
        return thumb;
    };
    const auto readPicture = [](QString& page) { return CStringCtrl::Between(page, u"src=\"", u"\"", 1); };
    ListAlbumPages(run, albumIndex, request, kMainAddress + album.strAlbumId + u"&pg="_s, kMainNextPage, kThumb,
                   readThumb, readPicture);
}

void ListBabytreeFamily(CAlbumListing& run, QString& address)
{
    run.listing.m_nSubKind = BABYTREE_HOME;
    DropThrough(address, u"om/u");
    CutAtAny(address, {u"&", u"/"});
    ListBabytreeHomeAlbums(run, address);
    if (NoAlbums(run)) {
        ListBabytreeAlbums(run, address);
        run.listing.m_nSubKind = BABYTREE_ALBUMS;
    }
}

constexpr ServiceVariant kVariants[] = {
    {BABYTREE_HOME, ListBabytreeHomeAlbums, ListBabytreeHomePhotos},
    {BABYTREE_ALBUMS, ListBabytreeAlbums, ListBabytreePhotos},
};
} // namespace

extern const ServiceFamily kBabytreeFamily{"babytree", u"宝宝树相册", ListBabytreeFamily, kVariants, 1};
