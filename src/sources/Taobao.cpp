// Taobao and Tmall shops: here an album is one shop item. A shop's search pages list its items in
// GBK; an item page carries the price and the thumbnail gallery of the item's main pictures.
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

constexpr int kGbkText = FLAG_DECOMPRESS;
constexpr char16_t kScheme[] = u"http://";
constexpr char16_t kItemPageMark[] = u"item.";

// Search pages.
constexpr char16_t kNoNextPage[] = u"没有下一页";
constexpr char16_t kNextDisabled[] = u"disable\">下一页";
constexpr char16_t kNextLink[] = u">下一页</a>";
constexpr char16_t kNoItems[] = u"很抱歉，搜索到“<em>0</em>”个宝贝";
// The item grid lies between the sort bar and the page-jump button below it.
constexpr char16_t kSortBar[] = u"排序：";
constexpr char16_t kJumpButton[] = u"<button type=\"submit\">确定";
constexpr char16_t kListSeparator[] = u"<dl class=\"item";
constexpr char16_t kGridSeparator[] = u"<div class=\"item\">";

// Item pages.
constexpr char16_t kThumbList[] = u"id=\"J_UlThumb\"";

const QString kReadError = u"获取信息出错,请将程序目录下的log.err文件发给作者,以便修改"_s;
const QString kItemReadError = u"获取信息出错(2),请将程序目录下的log.err文件发给作者,以便修改"_s;

// The nickname is percent-encoded UTF-8 inside a script, in quotes or apostrophes.
QString OwnerNickname(QString page)
{
    QString nick = CStringCtrl::Between(page, u"nickName:", u",", 0);
    if (nick.isEmpty()) nick = CStringCtrl::Between(page, u"NickName\"", u",", 0);
    nick.remove(u'\'');
    nick = CStringCtrl::UrlDecodeUtf8(nick.trimmed());
    SanitizeName(nick, kTimeStampFallback, true);
    return nick;
}

void ListSingleItem(CAlbumListing& run, const QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    QString page = FetchText(request, response, address, kGbkText);
    if (page.isEmpty()) return;

    ST_PERLISTRECORD item;
    item.strAlbumId = address;
    // The title ends with the site's name after a "-".
    item.strName = CStringCtrl::Between(page, u"<title>", u"</title>", 1);
    const qsizetype dash = item.strName.lastIndexOf(u'-');
    if (dash > 0) item.strName.truncate(dash);
    run.listing.m_strOwnerName = OwnerNickname(page);
    AddAlbumAndGoOn(run, item);
}

QString SearchPageAddress(const QString& shop, int number)
{
    return shop + u"&viewType=grid&pageNum="_s + QString::number(number);
}

bool HasNextPage(const QString& page)
{
    return page.indexOf(QStringView(kNoNextPage)) <= 10 && page.indexOf(QStringView(kNextDisabled)) <= 10 &&
           page.contains(QStringView(kNextLink));
}

// Empty when the page has no page-jump button: then it lists nothing.
QString ItemGrid(QString page)
{
    CStringCtrl::SkipTo(page, kSortBar, false);
    if (page.indexOf(QStringView(kJumpButton)) <= 0) return {};
    CStringCtrl::CutAt(page, kJumpButton);
    return page;
}

// Shops show their items either as a list or as a grid; once a page was a grid, the following
// pages are read as grids too.
bool SplitItems(QStringList& pieces, const QString& grid, QString& separator)
{
    if (CStringCtrl::Split(pieces, grid, separator) > 0) return true;
    separator = QString::fromUtf16(kGridSeparator);
    return CStringCtrl::Split(pieces, grid, separator) > 0;
}

// The fields after the item's link, in the order the service writes them: picture, name, sales.
// False for an item without a name.
bool ReadItemDetails(QString piece, ST_PERLISTRECORD& item)
{
    item.strCoverUrl = CStringCtrl::Between(piece, u"lazyload=\"", u"\"", 1);
    if (item.strCoverUrl.isEmpty()) item.strCoverUrl = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    CStringCtrl::SkipTo(piece, u"<a", true);
    CStringCtrl::SkipTo(piece, u"class=\"item-name\"", true);
    item.strName = CStringCtrl::Between(piece, u">", u"</a>", 1);
    if (item.strName.isEmpty()) return false;
    // Shops show the sales either in their own span or as the first emphasised number.
    const QString sold = piece.indexOf(u"sale-num\">") > 0 ? CStringCtrl::Between(piece, u"sale-num\">", u"</", 1)
                                                           : CStringCtrl::Between(piece, u"<em>", u"</em>", 1);
    item.nParam2 = ReadDecimal(sold);
    return true;
}

enum class PageEnd { NextPage, Last };

PageEnd AddItemsOfPage(CAlbumListing& run, const QString& shop, const QString& page, QString& separator,
                       SeenPieces& seen)
{
    if (page.indexOf(QStringView(kNoItems)) > 0) return PageEnd::Last;
    const QString grid = ItemGrid(page);
    if (grid.isEmpty()) return PageEnd::Last;
    QStringList pieces;
    if (!SplitItems(pieces, grid, separator)) {
        DumpText(run.AppDir(), u"taobao.tmp"_s, grid);
        return PageEnd::Last;
    }
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        ST_PERLISTRECORD item;
        item.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
        if (item.strAlbumId.isEmpty()) continue;
        if (!shop.contains(QStringView(kScheme))) {
            DumpText(run.AppDir(), u"log.err"_s, page);
            run.ShowMessage(kReadError);
            return PageEnd::Last;
        }
        // An item an earlier page listed is not listed twice.
        if (!ReadItemDetails(piece, item) || !seen.IsNew(item.strAlbumId)) continue;
        if (!AddAlbumAndGoOn(run, item)) return PageEnd::Last;
    }
    return seen.PageBroughtNew() ? PageEnd::NextPage : PageEnd::Last;
}

void ListShopItems(CAlbumListing& run, const QString& shop)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    QString separator = QString::fromUtf16(kListSeparator);
    SeenPieces seen;
    for (int number = 1;; ++number) {
        const QString page = FetchText(request, response, SearchPageAddress(shop, number), kGbkText);
        if (page.isEmpty() || !seen.StartPage(page)) return;
        if (number == 1) {
            run.listing.m_strOwnerName = OwnerNickname(page);
            QString text = page;
            run.listing.m_strOwnerSubDir = CStringCtrl::StripTags(CStringCtrl::Between(text, u"<ol>", u"</ol>", 0));
        }
        const bool more = HasNextPage(page);
        if (AddItemsOfPage(run, shop, page, separator, seen) == PageEnd::Last || !more) return;
    }
}

// The gallery entry's picture address: the lazy-load one when there is one, else the source.
// The gallery appends a size suffix after the last "_"; an address without one is no picture.
QString FullPictureAddress(QString piece)
{
    const QString address = piece.indexOf(u"lazyload=\"") > 0 ? CStringCtrl::Between(piece, u"lazyload=\"", u"\"", 1)
                                                              : CStringCtrl::LeftOf(piece, u"\"");
    const qsizetype suffix = address.lastIndexOf(u'_');
    return suffix < 0 ? QString() : address.left(suffix);
}

// The price follows the item-description address in the page's script; older pages show it
// only in the price box.
QString PriceOf(QString page)
{
    CStringCtrl::SkipTo(page, Hosts::kTaobaoDescPrefix, true);
    const QString price = CStringCtrl::Between(page, u"defaultItemPrice':'", u"'", 0);
    return price.isEmpty() ? CStringCtrl::Between(page, u"\"tb-rmb-num\">", u"<", 0) : price;
}

QString ThumbGallery(QString page)
{
    CStringCtrl::SkipTo(page, kThumbList, true);
    return CStringCtrl::CutAt(page, u"</ul>") < 0 ? QString() : page;
}

void ListTaobaoItems(CAlbumListing& run, QString& address)
{
    if (address.indexOf(QStringView(kItemPageMark)) > 0)
        ListSingleItem(run, address);
    else
        ListShopItems(run, address);
}

void ListTaobaoPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD item = run.Albums().At(albumIndex);
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    const QString page = FetchText(request, response, item.strAlbumId, kGbkText);
    if (page.isEmpty()) return;
    // Every readable item page names its description host; one that does not is not an item page
    // this lister knows.
    if (page.indexOf(QStringView(Hosts::kTaobaoDescPrefix)) <= 0) {
        DumpText(run.AppDir(), u"log.err"_s, page);
        run.FrontEnd().ShowMessage(kItemReadError);
        return;
    }
    // The price goes into every file name.
    const QString description = item.strName + u"_价格"_s + PriceOf(page) + u"元"_s;

    const QString gallery = ThumbGallery(page);
    // Some galleries show their thumbnails as backgrounds instead of images.
    const QStringView separator = CStringCtrl::Count(gallery, u"src=\"") < 1 ? u"image:url(" : u"src=\"";
    QStringList pieces;
    CStringCtrl::Split(pieces, gallery, separator);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString address = FullPictureAddress(pieces[i]);
        if (!address.contains(QStringView(kScheme))) continue;
        run.AddPicture(address, description, {}, albumIndex);
        if (run.Stopped()) return;
    }
}

void ListTaobaoFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, u"search") || HasAfterStart(address, u"item.")) {
        address.replace(u"pageNum="_s, u"Zrv1="_s);
        address.replace(u"viewType="_s, u"Zrv2="_s);
    } else {
        // A shop's home page becomes its search page. A shop name holding the letters of the
        // top-level domain is cut early; services accept that.
        CutAtAny(address, {Hosts::kTaobaoTopLevel});
        address += QString::fromUtf16(Hosts::kTaobaoTopLevel) + u"/?search=y"_s;
    }
    ListTaobaoItems(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {kNoVariant, ListTaobaoItems, ListTaobaoPhotos},
};
} // namespace

extern const ServiceFamily kTaobaoFamily{"taobao", u"淘宝/天猫店铺宝贝", ListTaobaoFamily, kVariants, 0};
