// QQ Zone: a route lookup names the owner's album-list, photo-list and "nu" hosts; the album and
// photo lists are JSONP in GBK, cut at fixed marks.

#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Tencent.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
constexpr int kTextFlags = FLAG_DECOMPRESS; // answers are GBK

const QString kUserAddress = QString::fromUtf16(Hosts::kQzoneUserAddress);

struct QzoneCookies {
    QString skey;
    QString uin; // the logged-in user's number
};

QzoneCookies ReadCookies()
{
    // The marks begin with a blank, so the very first cookie of the text is never found.
    const QString cookies = CURLSource2::GetCookie(kUserAddress) + u';';
    QString walk = cookies;
    QString uin = CStringCtrl::Between(walk, u" uin=", u";", 1);
    uin.remove(u'o');
    QString skeyText = cookies;
    return {CStringCtrl::Between(skeyText, u" skey=", u";", 0), uin};
}

int PrivacyFromText(const QString& priv)
{
    if (priv.contains(u'3')) return PRIVACY_PRIVATE;
    if (priv.contains(u'4') || priv.contains(u'6')) return PRIVACY_FRIENDS;
    if (priv.contains(u'5')) return PRIVACY_PASSWORD;
    return 0;
}

// The route answer names the hosts; the album-list host goes into m_strSourceArg1 until the
// album list is requested, then the photo-list host replaces it.
struct QzoneRoute {
    QString albumHost;
    QString photoHost;
    QString nuHost;
};

QzoneRoute ReadRoute(QString route)
{
    QzoneRoute hosts;
    const QString name = CStringCtrl::Between(route, u"default\":\"", u"\"", 1);
    CStringCtrl::SkipTo(route, QString(name + u"\":"_s), true);
    hosts.nuHost = CStringCtrl::Between(route, u"\"nu\":\"", u"\"", 1);
    hosts.albumHost = CStringCtrl::Between(route, u"\"p\":\"", u"\"", 1);
    hosts.albumHost.replace(u"sznewp"_s, u"alist"_s).replace(u"xanewp"_s, u"xalist"_s);
    hosts.photoHost = CStringCtrl::Between(route, u"\"s\":\"", u"\"", 1);
    hosts.photoHost.replace(u"static"_s, u"plist"_s);
    return hosts;
}

// An error answer instead of the list: the service's own word when it says we ask too often,
// otherwise an offer to verify the visitor in the login browser.
void HandleAlbumListError(CAlbumListing& run, QString text, const QString& number)
{
    const QString message = CStringCtrl::Between(text, u"\"msg\" : \"", u"\"", 0);
    if (message.indexOf(u"您的操作过于频繁"_s) > 0) {
        run.ShowMessage(message);
        return;
    }
    if (run.FrontEnd().AskYesNo(u"加密或非公开空间，是否进行身份验证?\n(验证成功后请重新获取相册列表)"_s))
        run.FrontEnd().OpenLoginPage(kUserAddress + number);
}

void AddAlbumsFromList(CAlbumListing& run, const QString& text, const QString& number)
{
    QStringList pieces;
    if (CStringCtrl::Split(pieces, text, u"\"id\" : \"") == 0) return;
    ST_PERLISTRECORD album;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        album.strAlbumId = u"hostUin=%1&albumid=%2"_s.arg(number, CStringCtrl::LeftOf(piece, u"\""));
        album.strName = CStringCtrl::Between(piece, u"\"name\" : \"", u"\"", 1);
        if (album.strName.isEmpty()) continue;
        album.strCoverUrl = UnescapeSlashes(CStringCtrl::Between(piece, u"\"pre\" : \"", u"\"", 1));
        album.nPrivacy = PrivacyFromText(CStringCtrl::Between(piece, u"\"priv\" :", u",", 1));
        album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"\"total\" :", u",", 1));
        if (!AddAlbumAndGoOn(run, album)) return;
    }
}
} // namespace

std::uint32_t CalcGTK(const QString& skey)
{
    std::uint32_t hash = 5381;
    for (QChar unit : skey)
        hash = hash * 33 + unit.unicode();
    return hash & 0x7FFFFFFF;
}

void ListQzoneAlbums(CAlbumListing& run, QString& number)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders(kUserAddress + number);
    const std::optional<QString> route =
        Fetch(request, response,
              QString::fromUtf16(Hosts::kQzoneRouteAddress) + u"/GetRoute?UIN=%1&version=2&type=json"_s.arg(number),
              kTextFlags);
    if (!route) {
        run.ShowMessage(u"QQ空间相册错误1"_s);
        return;
    }
    const QzoneRoute hosts = ReadRoute(*route);
    run.listing.m_strSourceArg2 = hosts.nuHost;
    const QzoneCookies cookies = ReadCookies();
    // One arg() call: a "%1" inside the typed number or the route's host is never re-expanded.
    const QString listUrl = u"http://%1/fcgi-bin/fcg_list_album_v2?hostUin=%2&format=jsonp&plat=qzone&source=qzone"
                            "&t=%3&g_tk=%4"_s.arg(hosts.albumHost, number, CStringCtrl::RandomFraction(),
                                                  QString::number(CalcGTK(cookies.skey)));
    run.listing.m_strSourceArg1 = hosts.photoHost;

    const QString text = FetchText(request, response, listUrl, kTextFlags);
    if (text.isEmpty()) return;
    if (text.indexOf(u"\"msg\" : \""_s) > 0) {
        HandleAlbumListError(run, text, number);
        return;
    }
    AddAlbumsFromList(run, text, number);
}

namespace {
QString PhotoListUrl(const CPhotoListing& run, const ST_PERLISTRECORD& album, bool viaNuHost)
{
    const QzoneCookies cookies = ReadCookies();
    // One arg() call: an album id from the page may hold "%2F" and the like.
    const QString query =
        u"?inCharset=gbk&outCharset=gbk&format=jsonp&plat=qzone&source=qzone&%1&t=%2&g_tk=%3&uin=%4"_s.arg(
            album.strAlbumId, CStringCtrl::RandomFraction(), QString::number(CalcGTK(cookies.skey)), cookies.uin);
    if (!viaNuHost) return u"http://"_s + run.listing.m_strSourceArg1 + u"/fcgi-bin/fcg_list_photo_v2"_s + query;
    QString url = u"http://"_s + run.listing.m_strSourceArg2 + u"/cgi-bin/common/cgi_view_album_v2"_s + query;
    return url.replace(u"albumid="_s, u"albumId="_s);
}

QString PasswordPage(const ST_PERLISTRECORD& album)
{
    QString path = album.strAlbumId;
    path.remove(u"hostUin="_s).replace(u"&albumid="_s, u"/photo/"_s);
    return kUserAddress + path;
}
} // namespace

void ListQzonePhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders(kUserAddress + run.listing.m_strAddress);
    // A public album is asked of the fast host first and, when that lists nothing, of the "nu"
    // host; other albums go to the "nu" host at once.
    for (bool retry = false;; retry = true) {
        const QString url = PhotoListUrl(run, album, retry || album.nPrivacy != 0);
        QString text = FetchText(request, response, url, kTextFlags);
        if (text.isEmpty()) return;
        if (text.indexOf(u"\"message\":\"对不起"_s) > 0 && (album.nPrivacy & PRIVACY_PASSWORD) &&
            AskForPassword(run, u"加密相册，是否输入密码？"_s, PasswordPage(album))) {
            text = FetchText(request, response, url, kTextFlags);
            if (text.isEmpty()) return;
        }
        QStringList pieces;
        if (CStringCtrl::Split(pieces, text, u"\"batchId\"") == 0) {
            if (url.contains(u"/cgi-bin/common"_s) || retry) return;
            continue;
        }
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            QString piece = pieces[i];
            const QString desc = CStringCtrl::Between(piece, u"\"name\" : \"", u"\"", 1);
            const QString picture = UnescapeSlashes(CStringCtrl::Between(piece, u"\"origin_url\" : \"", u"\"", 1));
            run.AddPicture(picture, desc, {}, albumIndex);
            if (run.Stopped()) return;
        }
        return;
    }
}
