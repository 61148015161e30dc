// Moko: a member's works (posts) are listed as albums. The posts are grouped in categories
// whose addresses come from the menu of the member's post list page; each category has numbered
// list pages in one of two layouts. A post page shows all of its pictures at once.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {

constexpr int kUtf8Text = FLAG_DECOMPRESS | FLAG_UTF8;
constexpr int kGbkText = FLAG_DECOMPRESS; // post pages
constexpr char16_t kMenuMark[] = u"class=\"mwC\"";
// The category menu ends where the side boxes begin; the post list page is not read further.
constexpr char kMenuEndBytes[] = "<div class=\"sBox";
constexpr char16_t kMenuEnd[] = u"<div class=\"sBox";
// The next-page arrow, with its entity or already decoded.
constexpr char16_t kNextPageMarkEntity[] = u"class=\"b bC\">&gt;</a>";
constexpr char16_t kNextPageMarkPlain[] = u"class=\"b bC\">></a>";
constexpr char16_t kShowLayoutMark[] = u"class=\"show";
constexpr char16_t kTwShowLayoutMark[] = u"class=\"twShow";
constexpr char16_t kPictureMark[] = u"class=\"picBox\">";

const QString kMokoAddress = QString::fromUtf16(Hosts::kMokoAddress);

void SetOwnerFromTitle(CAlbumListing& run, QString& page)
{
    SetOwnerName(run, page, u"<title>", u"'s");
}

QString BeforeLastSlash(const QString& text)
{
    const qsizetype slash = text.lastIndexOf(u'/');
    return slash < 0 ? text : text.left(slash);
}

// The categories of the menu on the member's post list page, in menu order; no value when the
// page could not be had.
std::optional<QStringList> ReadCategories(CAlbumListing& run, CURLSource2& request, CURLResponse& response,
                                          const QString& address)
{
    request.m_strEndMark = kMenuEndBytes;
    QString text = FetchText(request, response, address, kUtf8Text);
    // The category pages are read whole.
    request.m_strEndMark.clear();
    if (text.isEmpty()) return std::nullopt;
    SetOwnerFromTitle(run, text);
    CStringCtrl::SkipTo(text, kMenuMark, true);
    CStringCtrl::CutAt(text, kMenuEnd);

    QStringList pieces;
    CStringCtrl::Split(pieces, text, u"href=\"");
    QStringList categories;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        // The links name a category's first list page: "/post/<member>/category/<id>/1.html".
        QString link = kMokoAddress + pieces[i];
        CStringCtrl::CutAt(link, u"\"");
        categories << BeforeLastSlash(link);
    }
    return categories;
}

// One post of a category page, in the layout the page uses.
ST_PERLISTRECORD ReadPost(QString piece, bool showLayout)
{
    ST_PERLISTRECORD post;
    post.nPrivacy = 0;
    if (showLayout) {
        post.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"mC\">", u"</", 1));
        post.strName = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
        post.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
    } else {
        post.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"/>(", u")", 1));
        post.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
        post.strName = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
    }
    post.strCoverUrl = CStringCtrl::Between(piece, u"src2=\"", u"\"", 1);
    return post;
}

// Every list page of one category.
void ListCategory(CAlbumListing& run, CURLSource2& request, const QString& category)
{
    WalkPages(
        {request, kUtf8Text}, [&category](int page) { return u"%1/%2.html"_s.arg(category, QString::number(page)); },
        [&run](QString& text, int, SeenPieces& seen) {
            const bool morePages =
                text.contains(QStringView(kNextPageMarkEntity)) || text.contains(QStringView(kNextPageMarkPlain));
            // A category or newest-posts address was typed: the member is named by the first page read.
            if (run.listing.m_strOwnerName.isEmpty()) SetOwnerFromTitle(run, text);

            const bool showLayout = text.indexOf(QStringView(kShowLayoutMark)) > 0;
            QStringList pieces;
            CStringCtrl::Split(pieces, text, showLayout ? kShowLayoutMark : kTwShowLayoutMark);
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                const ST_PERLISTRECORD post = ReadPost(pieces[i], showLayout);
                if (seen.IsNew(post) && !AddAlbumAndGoOn(run, post)) return false;
            }
            return morePages;
        });
}

void ListMokoAlbums(CAlbumListing& run, QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    QStringList categories;
    if (address.contains(u"/category/"_s) || address.contains(u"/new/"_s)) {
        categories << BeforeLastSlash(address);
    } else {
        const std::optional<QStringList> menu = ReadCategories(run, request, response, address);
        if (!menu) return;
        categories = *menu;
    }
    for (const QString& category : categories) {
        ListCategory(run, request, category);
        if (run.Stopped()) return;
    }
}

void ListMokoPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD post = run.Albums().At(albumIndex);
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    const QString text = FetchText(request, response, kMokoAddress + post.strAlbumId, kGbkText);
    if (text.isEmpty()) return;

    QStringList pieces;
    if (CStringCtrl::Split(pieces, text, kPictureMark) == 0) return;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        const QString url = CStringCtrl::Between(piece, u"src2=\"", u"\"", 1);
        // A block without a picture cannot be fetched, and it would take a number in the names.
        if (url.isEmpty()) continue;
        run.AddPicture(url, post.strName, {}, albumIndex);
        if (run.Stopped()) return;
    }
}

void ListMokoFamily(CAlbumListing& run, QString& address)
{
    if (!address.contains(u"/post"_s)) {
        DropThrough(address, Hosts::kMokoDomain);
        CutAtAny(address, {u"/"});
        address = QString::fromUtf16(Hosts::kMokoAddress) + u"/post/"_s + address + u"/list.html"_s;
    }
    ListMokoAlbums(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {kNoVariant, ListMokoAlbums, ListMokoPhotos},
};
} // namespace

extern const ServiceFamily kMokoFamily{"moko", u"美空网", ListMokoFamily, kVariants, 0};
