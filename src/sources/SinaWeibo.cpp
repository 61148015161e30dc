// Sina Weibo photo albums: the owner's id and name are cut from the home page, then the album
// list and each album's photo pages come from the photo host's JSON interface, in UTF-8.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "core/FileNames.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Sina.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
constexpr int kTextFlags = FLAG_DECOMPRESS | FLAG_UTF8;
// The photo interface answers 32 photos a page.
constexpr int kPhotosPerPageShift = 5;
constexpr quint8 kPhotoPageAttempts = 3;
constexpr quint8 kPhotoPageRetryDelaySeconds = 4;

const QString kPhotoAddress = QString::fromUtf16(Hosts::kWeiboPhotoAddress);

struct WeiboOwner {
    QString id;
    QString name;
};

// The home page's script names its owner with blanks around "=" or without; pages that have
// neither carry the owner only in their embedded JSON. The name is looked for after the id.
WeiboOwner ReadOwner(QString page)
{
    struct ScriptMarks {
        const char16_t* id;
        const char16_t* name;
    };
    static constexpr ScriptMarks kScriptForms[] = {{u"['oid'] = '", u"['onick'] = '"}, {u"['oid']='", u"['onick']='"}};
    WeiboOwner owner;
    for (const ScriptMarks& form : kScriptForms) {
        if (page.indexOf(QStringView(form.id)) <= 0) continue;
        owner.id = CStringCtrl::Between(page, form.id, u"'", 1);
        owner.name = CStringCtrl::Between(page, form.name, u"'", 1);
        return owner;
    }
    owner.id = CStringCtrl::Between(page, u"\"id\":", u",", 1);
    owner.name = CStringCtrl::Between(page, u"\"name\":\"", u"\"", 1);
    return owner;
}

// One album of the album list, the piece after its "album_id" mark. Each cut walks the piece
// on, so the fields are found only in the order the service writes them: type, caption,
// cover, photo count. False for a piece without an album id.
bool ReadAlbum(QString piece, const QString& ownerId, ST_PERLISTRECORD& album)
{
    const QString albumId = CStringCtrl::LeftOf(piece, u"\",");
    if (albumId.isEmpty()) return false;
    const QString type = CStringCtrl::Between(piece, u"type\":", u",", 1);
    album.strAlbumId =
        kPhotoAddress + u"/photos/get_all?uid=%1&album_id=%2&count=32&type=%3&page="_s.arg(ownerId, albumId, type);
    album.strName = CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"\"caption\":\"", u"\"", 1));
    album.strCoverUrl = UnescapeSlashes(CStringCtrl::Between(piece, u"cover_pic\":\"", u"\"", 1));
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"\"photos\":", u",", 1));
    album.nPrivacy = 0;
    return true;
}

void AddAlbums(CAlbumListing& run, const QString& list, const QString& ownerId)
{
    QStringList pieces;
    CStringCtrl::Split(pieces, list, u"\"album_id\":\"");
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        ST_PERLISTRECORD album;
        if (!ReadAlbum(pieces[i], ownerId, album)) continue;
        if (!AddAlbumAndGoOn(run, album)) return;
    }
}
} // namespace

void ListSinaWeiboAlbums(CAlbumListing& run, QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    // The photo host knows the visitor only by the main site's login cookies.
    request.m_strHeaders = u"%1\r\ncookie: %2"_s.arg(
        QString::fromUtf16(kAcceptGzip), CURLSource2::GetCookie(QString::fromUtf16(Hosts::kWeiboRootAddress)));
    const QString page = FetchText(request, response, address, kTextFlags);
    if (page.isEmpty()) return;
    DumpText(run.AppDir(), u"1.tmp"_s, page);

    const WeiboOwner owner = ReadOwner(page);
    run.listing.m_strSourceArg1 = owner.id;
    run.listing.m_strOwnerName = owner.name;
    SanitizeName(run.listing.m_strOwnerName, kTimeStampFallback, true);
    if (owner.id.isEmpty()) return;

    // A count this large asks for every album in one answer.
    const QString list =
        FetchText(request, response, kPhotoAddress + u"/albums/get_all?uid=%1&count=65535"_s.arg(owner.id), kTextFlags);
    if (list.isEmpty()) return;
    AddAlbums(run, list, owner.id);
}

namespace {
// The first page is asked for whatever the count says. A count the service gives as negative
// means "unknown" and asks for that page only.
int PageCount(int photoCount)
{
    return photoCount <= 0 ? 0 : int((quint32(photoCount) + 31u) >> kPhotosPerPageShift);
}

// A picture host followed by a path, with one "/" between them however the host is written.
QString OnHost(const QString& host, const QString& path)
{
    return host.endsWith(u'/') ? host + path : host + u'/' + path;
}

// The full-size address when the photo has one; otherwise it is built from the picture's host
// and name: type 0 are profile pictures, kept per owner at 180 pixels.
QString PictureAddress(QString& piece, const QString& ownerId)
{
    const QString original = UnescapeSlashes(CStringCtrl::Between(piece, u"original_pic\":\"", u"\"", 1));
    if (!original.isEmpty()) return original;
    const QString type = CStringCtrl::Between(piece, u"pic_type\":", u",", 0);
    const QString name = UnescapeSlashes(CStringCtrl::Between(piece, u"pic_name\":\"", u"\"", 0));
    const QString host = UnescapeSlashes(CStringCtrl::Between(piece, u"pic_host\":\"", u"\"", 0));
    return type == u"0"_s ? OnHost(host, ownerId + u"/180/"_s + name) : OnHost(host, u"large/"_s + name);
}

// Adds the photos of one page; false when the download was told to end.
bool AddPhotosOfPage(CPhotoListing& run, const QString& text, const ST_PERLISTRECORD& album, int albumIndex,
                     SeenPieces& seen)
{
    QStringList pieces;
    CStringCtrl::Split(pieces, text, u"photo_id\":");
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        if (!seen.IsNew(CStringCtrl::LeftOf(piece, u","))) continue;
        QString description = CStringCtrl::StripTags(
            CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"\"caption\":\"", u"\",\"", 0)));
        if (description.isEmpty()) description = album.strName;
        run.AddPicture(PictureAddress(piece, run.listing.m_strSourceArg1), description, {}, albumIndex);
        if (run.Stopped()) return false;
    }
    return true;
}
} // namespace

void ListSinaWeiboPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    CURLSource2 request;
    request.m_strHeaders = QString::fromUtf16(kAcceptGzip);
    request.m_nRetries = kPhotoPageAttempts;
    request.m_nRetryDelay = kPhotoPageRetryDelaySeconds;
    const int pages = PageCount(album.nPicCount);
    // The count, not the pages, tells where the album ends: a page without photos does not.
    WalkPages(
        {.request = request, .textFlags = kTextFlags, .pageWithoutPiecesEnds = false},
        [&album](int page) { return album.strAlbumId + QString::number(page); },
        [&](QString& text, int page, SeenPieces& seen) {
            DumpText(run.AppDir(), u"sinawb.tmp"_s, text);
            return AddPhotosOfPage(run, text, album, albumIndex, seen) && page < pages;
        });
}
