// 56 Photo: a user's album index and an album's photo list are HTML pages numbered by "page=".
// The picture host serves a picture only to the photo-list page it was shown on.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"

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

// Adds the albums of one index page; false when the listing was told to stop.
bool AddIndexPage(CAlbumListing& run, QString& text, SeenPieces& seen)
{
    CStringCtrl::SkipTo(text, kAlbumListStart, true);
    CStringCtrl::CutAt(text, u"</ul>");
    QStringList pieces;
    CStringCtrl::Split(pieces, text, u"<li");
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const std::optional<ST_PERLISTRECORD> album = ReadAlbumItem(pieces[i]);
        if (!album || !seen.IsNew(album->strAlbumId)) continue;
        if (!AddAlbumAndGoOn(run, *album)) return false;
    }
    return true;
}

void List56PhotoAlbums(CAlbumListing& run, QString& address)
{
    WalkPages([&address](int page) { return address + u"&page="_s + QString::number(page); }, kTextFlags,
              kIndexNextMark, [&run](QString& text, int, SeenPieces& seen) { return AddIndexPage(run, text, seen); });
}

QString LabelOf(QString& piece, const QString& albumName)
{
    const QString label = CStringCtrl::StripTags(CStringCtrl::Between(piece, u"<label>", u"</label>", 0)).trimmed();
    return label.isEmpty() ? albumName : label;
}

void List56PhotoPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    const auto pageAddress = [&album](int page) {
        return QString::fromUtf16(Hosts::k56PhotoAddress) + u"/album/?do=Plist&did="_s + album.strAlbumId +
               u"&page="_s + QString::number(page);
    };
    WalkPages(pageAddress, kTextFlags, kPhotoNextMark, [&](QString& text, int page, SeenPieces& seen) {
        const QString referer = RefererLine(pageAddress(page));
        QStringList pieces;
        if (CStringCtrl::Split(pieces, text, kPhotoMark) == 0) return false;
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            QString piece = pieces[i];
            const QString picture = CStringCtrl::Between(piece, u"src='", u"'", 1);
            // A box without a picture address has nothing to fetch.
            if (picture.isEmpty() || !seen.IsNew(picture)) continue;
            run.AddPicture(picture, LabelOf(piece, album.strName), referer, albumIndex);
            if (run.Stopped()) return false;
        }
        return true;
    });
}

void List56Family(CAlbumListing& run, QString& address)
{
    QString owner = address;
    DropThrough(owner, u"album/");
    CutAtAny(owner, {u"&", u"/", u"?"});
    run.listing.m_strOwnerName = owner;
    address = QString::fromUtf16(Hosts::k56PhotoAddress) + u"/album/index.php?user="_s + owner;
    List56PhotoAlbums(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {kNoVariant, List56PhotoAlbums, List56PhotoPhotos},
};
} // namespace

extern const ServiceFamily kPhoto56Family{"56", u"56相册", List56Family, kVariants, 0};
