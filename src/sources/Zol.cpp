// ZOL photo: a member's album list and each album are numbered HTML pages in GBK. An album page
// shows its pictures as thumbnails, whose addresses name the full-size pictures.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {

constexpr int kGbkText = FLAG_DECOMPRESS;
// Only the active next link has this class; the previous link and a disabled next look alike.
constexpr char16_t kNextPageMark[] = u"class=\"nor\">下一页";
constexpr char16_t kPieceMark[] = u"id=\"pic_";
// Thumbnails in a size folder sit right after the image host's ".cn/".
constexpr char16_t kSizeFolderMark[] = u"cn/t_s";

const QString kZolAddress = QString::fromUtf16(Hosts::kZolPhotoAddress);

ST_PERLISTRECORD ReadAlbum(QString piece)
{
    ST_PERLISTRECORD album;
    album.nPrivacy = 0;
    // The link names the album's first page; the page number is put back in for every page.
    album.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"1.html", 1);
    album.strCoverUrl = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    album.strName = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"K_11\">", u"张", 1));
    return album;
}

// A size suffix ("abc_120x90.jpg") is cut from the file name only: a folder named with "_"
// stays as it is.
QString WithoutSizeSuffix(const QString& thumbnail)
{
    const qsizetype nameStart = thumbnail.lastIndexOf(u'/') + 1;
    const qsizetype underscore = thumbnail.indexOf(u'_', nameStart);
    if (underscore < 0) return thumbnail;
    const qsizetype dot = thumbnail.indexOf(u'.', underscore + 1);
    return thumbnail.left(underscore) + (dot < 0 ? thumbnail.mid(underscore + 1) : thumbnail.mid(dot));
}

// The full-size picture of a thumbnail: out of its size folder ("/t_s120x90"), or without the
// size in its file name.
QString FullSizeAddress(QString thumbnail)
{
    if (thumbnail.indexOf(QStringView(kSizeFolderMark)) > 0) {
        QString probe = thumbnail;
        const QString size = CStringCtrl::Between(probe, kSizeFolderMark, u"/", 0);
        return thumbnail.remove(u"/t_s"_s + size);
    }
    return WithoutSizeSuffix(thumbnail);
}

void ListZolAlbums(CAlbumListing& run, QString& address)
{
    WalkPages([&address](int page) { return kZolAddress + u"/%1/album_%2.html"_s.arg(address, QString::number(page)); },
              kGbkText, kNextPageMark,
              [&run](QString& text, int page, SeenPieces& seen) {
                  if (page == 1) SetOwnerName(run, text, u"<title>", u"的全部相册");
                  QStringList pieces;
                  CStringCtrl::Split(pieces, text, kPieceMark);
                  for (qsizetype i = 1; i < pieces.size(); ++i) {
                      const ST_PERLISTRECORD album = ReadAlbum(pieces[i]);
                      if (seen.IsNew(album) && !AddAlbumAndGoOn(run, album)) return false;
                  }
                  return true;
              });
}

void ListZolPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    WalkPages([&album](int page) { return kZolAddress + album.strAlbumId + QString::number(page) + u".html"_s; },
              kGbkText, kNextPageMark,
              [&](QString& text, int, SeenPieces& seen) {
                  QStringList pieces;
                  if (CStringCtrl::Split(pieces, text, kPieceMark) == 0) return false;
                  for (qsizetype i = 1; i < pieces.size(); ++i) {
                      QString piece = pieces[i];
                      // The thumbnail is cut without moving on: the title may come before it.
                      const QString thumbnail = CStringCtrl::Between(piece, u"src=\"", u"\"", 0);
                      const QString description = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
                      const QString url = FullSizeAddress(thumbnail);
                      if (!seen.IsNew(url + u'\n' + description)) continue;
                      run.AddPicture(url, description, {}, albumIndex);
                      if (run.Stopped()) return false;
                  }
                  return true;
              });
}

void ListZolFamily(CAlbumListing& run, QString& address)
{
    if (address.contains(kHttpScheme)) {
        DropThrough(address, Hosts::kEndCn);
        CutAtAny(address, {u"/"});
    }
    ListZolAlbums(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {kNoVariant, ListZolAlbums, ListZolPhotos},
};
} // namespace

extern const ServiceFamily kZolFamily{"zol", u"ZOL相册", ListZolFamily, kVariants, 0};
