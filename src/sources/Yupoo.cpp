// Yupoo: an owner's album list is HTML paged as ".../albums/pageN/"; an album's detail view lists
// its photos in a script, and each photo's full-size page names the picture worth downloading.
// Every page is asked for with itself as the referring page.
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

constexpr int kTextFlags = FLAG_DECOMPRESS | FLAG_UTF8;
// The service answers a short error page now and then; such an answer is tried again.
constexpr quint32 kShortestPage = 100;
constexpr quint8 kAttempts = 4;
constexpr quint8 kRetryDelaySeconds = 4;
constexpr qint32 kConnectTimeoutMs = 15000;
constexpr int kLongestAlbumName = 300;

constexpr char kFooterMark[] = "id=\"footer\">";
constexpr char16_t kItemMark[] = u"class=\"set-case\">";
constexpr char16_t kOldItemMark[] = u"class=\"SetCase";
// The disabled "next" link is a span of that class; a live one carries an href first.
constexpr char16_t kLastPageMark[] = u"nextprev\">下一页";
constexpr char16_t kProtectedCover[] = u"default_set_photo.gif";
constexpr char16_t kPasswordField[] = u"album_password\">访问密码";
constexpr char16_t kSizeWithheld[] = u"无法查看该照片的原图";
constexpr char16_t kPasswordQuestion[] = u"加密相册,是否输入密码";
constexpr char16_t kLoginHint[] = u"请先在登录菜单里登录你的又拍帐号,登录时勾上下次自动登录";

void UseRetryPolicy(CURLSource2& request)
{
    request.m_nMinLength = kShortestPage;
    request.m_nRetries = kAttempts;
    request.m_nRetryDelay = kRetryDelaySeconds;
}

// Sets the request up to ask for url with url itself as the referring page.
QString AsOwnPage(CURLSource2& request, QString url)
{
    request.m_strHeaders = ListingHeaders(url);
    return url;
}

// No value when the request failed.
std::optional<QString> FetchOwnPage(CURLSource2& request, CURLResponse& response, const QString& url)
{
    return Fetch(request, response, AsOwnPage(request, url), kTextFlags);
}

QString FetchPage(CURLSource2& request, CURLResponse& response, const QString& url)
{
    return FetchOwnPage(request, response, url).value_or(QString());
}

QString OwnerFromTitle(QString& page, bool albumPage)
{
    QString owner = CStringCtrl::Between(page, u"<title>", u"的相册", 1);
    // An album page's title names the album and the site before the owner.
    if (albumPage) {
        CStringCtrl::SkipTo(owner, u"-", true);
        CStringCtrl::SkipTo(owner, u"_", true);
    }
    SanitizeName(owner, kTimeStampFallback, true);
    return owner;
}

// Album addresses on the list may be paths; they belong to the host the list came from.
QString AbsoluteAlbumAddress(const QString& id, const QString& listAddress)
{
    if (id.contains(u"http://"_s)) return id;
    const bool onVHost = listAddress.indexOf(QStringView(Hosts::kYupooVHost)) > 0;
    return QString::fromUtf16(onVHost ? Hosts::kYupooVAddress : Hosts::kYupooWwwAddress) + id;
}

ST_PERLISTRECORD ReadListItem(QString piece, const QString& listAddress)
{
    ST_PERLISTRECORD album;
    album.nPrivacy = 0;
    album.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
    // Covers load lazily: the real address is in src_data, src holds a placeholder.
    album.strCoverUrl = CStringCtrl::Between(piece, u"src_data=\"", u"\"", 1);
    if (album.strCoverUrl.isEmpty()) album.strCoverUrl = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    album.strName = CStringCtrl::Between(piece, u"alt=\"", u"\"", 1);
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"<b>", u"</b>", 1));
    if (album.strCoverUrl.indexOf(QStringView(kProtectedCover)) > 0) album.nPrivacy |= PRIVACY_PASSWORD;
    album.strAlbumId = AbsoluteAlbumAddress(album.strAlbumId, listAddress);
    return album;
}

void ListOwnerAlbums(CAlbumListing& run, const QString& address)
{
    CURLSource2 request;
    UseRetryPolicy(request);
    request.m_strEndMark = kFooterMark;
    QString itemMark = QString::fromUtf16(kItemMark);
    WalkPages(
        {request, kTextFlags},
        [&](int page) { return AsOwnPage(request, address + u"page"_s + QString::number(page) + u"/"_s); },
        [&](QString& text, int page, SeenPieces& seen) {
            const bool lastPage = text.indexOf(QStringView(kLastPageMark)) > 0;
            if (page == 1) {
                run.listing.m_strOwnerName = OwnerFromTitle(text, false);
                // Older list pages wrap each album in a differently named box; the first page tells.
                if (CStringCtrl::Count(text, itemMark) == 0) itemMark = QString::fromUtf16(kOldItemMark);
            }
            QStringList pieces;
            if (CStringCtrl::Split(pieces, text, itemMark) == 0) return false;
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                const ST_PERLISTRECORD album = ReadListItem(pieces[i], address);
                if (seen.IsNew(album.strAlbumId) && !AddAlbumAndGoOn(run, album)) return false;
            }
            return !lastPage;
        });
}

void ListOneAlbum(CAlbumListing& run, const QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    UseRetryPolicy(request);
    request.m_strEndMark = kFooterMark;
    QString url = address;
    CStringCtrl::CutAt(url, u"?");
    QString text = FetchPage(request, response, url);
    if (text.isEmpty()) return;

    run.listing.m_strOwnerName = OwnerFromTitle(text, true);
    ST_PERLISTRECORD album;
    album.strName = CStringCtrl::Between(text, u"class=\"albumOwner\">", u"</span>", 1);
    if (album.strName.isEmpty()) album.strName = CStringCtrl::Between(text, u"的相册</a> /", u"</", 1);
    // A start mark whose end mark lies far off cuts a stretch of the page: that is no album name.
    if (album.strName.size() > kLongestAlbumName) return;
    album.nPicCount = ReadDecimal(CStringCtrl::Between(text, u"(", u"张", 1));
    album.strAlbumId = url;
    album.nPrivacy = 0;
    AddAlbumAndGoOn(run, album);
}

void ListYupooAlbums(CAlbumListing& run, QString& address)
{
    QString probe = address;
    if (!CStringCtrl::Between(probe, u"albums/", u"/", 0).isEmpty())
        ListOneAlbum(run, address);
    else
        ListOwnerAlbums(run, address);
}

struct AlbumWalk {
    CPhotoListing& run;
    const ST_PERLISTRECORD album;
    const int index;
    const QString owner; // the owner's photo address, ending in "/"
    CURLSource2 request{};
    CURLResponse response{};
};

// A protected album shows its password field on the first page; after the user has entered the
// password in the login browser the page is asked for again.
bool OpenProtectedAlbum(AlbumWalk& walk, const QString& url, QString& text)
{
    if (!(walk.album.nPrivacy & PRIVACY_PASSWORD) || text.indexOf(QStringView(kPasswordField)) <= 0) return true;
    if (!AskForPassword(walk.run, QString::fromUtf16(kPasswordQuestion), url)) return false;
    text = FetchPage(walk.request, walk.response, url);
    return !text.isEmpty();
}

enum class Outcome { Added, Stop };

// The full-size page names the original picture; without it the thumbnail is taken.
Outcome AddPhoto(AlbumWalk& walk, QString piece)
{
    const QString id = CStringCtrl::LeftOf(piece, u"'");
    QString title = CStringCtrl::Between(piece, u"title:'", u"'", 1);
    if (title.isEmpty()) title = CStringCtrl::Between(piece, u"description:'", u"'", 1);
    if (title.isEmpty()) title = walk.album.strName;
    QString url = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);

    const std::optional<QString> page =
        FetchOwnPage(walk.request, walk.response, walk.owner + id + u"/zoom/original/"_s);
    if (page) {
        if (page->contains(QStringView(kSizeWithheld))) {
            walk.run.FrontEnd().ShowMessage(QString::fromUtf16(kLoginHint));
            return Outcome::Stop;
        }
        QString rest = *page;
        const QString img = CStringCtrl::Between(rest, u"<img src=\"", u"\"", 1);
        if (img.contains(u"http"_s)) url = img;
    }
    if (url.isEmpty()) return Outcome::Added;
    walk.run.AddPicture(url, title, {}, walk.index);
    return walk.run.Stopped() ? Outcome::Stop : Outcome::Added;
}

void ListYupooPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    QString owner = album.strAlbumId;
    CStringCtrl::CutAt(owner, u"albums/");
    AlbumWalk walk{run, album, albumIndex, owner};
    walk.request.m_nConnectTimeout = kConnectTimeoutMs;
    UseRetryPolicy(walk.request);

    const auto detailPage = [&album](int page) {
        return album.strAlbumId + u"page"_s + QString::number(page) + u"/?style=detail"_s;
    };
    WalkPages(
        {walk.request, kTextFlags}, [&](int page) { return AsOwnPage(walk.request, detailPage(page)); },
        [&](QString& text, int page, SeenPieces& seen) {
            if (page == 1 && !OpenProtectedAlbum(walk, detailPage(page), text)) return false;
            QStringList pieces;
            if (CStringCtrl::Split(pieces, text, u"photos['") == 0) return false;
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                if (seen.IsNew(CStringCtrl::LeftOf(pieces[i], u"'")) && AddPhoto(walk, pieces[i]) == Outcome::Stop)
                    return false;
            }
            return true;
        });
}

void ListYupooFamily(CAlbumListing& run, QString& address)
{
    address.replace(u"/collections/"_s, u"/albums/"_s);
    if (HasAfterStart(address, Hosts::kYupooPersonalSuffix)) {
        DropThrough(address, kHttpScheme);
        CutAtAny(address, {u".v"});
        address = QString::fromUtf16(Hosts::kYupooVAddress) + u"/photos/"_s + address + u"/albums/"_s;
    } else if (address.contains(QStringView(Hosts::kYupooVAddress)) ||
               address.contains(QStringView(Hosts::kYupooWwwHostSlash))) {
        CutAtAny(address, {u"page"});
    } else {
        DropThrough(address, kHttpScheme);
        CutAtAny(address, {Hosts::kYupooDotLabel});
        address = QString::fromUtf16(Hosts::kYupooWwwAddress) + u"/photos/"_s + address + u"/albums/"_s;
    }
    ListYupooAlbums(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {kNoVariant, ListYupooAlbums, ListYupooPhotos},
};
} // namespace

extern const ServiceFamily kYupooFamily{"yupoo", u"又拍网", ListYupooFamily, kVariants, 0};
