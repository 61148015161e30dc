// POCO. Album and theme pages name a user: the album host's overview pages list that user's
// albums, and each album's photo list pages show thumbnails a size suffix away from the full
// picture. Any other listing page links sets, and a set's page writes its full-size pictures
// into its script. Every page is served in the system code page.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
// The variants a listing chooses among (SourceSubKind).
enum PocoVariant : int { POCO_ALBUMS = 0, POCO_SETS = 1 };


constexpr int kGbkText = FLAG_DECOMPRESS;

constexpr char16_t kNextPageLink[] = u"title=\"下一页\">";
constexpr char16_t kItemMark[] = u"class=\"img_box\">";
constexpr char16_t kSetMark[] = u"class=\"title\">";
constexpr char16_t kOriginMark[] = u"originPhoto:'";
constexpr char16_t kSourceMark[] = u"src='";
// Thumbnails are the full picture's name with this before the extension.
constexpr char16_t kThumbnailSuffix[] = u"_165.";

QString AlbumHost()
{
    return QString::fromUtf16(Hosts::kPocoAlbumAddress);
}

// The page then begins after the name's mark: listing links above it belong to the site's
// header, not to the user.
void ReadOwnerName(CAlbumListing& run, QString& page)
{
    SetOwnerName(run, page, u"userName:'", u"'");
}

// One overview item. Its link calls a script with the album's kind first (a password album's
// kind names "pwd") and its hash second; the cover and the title follow.
ST_PERLISTRECORD ReadAlbumItem(QString piece, const QString& userId, QString& hash)
{
    ST_PERLISTRECORD album;
    album.nPicCount = -1;
    album.nPrivacy = CStringCtrl::Between(piece, u"'", u"'", 1).indexOf(u"pwd"_s) > 0 ? PRIVACY_PASSWORD : 0;
    hash = CStringCtrl::Between(piece, u", '", u"'", 1);
    album.strAlbumId = AlbumHost() + u"/album/album_show_photo_list.php?user_id=%1&set_hash=%2"_s.arg(userId, hash);
    album.strCoverUrl = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    album.strName = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
    return album;
}

void ListPocoAlbums(CAlbumListing& run, QString& address)
{
    const QString userId = address;
    WalkPages(
        [&userId](int page) {
            return AlbumHost() + u"/album/album_show_all.htx&user_id=%1&p=%2"_s.arg(userId, QString::number(page));
        },
        kGbkText, kNextPageLink,
        [&](QString& text, int page, SeenPieces& seen) {
            if (page == 1) ReadOwnerName(run, text);
            QStringList pieces;
            CStringCtrl::Split(pieces, text, kItemMark);
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                QString hash;
                const ST_PERLISTRECORD album = ReadAlbumItem(pieces[i], userId, hash);
                // Without its hash an item names no album's photo list.
                if (hash.isEmpty() || !seen.IsNew(hash) || album.strName.isEmpty()) continue;
                if (!AddAlbumAndGoOn(run, album)) return false;
            }
            return true;
        });
}

void ListPocoPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    WalkPages([&album](int page) { return album.strAlbumId + u"&do=Plist&p="_s + QString::number(page); }, kGbkText,
              kNextPageLink,
              [&](QString& text, int, SeenPieces& seen) {
                  QStringList pieces;
                  if (CStringCtrl::Split(pieces, text, kItemMark) == 0) return false;
                  for (qsizetype i = 1; i < pieces.size(); ++i) {
                      QString piece = pieces[i];
                      QString url = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
                      url.replace(QString::fromUtf16(kThumbnailSuffix), u"."_s);
                      QString title = CStringCtrl::Between(piece, u"title=\"", u"\"", 1).trimmed();
                      if (title.isEmpty()) title = album.strName;
                      // A thumbnail without an address cannot be fetched, and one listed before
                      // would be fetched twice.
                      if (url.isEmpty() || !seen.IsNew(url)) continue;
                      run.AddPicture(url, title, {}, albumIndex);
                      if (run.Stopped()) return false;
                  }
                  return true;
              });
}

void ListPocoSetAlbums(CAlbumListing& run, QString& address)
{
    WalkPages([&address](int page) { return address + u"&p="_s + QString::number(page); }, kGbkText, kNextPageLink,
              [&](QString& text, int page, SeenPieces& seen) {
                  if (page == 1) ReadOwnerName(run, text);
                  QStringList pieces;
                  CStringCtrl::Split(pieces, text, kSetMark);
                  for (qsizetype i = 1; i < pieces.size(); ++i) {
                      QString piece = pieces[i];
                      ST_PERLISTRECORD set;
                      set.nPicCount = -1;
                      set.nPrivacy = 0;
                      set.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
                      set.strName = CStringCtrl::Between(piece, u">", u"</", 1);
                      // A set without an address has no page to read its pictures from.
                      if (set.strAlbumId.isEmpty() || !seen.IsNew(set.strAlbumId) || set.strName.isEmpty()) continue;
                      if (!AddAlbumAndGoOn(run, set)) return false;
                  }
                  return true;
              });
}

void ListPocoSetPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    const QString text = FetchText(request, response, album.strAlbumId, kGbkText);
    if (text.isEmpty()) return;

    // Newer set pages name each full-size picture in their script; older ones only show them.
    const QStringView mark =
        CStringCtrl::Count(text, kOriginMark) >= 1 ? QStringView(kOriginMark) : QStringView(kSourceMark);
    QStringList pieces;
    if (CStringCtrl::Split(pieces, text, mark) == 0) return;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString url = CStringCtrl::LeftOf(pieces[i], u"'");
        if (url.isEmpty()) continue;
        run.AddPicture(url, album.strName, {}, albumIndex);
        if (run.Stopped()) return;
    }
}

void ListPocoFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, u"/album") || HasAfterStart(address, u"/theme")) {
        run.listing.m_nSubKind = POCO_ALBUMS;
        DropThrough(address, u"user_id-");
        DropThrough(address, u"user_id=");
        CutAtAny(address, {u"&", u"."});
        ListPocoAlbums(run, address);
    } else {
        run.listing.m_nSubKind = POCO_SETS;
        address.replace(u"p="_s, u"zrv="_s);
        ListPocoSetAlbums(run, address);
    }
}

constexpr ServiceVariant kVariants[] = {
    {POCO_ALBUMS, ListPocoAlbums, ListPocoPhotos},
    {POCO_SETS, ListPocoSetAlbums, ListPocoSetPhotos},
};
} // namespace

extern const ServiceFamily kPocoFamily{"poco", u"POCO相册", ListPocoFamily, kVariants, -1};
