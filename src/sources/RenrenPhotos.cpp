// Renren album photos. The album's ajax list gives every photo in one JSON answer; when it gives
// none, the album is walked from its first photo's page, each page listing its neighbours.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "core/FileNames.h"
#include "sources/AdapterKit.h"
#include "sources/Renren.h"

#include <optional>

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
constexpr int kTextFlags = FLAG_DECOMPRESS | FLAG_UTF8;
// Positions count down to 1 on the service; the walk starts above any of them.
constexpr int kWalkStartPosition = 6553500;
constexpr char16_t kPhotoBoxMark[] = u"class=\"photoes-box\">";

// One request object serves the whole listing of an album; it starts on the album page.
struct AlbumRequest {
    explicit AlbumRequest(const QString& albumPage) : request(albumPage) { request.m_strHeaders = ListingHeaders(); }
    QString Get(const QString& url) { return FetchText(request, response, url, kTextFlags); }
    CURLSource2 request;
    CURLResponse response;
};

bool MayListAlbum(CPhotoListing& run, const ST_PERLISTRECORD& album)
{
    if (!(album.nPrivacy & PRIVACY_PASSWORD)) return true;
    return AskForPassword(run, u"加密相册,是否输入密码"_s, album.strAlbumId + u"/private"_s);
}

// The album page carries the album's full title. The listed name stays when the page shows no
// title (a login or error page would otherwise rename the album to a time stamp), and when
// another album of the list already bears the title, so that two albums never share one folder.
void RenameAlbum(CPhotoListing& run, int albumIndex, QString title)
{
    if (title.trimmed().isEmpty()) return;
    SanitizeName(title, kTimeStampFallback, true);
    if (run.Albums().HasName(title)) return;
    run.Albums().SetName(albumIndex, title);
}

// Asks the request's current address (the album page on the first pass) and names the album
// after it; the page after its title, or no value when the page could not be had.
std::optional<QString> ReadAlbumPage(CPhotoListing& run, AlbumRequest& album, int albumIndex)
{
    QString text = album.Get(album.request.m_strUrl);
    if (text.isEmpty()) return std::nullopt;
    CStringCtrl::SkipTo(text, u"class=\"ablum-infor\">", true);
    RenameAlbum(run, albumIndex, CStringCtrl::Between(text, u"<h1>", u"<span", 1));
    return text;
}

// A large address without "original_" or "xlarge_" is a reduced copy: the photo's own page
// shows the biggest one, after the last photo box mark.
QString BiggestPicture(AlbumRequest& album, const QString& albumBase, const QString& large, QString& piece)
{
    if (large.contains(u"original_"_s) || large.contains(u"xlarge_"_s)) return large;
    QString owner = albumBase;
    CStringCtrl::CutAt(owner, u"/album-");
    const QString photoId = CStringCtrl::Between(piece, u"\"photoId\":\"", u"\"", 0);
    QString page = album.Get(u"%1/photo-%2/large?xtype=album"_s.arg(owner, photoId));
    const QStringView box(kPhotoBoxMark);
    if (page.indexOf(box) <= 0) return large;
    page.remove(0, page.lastIndexOf(box) + box.size());
    const QString biggest = CStringCtrl::Between(page, u"src=\"", u"\"", 1);
    // A box without a picture address must not lose the photo.
    return biggest.isEmpty() ? large : biggest;
}

struct WalkedPhoto {
    QString url;
    QString title;
    QString link; // the photo's own page, which lists the photos after it
};

WalkedPhoto ReadWalkedPhoto(QString piece, const QString& albumName)
{
    WalkedPhoto photo;
    photo.title = CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"\"originTitle\":\"", u"\"", 1));
    if (photo.title.isEmpty()) photo.title = albumName;
    const QString large = CStringCtrl::Between(piece, u"\"largeurl\":\"", u"\"", 1);
    photo.link = UnescapeSlashes(CStringCtrl::Between(piece, u"\"link\":\"", u"\"", 1));
    photo.url = CStringCtrl::Between(piece, u"\"xLargeUrl\":\"", u"\"", 1);
    if (photo.url.isEmpty()) photo.url = large;
    photo.url = UnescapeSlashes(photo.url);
    return photo;
}
} // namespace

void ListRenrenPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD listed = run.Albums().At(albumIndex);
    AlbumRequest album(listed.strAlbumId);
    if (!MayListAlbum(run, listed)) return;
    QString base = listed.strAlbumId;
    CStringCtrl::CutAt(base, u"?");

    QString previousText;
    for (int page = 0;; ++page) {
        if (run.PictureCount() == 0 && !ReadAlbumPage(run, album, albumIndex)) return;
        // The page size 65535 asks for every photo in one answer.
        const QString listUrl = u"%1/bypage/ajax?curPage=%2&pagenum=65535"_s.arg(base, QString::number(page));
        const QString text = album.Get(listUrl);
        // Past the last page the service answers nothing, or, ignoring the page number, the same
        // list again: that is the end.
        if (page > 0 && text.isEmpty()) EndOfPagesAnswered();
        if (text.isEmpty() || text == previousText) return;
        previousText = text;
        const QString referer = RefererLine(listUrl);
        QStringList pieces;
        if (CStringCtrl::Split(pieces, text, u"\"position\":") == 0) return;
        const QString albumName = run.Albums().At(albumIndex).strName;
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            QString piece = pieces[i];
            const QString large = UnescapeSlashes(CStringCtrl::Between(piece, u"\"largeUrl\":\"", u"\"", 1));
            QString title = CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"\"title\":\"", u"\"", 1));
            if (title.isEmpty()) title = albumName;
            run.AddPicture(BiggestPicture(album, base, large, piece), title, referer, albumIndex);
            if (run.Stopped()) return;
        }
    }
}

void ListRenrenPhotosByLink(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD listed = run.Albums().At(albumIndex);
    AlbumRequest album(listed.strAlbumId);
    if (!MayListAlbum(run, listed)) return;
    int last = kWalkStartPosition;
    QString link;

    for (;;) {
        if (run.PictureCount() == 0) {
            std::optional<QString> page = ReadAlbumPage(run, album, albumIndex);
            if (!page) return;
            CStringCtrl::SkipTo(*page, u"data-info=\"{album:'", true);
            link = CStringCtrl::Between(*page, u"href=\"", u"\"", 1);
        }
        QString text = album.Get(link);
        if (text.isEmpty()) return;
        const QString referer = RefererLine(link);
        if (CStringCtrl::SkipTo(text, u"\"list\":", true) < 0) return;
        QStringList pieces;
        CStringCtrl::Split(pieces, text, u"\"position\":");
        const QString albumName = run.Albums().At(albumIndex).strName;
        bool added = false;
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            // A photo shown again on the next page has the position already taken.
            const int position = ReadDecimal(CStringCtrl::LeftOf(pieces[i], u","));
            if (position >= last) continue;
            last = position;
            const WalkedPhoto photo = ReadWalkedPhoto(pieces[i], albumName);
            link = photo.link;
            run.AddPicture(photo.url, photo.title, referer, albumIndex);
            added = true;
            if (run.Stopped() || position <= 1) return;
        }
        // A page that adds nothing would be asked again with the same link, without end.
        if (!added) return;
    }
}

void ListRenrenPhotosOrByLink(CPhotoListing& run, int album)
{
    ListRenrenPhotos(run, album);
    if (run.PictureCount() == 0 && !run.StopFlag()) ListRenrenPhotosByLink(run, album);
}
