// 56 Photo: a user's album index and an album's photo list are HTML pages numbered by "page=".
// The picture host serves a picture only to the photo-list page it was shown on.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Listers.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
constexpr int kTextFlags = FLAG_DECOMPRESS | FLAG_UTF8;

// The index links its next page in any form; the photo list's live link closes its attribute
// and tag right before the text, where a disabled one does not.
constexpr char16_t kIndexNextMark[] = u"下一页</a>";
constexpr char16_t kPhotoNextMark[] = u"\">下一页</a>";
constexpr char16_t kAlbumListStart[] = u"class=\"album_list";
constexpr char16_t kPhotoMark[] = u"class=\"img\"";

// One album item; no value for an item without a title (a placeholder box).
std::optional<ST_PERLISTRECORD> ReadAlbumItem(QString piece)
{
    ST_PERLISTRECORD album;
    album.nPrivacy = 0;
    album.strAlbumId = CStringCtrl::Between(piece, u"chackAlbum('", u"'", 1);
    album.strCoverUrl = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    album.strName = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
    if (album.strName.isEmpty()) return std::nullopt;
    // The count follows the title, which the item may show again as its text; a title may hold
    // parentheses of its own.
    CStringCtrl::SkipTo(piece, u"\"", true);
    CStringCtrl::SkipTo(piece, album.strName, true);
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"(", u")", 1));
    return album;
}

// Adds the albums of one index page; false when the page brought no album not seen before, or
// the listing was told to stop.
bool AddIndexPage(CAlbumListing& run, QString text, SeenPieces& seen)
{
    seen.StartPage();
    CStringCtrl::SkipTo(text, kAlbumListStart, true);
    CStringCtrl::CutAt(text, u"</ul>");
    QStringList pieces;
    CStringCtrl::Split(pieces, text, u"<li");
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const std::optional<ST_PERLISTRECORD> album = ReadAlbumItem(pieces[i]);
        if (!album || !seen.IsNew(album->strAlbumId)) continue;
        if (!AddAlbumAndGoOn(run, *album)) return false;
    }
    return seen.PageBroughtNew();
}
} // namespace

void List56PhotoAlbums(CAlbumListing& run, QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    // A service that ignores the page number answers the same index again.
    SeenPieces seen;
    for (qsizetype page = 1;; ++page) {
        const QString text = FetchText(request, response, address + u"&page="_s + QString::number(page), kTextFlags);
        if (text.isEmpty()) return;
        const bool lastPage = !text.contains(QStringView(kIndexNextMark));
        if (!AddIndexPage(run, text, seen) || lastPage) return;
    }
}

namespace {
QString LabelOf(QString& piece, const QString& albumName)
{
    const QString label = CStringCtrl::StripTags(CStringCtrl::Between(piece, u"<label>", u"</label>", 0)).trimmed();
    return label.isEmpty() ? albumName : label;
}
} // namespace

void List56PhotoPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    SeenPieces seen;
    for (qsizetype page = 1;; ++page) {
        const QString url = QString::fromUtf16(Hosts::k56PhotoAddress) + u"/album/?do=Plist&did="_s + album.strAlbumId +
                            u"&page="_s + QString::number(page);
        const QString text = FetchText(request, response, url, kTextFlags);
        if (text.isEmpty()) return;
        const bool lastPage = !text.contains(QStringView(kPhotoNextMark));
        const QString referer = RefererLine(url);
        QStringList pieces;
        if (CStringCtrl::Split(pieces, text, kPhotoMark) == 0) return;
        // A service that ignores the page number shows the same photos again.
        seen.StartPage();
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            QString piece = pieces[i];
            const QString picture = CStringCtrl::Between(piece, u"src='", u"'", 1);
            // A box without a picture address has nothing to fetch.
            if (picture.isEmpty() || !seen.IsNew(picture)) continue;
            run.AddPicture(picture, LabelOf(piece, album.strName), referer, albumIndex);
            if (run.Stopped()) return;
        }
        if (!seen.PageBroughtNew() || lastPage) return;
    }
}
