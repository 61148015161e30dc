// Renren user albums. The owner's album list is HTML on the photo host: the first page in full,
// the rest in pages of 40 from an ajax address. One album page can also be listed on its own.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"
#include "sources/Renren.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
// The variants a listing chooses among (SourceSubKind); the stations came later, as 10.
enum RenrenVariant : int { RENREN_PHOTOS = 0, RENREN_ZHAN = 10 };

constexpr int kTextFlags = FLAG_DECOMPRESS | FLAG_UTF8;
constexpr int kListPageSize = 40;
// A longer "name" is not an album title: the page is not an album page.
constexpr qsizetype kMaxAlbumNameChars = 300;
// Marks the part of a list page that holds the albums; a page without it holds no list.
constexpr char16_t kListMarker[] = u"first-page clearfix";

const QString kPhotoAddress = QString::fromUtf16(Hosts::kRenrenPhotoAddress);

QString NoAccessMessage()
{
    return u"错误原因：\n1.你没有登录你的人人帐号(在登录菜单里登录,登录时需要勾上下次自动登录)\n2.你没有该相册的访问权限."_s;
}

void ListSingleAlbum(CAlbumListing& run, const QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    QString page = FetchText(request, response, address, kTextFlags);
    if (page.isEmpty()) return;

    QString tabs = CStringCtrl::Between(page, u"class=\"nav-tabs\">", u"</ul>", 0);
    run.listing.m_strOwnerName = CStringCtrl::StripTags(CStringCtrl::Between(tabs, u"<li>", u"</li>", 1));
    // The owner's own album pages say "my albums" in the first tab; the name is in a hidden field.
    if (run.listing.m_strOwnerName == u"我的相册"_s)
        run.listing.m_strOwnerName = CStringCtrl::Between(page, u"guestName\" value=\"", u"\"", 0);

    CStringCtrl::SkipTo(page, u"class=\"ablum-infor\">", true);
    ST_PERLISTRECORD album;
    album.strName = CStringCtrl::Between(page, u"<h1>", u"<span", 1);
    if (album.strName.size() > kMaxAlbumNameChars) return;
    album.strAlbumId = address;
    album.nPicCount = ReadDecimal(CStringCtrl::Between(page, u"\">(", u"张", 1));
    run.AddAlbum(album);
}

QString ListPageAddress(const QString& ownerId, int pass)
{
    if (pass == 1) return kPhotoAddress + u"/photo/%1/album/relatives?curpage=1"_s.arg(ownerId);
    return kPhotoAddress + u"/photo/%1/album/relatives/ajax?offset=%2&limit=%3"_s.arg(
                               ownerId, QString::number((pass - 1) * kListPageSize), QString::number(kListPageSize));
}

// Some owners' first page is a frame without the list; the asynchronous page then holds the
// whole list at once, and no further page is asked for. False ends the listing.
bool ReadFirstPage(CAlbumListing& run, CURLSource2& request, CURLResponse& response, const QString& ownerId,
                   QString& text, bool& morePages)
{
    if (!text.contains(QStringView(kListMarker))) {
        text = FetchText(request, response, kPhotoAddress + u"/photo/%1?from=homeleft&__view=async-html"_s.arg(ownerId),
                         kTextFlags);
        if (text.isEmpty()) return false;
        if (!text.contains(QStringView(kListMarker))) {
            run.ShowMessage(NoAccessMessage());
            return false;
        }
        morePages = false;
    }
    run.listing.m_strOwnerName = CStringCtrl::Between(text, u"<title>人人网 - ", u"的相册</title>", 1);
    return true;
}

ST_PERLISTRECORD ReadListedAlbum(QString piece)
{
    ST_PERLISTRECORD album;
    album.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
    album.strCoverUrl = CStringCtrl::Between(piece, u"data-src=\"", u"\"", 1);
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"photo-num\">", u"</div>", 1));
    album.strName = CStringCtrl::Between(piece, u"album-name\">", u"</span>", 1);
    // The special albums show an icon where other albums show their title.
    if (album.strName.indexOf(u"class=\"userhead\"") > 0) {
        album.strName = u"头像相册"_s;
    } else if (album.strName.indexOf(u"class=\"phone") > 0) {
        album.strName = u"手机相册"_s;
    } else if (album.strName.indexOf(u"class=\"password") > 0) {
        album.strName = u"加密相册"_s;
        album.nPrivacy |= PRIVACY_PASSWORD;
    }
    return album;
}

// Adds the albums of one list page; false when the page holds none.
bool AddListedAlbums(CAlbumListing& run, QString text)
{
    CStringCtrl::SkipTo(text, u"class=\"album-list", true);
    CStringCtrl::SkipTo(text, u"<ul", true);
    CStringCtrl::CutAt(text, kListMarker);
    QStringList pieces;
    if (CStringCtrl::Split(pieces, text, u"<li>") == 0) return false;
    for (qsizetype i = 1; i < pieces.size(); ++i)
        if (!AddAlbumAndGoOn(run, ReadListedAlbum(pieces[i]))) break;
    return true;
}

void ListOwnerAlbums(CAlbumListing& run, const QString& ownerId)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    bool morePages = true;
    QString previousText;
    for (int pass = 1; morePages; ++pass) {
        QString text = FetchText(request, response, ListPageAddress(ownerId, pass), kTextFlags);
        // A service that ignores the offset answers the same page again: that is the end.
        if (text.isEmpty() || text == previousText) return;
        previousText = text;
        if (pass == 1 && !ReadFirstPage(run, request, response, ownerId, text, morePages)) return;
        if (!AddListedAlbums(run, text) || run.Stopped()) return;
    }
}
} // namespace

void ListRenrenAlbums(CAlbumListing& run, QString& address)
{
    if (address.indexOf(u"/album-") > 0)
        ListSingleAlbum(run, address);
    else
        ListOwnerAlbums(run, address);
}

namespace {
std::optional<QString> LookUpRenrenOwnerId(const QString& name, bool publicPage)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = u"Accept-Encoding: gzip, deflate"_s;
    request.m_strUrl =
        QString::fromUtf16(publicPage ? Hosts::kRenrenPageAddress : Hosts::kRenrenMainAddress) + u'/' + name;
    if (!request.Send(response, 0)) return std::nullopt;
    QString text;
    response.GetText(text, FLAG_DECOMPRESS | FLAG_UTF8);
    QString id = CStringCtrl::Between(text, u"pid: '", u"'", 1);
    if (id.isEmpty()) id = CStringCtrl::Between(text, u"profile_owner =", u";", 1);
    return id.trimmed();
}
void ListRenrenFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, u"/album-")) {
        CutAtAny(address, {u"?"});
        run.listing.m_nSubKind = RENREN_PHOTOS;
        ListRenrenAlbums(run, address);
        return;
    }
    if (address.contains(QStringView(Hosts::kRenrenZhanHost))) {
        run.listing.m_nSubKind = RENREN_ZHAN;
        ListRenrenZhanAlbums(run, address);
        ShowIfNoAlbums(run,
                       u"1、没有获取到相册，需要你在登录菜单里登录一个人人帐号(登录时勾上下次自动登录)后重新获取"_s);
        return;
    }
    const bool publicPage = address.contains(QStringView(Hosts::kRenrenPageHost));
    run.listing.m_nSubKind = RENREN_PHOTOS;
    DropThrough(address, u"id=");
    CutAtAny(address, {u"?", u"/album", u"/profile", u"/channel-"});
    const qsizetype slash = address.lastIndexOf(u'/');
    if (slash > 0) address = address.mid(slash + 1);
    if (!IsDigitsOnly(address)) {
        const std::optional<QString> id = LookUpRenrenOwnerId(address, publicPage);
        if (!id) return;
        address = *id;
    }
    ListRenrenAlbums(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {RENREN_PHOTOS, ListRenrenAlbums, ListRenrenPhotosOrByLink},
    {RENREN_ZHAN, ListRenrenZhanAlbums, ListRenrenZhanPhotos},
};
} // namespace

extern const ServiceFamily kRenrenFamily{"renren", u"人人网/人人小站", ListRenrenFamily, kVariants, -1};
