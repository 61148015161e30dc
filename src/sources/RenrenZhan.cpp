// Renren Zhan sites. Each post of a site is listed as an "album" of one picture: the posts come
// month by month from the site's archive, or for one tag. The archive answers are JSON strings
// holding escaped HTML, hence the backslashes in their marks.
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Renren.h"

#include <optional>

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
constexpr int kTextFlags = FLAG_DECOMPRESS | FLAG_UTF8;

const QString kZhanAddress = QString::fromUtf16(Hosts::kRenrenZhanAddress);

// The site's path on the Zhan host: what follows the host name, without the query.
QString SitePath(QString address)
{
    CStringCtrl::SkipTo(address, Hosts::kEndCom, true);
    CStringCtrl::CutAt(address, u"?");
    return address.trimmed();
}

QString TagOf(const QString& address)
{
    QString tag = address;
    if (CStringCtrl::SkipTo(tag, u"tagId=", true) <= 0) return {};
    CStringCtrl::CutAt(tag, u"&");
    return tag;
}

// The months of the site's archive page ("2013-05" ...); no value when the page could not be had.
std::optional<QStringList> ReadMonths(CURLSource2& request, CURLResponse& response, const QString& siteId)
{
    QString text = FetchText(request, response, kZhanAddress + u"/archive?site_id=%1"_s.arg(siteId), kTextFlags);
    if (text.isEmpty()) return std::nullopt;
    CStringCtrl::SkipTo(text, u"class=\"time_control", true);
    CStringCtrl::CutAt(text, u"</section>");
    QStringList pieces;
    CStringCtrl::Split(pieces, text, u"mark=\"");
    QStringList months;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        CStringCtrl::CutAt(pieces[i], u"\"");
        months << pieces[i];
    }
    return months;
}

QString ArchivePage(const QString& siteId, const QString& tagPart, const QString& month, int page)
{
    if (month.isEmpty())
        return kZhanAddress +
               u"/archive/archiveByTag?site_id=%1%2&page=%3"_s.arg(siteId, tagPart, QString::number(page));
    return kZhanAddress +
           u"/archive/archiveByTime?site_id=%1%2&month=%3&page=%4"_s.arg(siteId, tagPart, month, QString::number(page));
}

ST_PERLISTRECORD ReadPost(const QString& site, QString piece)
{
    ST_PERLISTRECORD post;
    // Post ids carry a "feed" prefix in the archive that the post address does not want.
    QString gid = CStringCtrl::LeftOf(piece, u"\\\"");
    gid.remove(u"feed"_s);
    post.strAlbumId = kZhanAddress + u"/%1?gid=%2&ajax=true"_s.arg(site, gid);
    post.strName = CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"class=\\\"title\\\">", u"<\\/", 1));
    return post;
}

// Lists every page of one month (or of the tag, as one empty month).
void ListMonth(CAlbumListing& run, CURLSource2& request, const QString& site, const QString& siteId,
               const QString& tagPart, const QString& month)
{
    // The archive counts its pages from 0.
    WalkPages(
        {request, kTextFlags}, [&](int page) { return ArchivePage(siteId, tagPart, month, page - 1); },
        [&](QString& text, int, SeenPieces& seen) {
            QStringList pieces;
            if (CStringCtrl::Split(pieces, text, u"<div id=\\\"") == 0) return false;
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                const ST_PERLISTRECORD post = ReadPost(site, pieces[i]);
                if (seen.IsNew(post) && !AddAlbumAndGoOn(run, post)) return false;
            }
            return true;
        });
}
} // namespace

void ListRenrenZhanAlbums(CAlbumListing& run, QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    QString page = FetchText(request, response, address, kTextFlags);
    if (page.isEmpty()) return;
    const QString site = SitePath(address);
    const QString siteId = CStringCtrl::Between(page, u"site_id=", u"\"", 0);
    const QString tag = TagOf(address);
    run.listing.m_strOwnerName = CStringCtrl::Between(page, u"name:'", u"'", 0);

    QString tagPart;
    QStringList months{QString()};
    if (!tag.isEmpty()) {
        QString tagItem = CStringCtrl::Between(page, u"class=\"s\"", u"</li>", 0);
        run.listing.m_strOwnerSubDir = CStringCtrl::Between(tagItem, u">", u"<", 1);
        tagPart = u"&tag_id="_s + tag;
    } else {
        const std::optional<QStringList> archived = ReadMonths(request, response, siteId);
        if (!archived) return;
        months = *archived;
    }
    for (const QString& month : months) {
        ListMonth(run, request, site, siteId, tagPart, month);
        if (run.Stopped()) return;
    }
}

void ListRenrenZhanPhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD post = run.Albums().At(albumIndex);
    // Only the post's body matters; the transfer ends at the licence notice below it.
    const QString text = FetchBetweenMarks(post.strAlbumId, "id=\"main-wrap\"", "class=\"ccagreement\">", kTextFlags);
    if (text.isEmpty()) return;

    const QString separator = text.contains(u"class=\"photo\">"_s) ? u"class=\"photo\">"_s : u"<img"_s;
    QStringList pieces;
    if (CStringCtrl::Split(pieces, text, separator) == 0) return;
    // The post's picture comes first; any later image belongs to the page around it.
    QString piece = pieces[1];
    QString url = CStringCtrl::Between(piece, u"data-src=\"", u"\"", 1);
    if (url.isEmpty()) url = CStringCtrl::Between(piece, u"src=\"", u"\"", 1);
    run.AddPicture(url, post.strName, RefererLine(post.strAlbumId), albumIndex);
}
