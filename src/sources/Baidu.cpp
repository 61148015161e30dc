// Baidu album: the owner's album page (HTML) lists every album at once; an album's pictures come
// from the album host's JSON interface, 100 a page, as thumbnail addresses that are turned into
// the addresses of the full-size pictures.
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

// The album blocks end before the page's feedback area: reading stops there.
constexpr char kAlbumPageEnd[] = "id=\"feedback\"";
constexpr char16_t kAlbumMark[] = u"class='content-album'";
constexpr char16_t kPictureMark[] = u"picture_name";
constexpr char16_t kFullSizePath[] = u"album/pic/item";

// One album block, walked in the order the page writes it: sign, cover, count, name.
bool ReadAlbum(QString piece, ST_PERLISTRECORD& album)
{
    album.strAlbumId = CStringCtrl::Between(piece, u"sign='", u"'", 1);
    if (album.strAlbumId.isEmpty()) return false;
    album.strCoverUrl = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"<span>", u"<", 1));
    CStringCtrl::SkipTo(piece, u"content-album-name yahei", true);
    album.strName = CStringCtrl::Between(piece, u"'>", u"</", 1);
    album.nPrivacy = 0;
    return true;
}

void ListBaiduAlbums(CAlbumListing& run, QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    request.m_strEndMark = kAlbumPageEnd;
    QString text = FetchText(request, response, address, kTextFlags);
    if (text.isEmpty()) return;
    run.listing.m_strOwnerName = CStringCtrl::Between(text, u"user_name'>", u"</", 1);

    QStringList pieces;
    CStringCtrl::Split(pieces, text, kAlbumMark);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        ST_PERLISTRECORD album;
        if (!ReadAlbum(pieces[i], album)) continue;
        if (!AddAlbumAndGoOn(run, album)) return;
    }
}

// The full-size picture of a listed thumbnail: everything from the thumbnail's first "album" up
// to its file name becomes "album/pic/item". A thumbnail without "album" has no such path to
// rewrite and is fetched as listed.
QString FullSizePicture(const QString& thumbnail)
{
    const qsizetype album = thumbnail.indexOf(u"album"_s);
    if (album < 0) return thumbnail;
    const qsizetype slash = thumbnail.lastIndexOf(u'/');
    const QString filePart = slash < 0 ? thumbnail : thumbnail.mid(slash);
    return thumbnail.left(album) + QString::fromUtf16(kFullSizePath) + filePart;
}

void ListBaiduPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    SeenPieces progress;
    // The index of the first picture wanted: it moves on by the pictures each page listed.
    for (qsizetype pn = 0;;) {
        const QString url = QString::fromUtf16(Hosts::kBaiduAlbumAddress) +
                            u"/picture/album/list/%1?format=json&size=100&pn=%2&width=80&t=%3&resolution=1280"_s.arg(
                                album.strAlbumId, QString::number(pn), CStringCtrl::RandomFraction());
        const QString text = FetchText(request, response, url, kTextFlags);
        if (text.isEmpty()) return;
        QStringList pieces;
        pn += CStringCtrl::Split(pieces, text, kPictureMark);
        if (pieces.isEmpty()) return;
        progress.StartPage();
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            QString piece = pieces[i];
            QString desc = CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"\":\"", u"\"", 1));
            if (desc.isEmpty()) desc = album.strName;
            const QString thumbnail = UnescapeSlashes(CStringCtrl::Between(piece, u"img_src\":\"", u"\"", 1));
            // A picture without an address cannot be fetched, nor serve as the history mark.
            if (!progress.IsNew(thumbnail) || thumbnail.isEmpty()) continue;
            run.AddPicture(FullSizePicture(thumbnail), desc, {}, albumIndex);
            if (run.Stopped()) return;
        }
        if (!progress.PageBroughtNew()) return;
    }
}

void ListBaiduFamily(CAlbumListing& run, QString& address)
{
    ListBaiduAlbums(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {kNoVariant, ListBaiduAlbums, ListBaiduPhotos},
};
} // namespace

extern const ServiceFamily kBaiduFamily{"baidu", u"百度相册", ListBaiduFamily, kVariants, 0};
