// 51 Home: one data call of the home host answers a member's photo groups, and numbered pages
// of a second call the pictures of one group, as JSON-like text in the system code page. A
// group with a password is opened by letting the user enter it in the login browser.
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

constexpr char16_t kIdMark[] = u"\"id\":\"";
constexpr char16_t kHiddenWithPassword[] = u"2";
constexpr char16_t kAsksPassword[] = u"putpass\":\"1";
// A title the list shortened ends with two dots; the picture's own page has it whole.
constexpr char16_t kShortenedTitle[] = u"..";

const QString kHomeAddress = QString::fromUtf16(Hosts::k51HomeAddress);

ST_PERLISTRECORD ReadGroup(QString piece)
{
    ST_PERLISTRECORD group;
    group.nPrivacy = 0;
    group.strAlbumId = CStringCtrl::LeftOf(piece, u"\"");
    group.strName = CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"name\":\"", u"\"", 1));
    if (CStringCtrl::Between(piece, u"hide\":\"", u"\"", 1) == QStringView(kHiddenWithPassword))
        group.nPrivacy |= PRIVACY_PASSWORD;
    group.nPicCount = ReadDecimal(CStringCtrl::Between(piece, u"count\":\"", u"\"", 1));
    return group;
}

QString PicturePageAddress(const QString& user, const QString& group, int page)
{
    return kHomeAddress + u"/?u=%1&c=photo&a=getdata&gid=%2&page=%3"_s.arg(user, group, QString::number(page));
}

// The full title from the picture's own page; empty when the page or its title is missing.
QString FullTitle(CURLSource2& request, CURLResponse& response, const QString& pagePath)
{
    QString page = FetchText(request, response, kHomeAddress + UnescapeSlashes(pagePath), kGbkText);
    return CStringCtrl::Between(page, u"\"photo_view_title\">", u"</", 1);
}

void List51Albums(CAlbumListing& run, QString& address)
{
    run.listing.m_strSourceArg1 = address;
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    QString text =
        FetchText(request, response, kHomeAddress + u"/?u=%1&c=photo&a=getdata&gid=0&total=0"_s.arg(address), kGbkText);
    if (text.isEmpty()) return;
    CStringCtrl::CutAt(text, u"}]");
    QStringList pieces;
    if (CStringCtrl::Split(pieces, text, kIdMark) == 0) return;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const ST_PERLISTRECORD group = ReadGroup(pieces[i]);
        if (group.strName.isEmpty()) continue;
        if (!AddAlbumAndGoOn(run, group)) return;
    }
}

void List51Photos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD group = run.Albums().At(albumIndex);
    const QString user = run.listing.m_strSourceArg1;
    const bool completeTitles = run.NameSet(SK_51).nNameSource == 0;
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    const auto pageAddress = [&](int page) { return PicturePageAddress(user, group.strAlbumId, page); };
    WalkPages({request, kGbkText}, pageAddress, [&](QString& text, int page, SeenPieces& seen) {
        if (page == 1 && (group.nPrivacy & PRIVACY_PASSWORD) && text.indexOf(QStringView(kAsksPassword)) > 0) {
            const QString passwordPage = kHomeAddress + u"/%1/photo/group/%2"_s.arg(user, group.strAlbumId);
            if (!AskForPassword(run, u"加密相册,是否输入密码"_s, passwordPage)) return false;
            text = FetchText(request, response, pageAddress(page), kGbkText);
            if (text.isEmpty()) return false;
        }
        if (CStringCtrl::SkipTo(text, u"\"rows\":", true) < 0) return false;
        QStringList pieces;
        // A page past the last answers rows without pictures.
        if (CStringCtrl::Split(pieces, text, kIdMark) == 0) return false;
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            QString piece = pieces[i];
            const QString id = CStringCtrl::LeftOf(piece, u"\"");
            if (!seen.IsNew(id.isEmpty() ? piece : id)) continue;
            QString desc = CStringCtrl::UnescapeUnicode(CStringCtrl::Between(piece, u"\"title\":\"", u"\"", 1));
            const QString url = UnescapeSlashes(CStringCtrl::Between(piece, u"big\":\"", u"\"", 1));
            if (completeTitles && desc.endsWith(QStringView(kShortenedTitle))) {
                const QString full = FullTitle(request, response, CStringCtrl::Between(piece, u"url\":\"", u"\"", 1));
                if (!full.isEmpty()) desc = full;
            }
            if (desc.isEmpty()) desc = group.strName;
            run.AddPicture(url, desc, {}, albumIndex);
            if (run.Stopped()) return false;
        }
        return true;
    });
}

void List51Family(CAlbumListing& run, QString& address)
{
    if (address.contains(kHttpScheme)) {
        DropThrough(address, Hosts::kEndCom);
        CutAtAny(address, {u"/"});
    }
    run.listing.m_strOwnerName = address;
    List51Albums(run, address);
}

constexpr ServiceVariant kVariants[] = {
    {kNoVariant, List51Albums, List51Photos},
};
} // namespace

extern const ServiceFamily kHome51Family{"51", u"51个人空间", List51Family, kVariants, 0};
