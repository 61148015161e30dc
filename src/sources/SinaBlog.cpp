// Sina blog. Photo albums: the blog's home page names the owner and its numeric id, the photo
// host lists all categories as one JSON text, and each category's HTML pages show thumbnails
// whose full-size address differs by one path part. Articles: the article list pages are the
// albums, and an article's first picture is its one photo.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"
#include "sources/Sina.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
// The variants a listing chooses among (SourceSubKind).
enum SinaVariant : int { SINA_BLOG = 0, SINA_BLOG_ARTICLES = 1, SINA_WEIBO = 2 };

constexpr int kUtf8Text = FLAG_DECOMPRESS | FLAG_UTF8;
// Article bodies are read in the system code page; only their ASCII addresses are used.
constexpr int kAnsiText = FLAG_DECOMPRESS;

constexpr char16_t kNextPageLink[] = u"\">下一页";
constexpr char16_t kBlogTitle[] = u"blogtitle\">";
constexpr char16_t kCategoryMark[] = u"\"category\":\"";
constexpr char16_t kThumbnailMark[] = u"class=\"pt_border\"";
constexpr char16_t kArticleTitleMark[] = u"class=\"atc_title\">";
constexpr char16_t kArticleLineMark[] = u"class=\"SG_j_linedot";
constexpr char kArticleStart[] = "class=\"articalContent";
constexpr char kArticleEnd[] = "class=\"shareUp\">";
constexpr char16_t kLinkedPictureMark[] = u"&url=";
constexpr char16_t kRealSourceMark[] = u"real_src =\"";
// The service's own spelling of its full-size folder.
constexpr char16_t kFullSizeFolder[] = u"/orignal/";

// The blog's title, walking page past the title mark: what the page says after it follows.
QString ReadBlogTitle(QString& page)
{
    return CStringCtrl::StripTags(CStringCtrl::Between(page, kBlogTitle, u"</", 1));
}

// Addresses are cut from HTML attributes, where "&" is written "&amp;"; nothing else in them
// is touched, so a name such as "camp.jpg" stays whole.
QString DecodeAmpersands(QString url)
{
    while (url.contains(u"&amp;"_s))
        url.replace(u"&amp;"_s, u"&"_s);
    return url;
}

// One category of the photo host's list, the piece after its name mark. Each cut walks the
// piece on, so the fields are found in the order the service writes them.
bool ReadCategory(QString piece, ST_PERLISTRECORD& album)
{
    album.strName = CStringCtrl::UnescapeUnicode(CStringCtrl::LeftOf(piece, u"\","));
    if (album.strName.isEmpty()) return false;
    album.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"pic_cnt\":\"", u"\"", 1));
    album.strAlbumId = UnescapeSlashes(CStringCtrl::Between(piece, u"ctg_url\":\"", u"\"", 1));
    album.strCoverUrl = UnescapeSlashes(CStringCtrl::Between(piece, u"big_url\":\"", u"\"", 1));
    album.nPrivacy = 0;
    return true;
}

QString FullSizeOfThumbnail(const QString& thumbnail)
{
    QString url = DecodeAmpersands(thumbnail);
    return url.replace(u"/small/"_s, QString::fromUtf16(kFullSizeFolder));
}

QString FullSizeOfArticlePicture(const QString& picture)
{
    QString url = DecodeAmpersands(picture);
    for (const char16_t* size : {u"/middle/", u"/bmiddle/", u"/mw690/"})
        url.replace(QString::fromUtf16(size), QString::fromUtf16(kFullSizeFolder));
    return url;
}
} // namespace

void ListSinaBlogAlbums(CAlbumListing& run, QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    QString page = FetchText(request, response, address, kUtf8Text);
    if (page.isEmpty()) return;
    run.listing.m_strOwnerName = ReadBlogTitle(page);
    // The first article list link after the title carries the owner's numeric id.
    const QString ownerId = CStringCtrl::Between(page, u"articlelist_", u"_", 1);

    const QString list = FetchText(request, response,
                                   QString::fromUtf16(Hosts::kSinaBlogPhotoAddress) +
                                       u"/services/ctg_list_ctg.php?format=gsonv&uid="_s + ownerId,
                                   kUtf8Text);
    if (list.isEmpty()) return;
    QStringList pieces;
    CStringCtrl::Split(pieces, list, kCategoryMark);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        ST_PERLISTRECORD album;
        if (!ReadCategory(pieces[i], album)) continue;
        if (!AddAlbumAndGoOn(run, album)) return;
    }
}

void ListSinaBlogPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    WalkPages([&album](int page) { return album.strAlbumId + u"/page"_s + QString::number(page); }, kUtf8Text,
              kNextPageLink,
              [&](QString& text, int, SeenPieces& seen) {
                  QStringList pieces;
                  CStringCtrl::Split(pieces, text, kThumbnailMark);
                  for (qsizetype i = 1; i < pieces.size(); ++i) {
                      QString piece = pieces[i];
                      const QString url = FullSizeOfThumbnail(CStringCtrl::Between(piece, u"src=\"", u"\"", 1));
                      const QString title = CStringCtrl::Between(piece, u"title=\"", u"\"", 1);
                      // A thumbnail without an address cannot be fetched, and one listed before
                      // would be fetched twice.
                      if (url.isEmpty() || !seen.IsNew(url)) continue;
                      run.AddPicture(url, title, {}, albumIndex);
                      if (run.Stopped()) return false;
                  }
                  return true;
              });
}

void ListSinaBlogArticles(CAlbumListing& run, QString& address)
{
    // Older blog templates mark each article line instead of its title; the first page tells.
    QString itemMark = QString::fromUtf16(kArticleTitleMark);
    WalkPages([&address](int page) { return address + u'_' + QString::number(page) + u".html"_s; }, kUtf8Text,
              kNextPageLink,
              [&](QString& text, int page, SeenPieces& seen) {
                  if (page == 1) {
                      run.listing.m_strOwnerName = ReadBlogTitle(text);
                      if (!text.contains(itemMark)) itemMark = QString::fromUtf16(kArticleLineMark);
                  }
                  QStringList pieces;
                  CStringCtrl::Split(pieces, text, itemMark);
                  for (qsizetype i = 1; i < pieces.size(); ++i) {
                      QString piece = pieces[i];
                      ST_PERLISTRECORD article;
                      article.strName = CStringCtrl::Between(piece, u"title=\"", u"\"", 0);
                      article.strAlbumId = CStringCtrl::Between(piece, u"href=\"", u"\"", 0);
                      article.nPicCount = -1;
                      article.nPrivacy = 0;
                      // An article without an address has no picture to fetch.
                      if (article.strAlbumId.isEmpty() || !seen.IsNew(article.strAlbumId) || article.strName.isEmpty())
                          continue;
                      if (!AddAlbumAndGoOn(run, article)) return false;
                  }
                  return true;
              });
}

void ListSinaBlogArticlePhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    // Only the article's body is read: the page around it shows pictures of other articles.
    const QString text = FetchBetweenMarks(album.strAlbumId, kArticleStart, kArticleEnd, kAnsiText);
    if (text.isEmpty()) return;

    // A picture linked to its full size shows both marks; a bare one only its source.
    const QStringView mark = CStringCtrl::Count(text, kLinkedPictureMark) == CStringCtrl::Count(text, kRealSourceMark)
                                 ? QStringView(kLinkedPictureMark)
                                 : QStringView(kRealSourceMark);
    QStringList pieces;
    if (CStringCtrl::Split(pieces, text, mark) == 0) return;
    QString url = pieces[1];
    CStringCtrl::CutAt(url, u"\"");
    url = FullSizeOfArticlePicture(url);
    if (url.isEmpty()) return;
    run.AddPicture(url, album.strName, {}, albumIndex);
}

namespace {
void ListSinaFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, u"/s/")) {
        run.listing.m_nSubKind = SINA_BLOG_ARTICLES;
        const qsizetype underscore = address.lastIndexOf(u'_');
        address = underscore >= 0 ? address.left(underscore) : QString();
        ListSinaBlogArticles(run, address);
    } else if (HasAfterStart(address, Hosts::kWeiboDomain)) {
        run.listing.m_nSubKind = SINA_WEIBO;
        ListSinaWeiboAlbums(run, address);
    } else {
        run.listing.m_nSubKind = SINA_BLOG;
        ListSinaBlogAlbums(run, address);
    }
    ShowIfNoAlbums(run, u"没有获取到相册，请在登录菜单里登录新浪(微博)帐号后重试,登录时勾上下次自动登录"_s);
}

constexpr ServiceVariant kVariants[] = {
    {SINA_BLOG, ListSinaBlogAlbums, ListSinaBlogPhotos},
    {SINA_BLOG_ARTICLES, ListSinaBlogArticles, ListSinaBlogArticlePhotos},
    {SINA_WEIBO, ListSinaWeiboAlbums, ListSinaWeiboPhotos},
};
} // namespace

extern const ServiceFamily kSinaFamily{"sina", u"新浪博客/新浪微博", ListSinaFamily, kVariants, -1};
