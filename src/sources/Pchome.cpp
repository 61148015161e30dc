// PChome photo (Taiwan): pages in Big5. A member's album list and each album are numbered pages;
// an album page carries its pictures in a script data set whose thumbnails name the pictures.
// The service serves a picture only to a request referred by the picture's own page.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {

constexpr int kBig5Text = FLAG_DECOMPRESS | FLAG_BIG5;
constexpr char16_t kNextPageMark[] = u"\">下一頁>";
// The pager and the member's other sections follow the album entries.
constexpr char16_t kAlbumsEndMark[] = u"MainListSection";
constexpr char16_t kAlbumMark[] = u"class=\"MarkSet\"";
constexpr char16_t kPhotoListMark[] = u"PhotoList";
constexpr char16_t kPhotoListEndMark[] = u"PageInfo";
constexpr char16_t kIconMark[] = u"Icon:'";

const QString kPchomeAddress = QString::fromUtf16(Hosts::kPchomePhotoAddress);

ST_PERLISTRECORD ReadAlbum(QString piece)
{
    ST_PERLISTRECORD album;
    album.nPrivacy = 0;
    album.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 1);
    album.strCoverUrl = kPchomeAddress + CStringCtrl::Between(piece, u"Img[", u"]", 1);
    album.strName = CStringCtrl::Between(piece, u"<span>", u"</span>", 1);
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"共", u"張", 1));
    return album;
}

// A thumbnail's file name ends in "s" before its extension ("12345s.jpg"); the picture's does
// not. Only that "s" goes: a folder such as "photos.2013" keeps its name.
QString PictureAddress(const QString& iconPath)
{
    QString path = iconPath;
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot > nameStart && path[dot - 1] == u's') path.remove(dot - 1, 1);
    return kPchomeAddress + u'/' + path;
}

// The member's name as the service spells it, for the addresses of picture pages.
QString MemberName(const CListing& listing)
{
    if (!listing.m_strSourceArg1.isEmpty()) return listing.m_strSourceArg1;
    QString owner = listing.m_strOwnerName;
    while (owner.endsWith(u'/'))
        owner.chop(1);
    return owner;
}

void ListPchomeAlbums(CAlbumListing& run, QString& address)
{
    // The owner text becomes a folder name; picture pages need the name itself.
    run.listing.m_strSourceArg1 = address;
    // The next link lies after the album entries: the walk looks for it before they are cut out.
    WalkPages([&address](int page) { return kPchomeAddress + u"/%1*%2"_s.arg(address, QString::number(page)); },
              kBig5Text, kNextPageMark,
              [&run](QString& text, int, SeenPieces& seen) {
                  CStringCtrl::CutAt(text, kAlbumsEndMark);
                  QStringList pieces;
                  CStringCtrl::Split(pieces, text, kAlbumMark);
                  for (qsizetype i = 1; i < pieces.size(); ++i) {
                      const ST_PERLISTRECORD album = ReadAlbum(pieces[i]);
                      if (seen.IsNew(album) && !AddAlbumAndGoOn(run, album)) return false;
                  }
                  return true;
              });
}

void ListPchomePhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    const QString pagePrefix = kPchomeAddress + u'/' + MemberName(run.listing) + u'/';
    WalkPages([&album](int page) { return kPchomeAddress + album.strAlbumId + u'*' + QString::number(page); },
              kBig5Text, kNextPageMark,
              [&](QString& text, int, SeenPieces& seen) {
                  CStringCtrl::SkipTo(text, kPhotoListMark, true);
                  CStringCtrl::CutAt(text, kPhotoListEndMark);
                  QStringList pieces;
                  if (CStringCtrl::Split(pieces, text, kIconMark) == 0) return false;
                  for (qsizetype i = 1; i < pieces.size(); ++i) {
                      QString piece = pieces[i];
                      const QString url = PictureAddress(CStringCtrl::Between(piece, u"/", u"',", 1));
                      const QString pictureId = CStringCtrl::Between(piece, u"PK:", u",", 1);
                      const QString description = CStringCtrl::Between(piece, u"DataSet[", u"]'", 1);
                      if (!seen.IsNew(url + u'\n' + pictureId)) continue;
                      run.AddPicture(url, description, RefererLine(pagePrefix + pictureId), albumIndex);
                      if (run.Stopped()) return false;
                  }
                  return true;
              });
}

void ListPchomeFamily(CAlbumListing& run, QString& address)
{
    DropThrough(address, Hosts::kEndComTw);
    CutAtAny(address, {u"/", u"&", u"*", u"?"});
    run.listing.m_strOwnerName = address;
    ListPchomeAlbums(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {kNoVariant, ListPchomeAlbums, ListPchomePhotos},
};
} // namespace

extern const ServiceFamily kPchomeFamily{"pchome", u"PChome相簿", ListPchomeFamily, kVariants, 0};
