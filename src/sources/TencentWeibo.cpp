// Tencent Weibo topic albums: the owner's numeric id is cut from the owner's photo page, then the
// API host's JSON interface lists the albums (12 a page) and each album's posts (24 a page), in
// UTF-8. The API answers only requests that seem to come from its own proxy page.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Tencent.h"

#include <chrono>

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
constexpr int kTextFlags = FLAG_DECOMPRESS | FLAG_UTF8;

constexpr char16_t kAlbumMark[] = u"\"num\"";
constexpr char16_t kPostMark[] = u"{\"id\":\"";
// The photo list takes this fixed token whoever is logged in.
constexpr char16_t kPhotoListToken[] = u"6180342";

const QString kApiAddress = QString::fromUtf16(Hosts::kTencentWeiboApiAddress);
const QString kApiHostParam = QString::fromUtf16(Hosts::kTencentWeiboApiAddressEncoded);

// Taken while the program starts, so that the clock below counts from the process start.
const std::chrono::steady_clock::time_point kProcessStart = std::chrono::steady_clock::now();

// Milliseconds since the process started: the service takes the value as its token.
QString ProcessClock()
{
    const auto elapsed = std::chrono::steady_clock::now() - kProcessStart;
    return QString::number(quint32(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
}

void PrepareRequest(CURLSource2& request)
{
    request.m_strHeaders = ListingHeaders(QString::fromUtf16(Hosts::kTencentWeiboApiReferer));
}

// One album of the list, the piece after its "num" mark, walked in the order the service writes
// the fields: count, name, type or topic id, cover. False for an entry without name or id.
bool ReadAlbum(QString piece, ST_PERLISTRECORD& album)
{
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u":", u",", 1));
    album.strName = CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"name\":\"", u"\",\"", 1));
    // A "type" album (all photos, all forwarded...) has no count of its own.
    album.strAlbumId = CStringCtrl::Between(piece, u"\"type\":\"", u"\"", 1);
    if (!album.strAlbumId.isEmpty())
        album.nPicCount = -1;
    else
        album.strAlbumId = CStringCtrl::Between(piece, u"\"topicid\":\"", u"\"", 1);
    if (album.strAlbumId.isEmpty() || album.strName.isEmpty()) return false;
    const QString cover = UnescapeSlashes(CStringCtrl::Between(piece, u"image\":[\"", u"\"", 1));
    // "/240" names the small variant; an album without a picture keeps no cover.
    album.strCoverUrl = cover.isEmpty() ? QString() : cover + u"/240"_s;
    return true;
}
} // namespace

void ListTencentWeiboAlbums(CAlbumListing& run, QString& pageName)
{
    CURLSource2 request;
    CURLResponse response;
    PrepareRequest(request);
    QString owner = FetchText(
        request, response,
        QString::fromUtf16(Hosts::kTencentWeiboAddress) + u"/app/qzphoto/"_s + pageName + u"?preview"_s, kTextFlags);
    if (owner.isEmpty()) return;
    // The page names the visitor too: only the guest's id is the owner's, and without it the
    // interface would answer for nobody, or for the visitor.
    if (CStringCtrl::SkipTo(owner, u"MI.App.guest", true) < 0) return;
    run.listing.m_strSourceArg1 = CStringCtrl::Between(owner, u"uin\":\"", u"\"", 1);
    if (run.listing.m_strSourceArg1.isEmpty()) return;

    const QString& ownerId = run.listing.m_strSourceArg1;
    WalkPages(
        {request, kTextFlags},
        [&ownerId](int page) {
            return kApiAddress +
                   u"/asyn/gettopicalbum.php?op=1&uin=%1&page=%2&n=12&apiType=14&apiHost="_s.arg(
                       ownerId, QString::number(page)) +
                   kApiHostParam + u"&_r=1382084292800&g_tk="_s + ProcessClock();
        },
        [&run](QString& text, int, SeenPieces& seen) {
            QStringList pieces;
            if (CStringCtrl::Split(pieces, text, kAlbumMark) == 0) return false;
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                ST_PERLISTRECORD album;
                const bool complete = ReadAlbum(pieces[i], album);
                if (!seen.IsNew(album.strAlbumId) || !complete) continue;
                if (!AddAlbumAndGoOn(run, album)) return false;
            }
            return true;
        });
}

namespace {
// A post's text: "\u" escapes decoded, tags removed. Each call walks the piece past the mark.
QString ReadContent(QString& piece)
{
    return UnescapeSlashes(CStringCtrl::StripTags(
        CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"content\":\"", u"\",\"", 1))));
}

struct Post {
    QString picture;
    QString description;
    QString continuation; // what the next page's address needs
};

Post ReadPost(QString piece, const CPhotoListing& run, const QString& albumName)
{
    Post post;
    post.description = ReadContent(piece);
    const QString image = UnescapeSlashes(CStringCtrl::Between(piece, u"image\":[\"", u"\"", 1));
    // "/2000" names the largest variant.
    if (!image.isEmpty()) post.picture = image + u"/2000"_s;
    post.continuation = u"&time=%1&r=%2&u=%3"_s.arg(CStringCtrl::Between(piece, u"realtime\":", u",", 1),
                                                    ProcessClock(), run.listing.m_strSourceArg2);
    // The piece is past the first text now: a forwarded post's own text follows.
    if (post.description.isEmpty()) post.description = ReadContent(piece);
    if (post.description.isEmpty()) post.description = albumName;
    return post;
}
} // namespace

void ListTencentWeiboPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    CURLSource2 request;
    PrepareRequest(request);
    QString continuation; // from the last post of the previous page
    WalkPages(
        {request, kTextFlags},
        [&](int page) {
            QString url = kApiAddress +
                          u"/asyn/gettopicalbum.php?op=2&uin=%1&page=%2&n=24&topicid=%3&apiType=14&apiHost="_s.arg(
                              run.listing.m_strSourceArg1, QString::number(page), album.strAlbumId) +
                          kApiHostParam + u"&_r=1382325110273&g_tk="_s + QString::fromUtf16(kPhotoListToken);
            return page > 1 ? url + continuation : url;
        },
        [&](QString& text, int, SeenPieces& seen) {
            QStringList pieces;
            if (CStringCtrl::Split(pieces, text, kPostMark) == 0) return false;
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                const Post post = ReadPost(pieces[i], run, album.strName);
                continuation = post.continuation;
                // A post without a picture cannot be fetched, nor serve as the history mark.
                if (!seen.IsNew(CStringCtrl::LeftOf(pieces[i], u"\"")) || post.picture.isEmpty()) continue;
                run.AddPicture(post.picture, post.description, {}, albumIndex);
                if (run.Stopped()) return false;
            }
            return true;
        });
}
