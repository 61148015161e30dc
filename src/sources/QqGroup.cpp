// QQ group albums: the group's shared albums and their photos come from the group photo host's
// JSONP interface in UTF-8, 12 albums or 15 photos a page. The requests carry the logged-in
// user's number and a token, both read from the group host's login cookies.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Tencent.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
constexpr int kTextFlags = FLAG_DECOMPRESS | FLAG_UTF8;
constexpr int kAlbumsPerPage = 12;
constexpr int kPhotosPerPage = 15;

constexpr char16_t kNotLoggedIn[] = u"message\":\"对不起，您尚未登录";
constexpr char16_t kAlbumMark[] = u"\"coverurl\" : \"";
constexpr char16_t kPhotoMark[] = u"\"burl\" : \"";

const QString kPhotoAddress = QString::fromUtf16(Hosts::kQqGroupPhotoAddress);

struct GroupLogin {
    QString uin; // the logged-in user's number
    std::uint32_t token = 0;
};

GroupLogin ReadGroupLogin()
{
    QString cookies = CURLSource2::GetCookie(QString::fromUtf16(Hosts::kQqGroupCookieAddress)) + u';';
    // The mark begins with a blank, so a "skey" that is the very first cookie is not found and
    // the token is that of the empty text.
    const QString skey = CStringCtrl::Between(cookies, u" skey=", u";", 0);
    // "guin" is written "o" and the number padded with one zero.
    QString uin = CStringCtrl::Between(cookies, u"guin=o", u";", 1);
    if (uin.startsWith(u'0')) uin.remove(0, 1);
    return {uin, CalcGTK(skey)};
}

QString AlbumListUrl(const QString& group, const GroupLogin& login, int start)
{
    // One arg() call: a "%1" in the typed group number is never re-expanded.
    return kPhotoAddress +
           u"/cgi-bin/upp/qun_list_album_v2?qunId=%1&uin=%2&hostUin=%2&start=%3&num=12&userInfo=1&format=jsonp"
           "&platform=qzone&inCharset=utf-8&outCharset=utf-8&source=jsapi&g_tk=%4"_s.arg(
               group, login.uin, QString::number(start), QString::number(login.token));
}

// Adds the albums of one page; false when the listing is to end.
bool AddAlbumsOfPage(CAlbumListing& run, const QStringList& pieces, const QString& group, const GroupLogin& login,
                     SeenPieces& progress)
{
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        const QString id = CStringCtrl::Between(piece, u"\"id\" : \"", u"\"", 0);
        if (!progress.IsNew(id)) continue;
        ST_PERLISTRECORD album;
        album.strCoverUrl = UnescapeSlashes(CStringCtrl::LeftOf(piece, u"\""));
        album.strAlbumId =
            u"qunId=%1&albumId=%2&uin=%3&g_tk=%4"_s.arg(group, id, login.uin, QString::number(login.token));
        album.strName = CStringCtrl::Between(piece, u"\"title\" : \"", u"\"", 0);
        if (album.strName.isEmpty()) continue;
        album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"\"photocnt\" :", u",", 1));
        if (!AddAlbumAndGoOn(run, album)) return false;
    }
    return true;
}

// The large variant of a listed picture: its address ends in "/200" (or has "/200?" before its
// query); "/800" names the large one.
QString LargePicture(const QString& listed)
{
    QString url = listed + u"/800"_s;
    return url.replace(u"\\/"_s, u"/"_s).replace(u"/200/"_s, u"/"_s).replace(u"/200?"_s, u"/800?"_s);
}
} // namespace

void ListQqGroupAlbums(CAlbumListing& run, QString& group)
{
    const GroupLogin login = ReadGroupLogin();
    run.listing.m_strSourceArg1 = login.uin;
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    SeenPieces progress;
    for (int start = 0;; start += kAlbumsPerPage) {
        const QString text = FetchText(request, response, AlbumListUrl(group, login, start), kTextFlags);
        // Not logged in: the list stays empty and the driver tells the user to log in.
        if (text.isEmpty() || text.indexOf(QStringView(kNotLoggedIn)) > 0) return;
        QStringList pieces;
        if (CStringCtrl::Split(pieces, text, kAlbumMark) == 0) return;
        progress.StartPage();
        if (!AddAlbumsOfPage(run, pieces, group, login, progress) || !progress.PageBroughtNew()) return;
    }
}

void ListQqGroupPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    SeenPieces progress;
    for (int start = 0;; start += kPhotosPerPage) {
        const QString url =
            kPhotoAddress + u"/cgi-bin/upp/qun_list_photo_v2?getCommentCnt=5&format=jsonp&platform=qzone"
                            "&inCharset=utf-8&outCharset=utf-8&source=jsapi&%1&t=%2&start=%3&num=15"_s.arg(
                                album.strAlbumId, CStringCtrl::RandomFraction(), QString::number(start));
        const QString text = FetchText(request, response, url, kTextFlags);
        if (text.isEmpty()) return;
        QStringList pieces;
        if (CStringCtrl::Split(pieces, text, kPhotoMark) == 0) return;
        progress.StartPage();
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            QString piece = pieces[i];
            const QString listed = CStringCtrl::LeftOf(piece, u"\"");
            // A picture without an address cannot be fetched, nor serve as the history mark.
            if (!progress.IsNew(listed) || listed.isEmpty()) continue;
            const QString desc = CStringCtrl::Between(piece, u"\"name\" : \"", u"\"", 1);
            run.AddPicture(LargePicture(listed), desc, {}, albumIndex);
            if (run.Stopped()) return;
        }
        if (!progress.PageBroughtNew()) return;
    }
}
