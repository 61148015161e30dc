// NetEase photo: the owner's page names the owner and a script that holds the album list as
// object literals; each album's photos are in a second script whose address comes with the list
// or from the service's album data call.
#include "sources/Netease.h"

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
enum NeteaseVariant : int { NETEASE_PHOTO = 0, NETEASE_PP = 1 };

constexpr int kGbkText = FLAG_DECOMPRESS;
constexpr int kUtf8Text = FLAG_DECOMPRESS | FLAG_UTF8; // the album data call answers in UTF-8

constexpr char16_t kEmptyAlbumCover[] = u"/image/default/none160.gif";
constexpr char16_t kLockedCover[] = u"/photo/image/default/fwxmm.gif";

QString OwnerNameOf(QString page)
{
    const QString owner = CStringCtrl::Between(page, u"photo163HostName:'", u"'", 0);
    return owner.isEmpty() ? CStringCtrl::Between(page, u"hostName : '", u"'", 0) : owner;
}

// Where the owner's album list script is named when the typed page does not name it.
QString AlbumHomeAddress(const QString& typed, const QString& owner)
{
    if (typed.indexOf(QStringView(Hosts::kNeteasePpFragment)) > 1)
        return u"http://"_s + owner + QString::fromUtf16(Hosts::kNeteasePpSuffix) + u"/album/"_s;
    return QString::fromUtf16(Hosts::kNeteaseAlbumAddress) + u'/' + owner;
}

// Albums the list gives no script for are protected: the access code says how, and the cover
// the visitor cannot see is replaced by the service's lock pictures.
void ApplyAccessCode(ST_PERLISTRECORD& album, const QString& code)
{
    struct AccessRule {
        const char16_t* code;
        int privacy;
        const char16_t* coverWhenEmpty;
    };
    static constexpr AccessRule kRules[] = {
        {u"0", 0, nullptr},
        {u"2", PRIVACY_PRIVATE, nullptr},
        {u"4", PRIVACY_FRIENDS, u"/image/default/fwxhy.gif"},
        {u"8", PRIVACY_PASSWORD, u"/image/default/fwxqa.gif"}, // answered by a question
    };
    for (const AccessRule& rule : kRules) {
        if (code != QStringView(rule.code)) continue;
        album.nPrivacy = rule.privacy;
        if (rule.coverWhenEmpty && album.strCoverUrl.isEmpty())
            album.strCoverUrl = NeteasePlaceholder(QString::fromUtf16(rule.coverWhenEmpty));
        return;
    }
    album.nPrivacy = PRIVACY_PASSWORD;
    album.strCoverUrl = NeteasePlaceholder(QString::fromUtf16(kLockedCover));
}

// One "{id:" entry of the list script. The fields are cut in the order the service writes them,
// each search starting after the previous mark.
ST_PERLISTRECORD ReadAlbumEntry(QString piece, QString& accessCode)
{
    ST_PERLISTRECORD album;
    album.nPrivacy = 0;
    album.strParam1 = CStringCtrl::LeftOf(piece, u",");
    album.strName = CStringCtrl::Between(piece, u"name:'", u"'", 1);
    album.strParam2 = CStringCtrl::Between(piece, u"desc:'", u"'", 1);
    accessCode = CStringCtrl::Between(piece, u"au:", u",", 1).trimmed();
    const QString count = CStringCtrl::Between(piece, u"count:", u",", 1);
    const QString coverPath = CStringCtrl::Between(piece, u"curl:'", u"'", 1);
    album.strAlbumId = CStringCtrl::Between(piece, u"purl:'", u"'", 1);

    // The description keeps the script's escapes for line breaks.
    album.strParam2.remove(u"\\r"_s).replace(u"\\n"_s, u"\r\n"_s);
    album.nPicCount = ReadDecimal(count);
    album.strCoverUrl = album.nPicCount == 0 ? NeteasePlaceholder(QString::fromUtf16(kEmptyAlbumCover))
                                             : NeteaseImageAddress(coverPath);
    return album;
}

void AddAlbumsFromList(CAlbumListing& run, CURLSource2& request, CURLResponse& response, const QString& list,
                       const QString& owner)
{
    QStringList pieces;
    if (CStringCtrl::Split(pieces, list, u"{id:") == 0) return;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString accessCode;
        ST_PERLISTRECORD album = ReadAlbumEntry(pieces[i], accessCode);
        if (album.strAlbumId.isEmpty()) {
            ApplyAccessCode(album, accessCode);
            // A question album is verified at download time; the others may name their script.
            if (accessCode != u"8"_s) {
                QString reply = FetchText(
                    request, response, NeteaseAlbumDataUrl(owner, album.strParam1, AlbumDataForm::Number), kUtf8Text);
                if (reply.isEmpty()) continue;
                album.strAlbumId = CStringCtrl::Between(reply, u"',\"", u"\");", 1);
            }
            if (album.strAlbumId.isEmpty()) album.strAlbumId = album.strParam1;
        }
        if (!AddAlbumAndGoOn(run, album)) return;
    }
}
} // namespace

void ListNeteaseAlbums(CAlbumListing& run, QString& address)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    QString page = FetchText(request, response, address, kGbkText);
    if (page.isEmpty()) return;

    const QString owner = OwnerNameOf(page);
    run.listing.m_strOwnerName = owner;
    // The owner name also becomes a folder name; the photo lister needs it as the service spells it.
    run.listing.m_strSourceArg1 = owner;
    if (owner.isEmpty()) {
        run.ShowMessage(u"输入网址有误，应该输入相册网址或首页网址"_s);
        return;
    }

    QString listUrl = CStringCtrl::Between(page, u"albumUrl : '", u"'", 1);
    if (listUrl.isEmpty()) {
        QString home = FetchText(request, response, AlbumHomeAddress(address, owner), kGbkText);
        if (home.isEmpty()) return;
        listUrl = CStringCtrl::Between(home, u"albumUrl : '", u"'", 1);
    }
    const QString list = FetchText(request, response, listUrl, kGbkText);
    if (list.isEmpty()) return;
    AddAlbumsFromList(run, request, response, list, owner);
}

namespace {
// The album data call names the photo-list script without its scheme.
QString ScriptAddressFrom(QString reply)
{
    const QString address = u"http://"_s + CStringCtrl::Between(reply, u",\"", u"\"", 1);
    return address.contains(u".js"_s) ? address : QString();
}

QString CallForScriptAddress(CURLSource2& request, CURLResponse& response, const QString& owner, const QString& albumId,
                             AlbumDataForm form)
{
    const QString reply = FetchText(request, response, NeteaseAlbumDataUrl(owner, albumId, form), kGbkText);
    return reply.isEmpty() ? QString() : ScriptAddressFrom(reply);
}

// An album known only by its id is protected: the visitor verifies in the login browser, then
// the service names the script. Empty when the user declines or the service names none.
QString VerifiedScriptAddress(CPhotoListing& run, CURLSource2& request, CURLResponse& response,
                              const ST_PERLISTRECORD& album)
{
    if (!AskForPassword(run, u"为非公开相册,是否进行验证？\n\n验证成功后请手动关闭验证框"_s,
                        NeteaseVerificationPage(run.listing.m_strSourceArg1, album.strAlbumId)))
        return {};
    return CallForScriptAddress(request, response, run.listing.m_strSourceArg1, album.strAlbumId,
                                AlbumDataForm::NumberFromBlog);
}

// The photo-list script; an address that answers with next to nothing is asked of the service
// again with the album id as a text.
QString ReadPhotoScript(CPhotoListing& run, CURLSource2& request, CURLResponse& response, const QString& scriptUrl,
                        const ST_PERLISTRECORD& album)
{
    const std::optional<QString> script = Fetch(request, response, scriptUrl, kGbkText);
    if (!script) return {};
    if (script->size() >= 10) return *script;
    const QString retryUrl =
        CallForScriptAddress(request, response, run.listing.m_strSourceArg1, album.strParam1, AlbumDataForm::Text);
    return retryUrl.isEmpty() ? QString() : FetchText(request, response, retryUrl, kGbkText);
}

void AddPhotosFromScript(CPhotoListing& run, const QString& script, const ST_PERLISTRECORD& album, int albumIndex)
{
    QStringList pieces;
    if (CStringCtrl::Split(pieces, script, u"{id:") == 0) return;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        // Full size first, then medium, then small.
        QString path = CStringCtrl::Between(piece, u"ourl:'", u"'", 1);
        if (path.isEmpty()) path = CStringCtrl::Between(piece, u"murl:'", u"'", 1);
        if (path.isEmpty()) path = CStringCtrl::Between(piece, u"surl:'", u"'", 1);
        if (path.isEmpty()) continue;
        QString desc = CStringCtrl::Between(piece, u"desc:'", u"'", 1);
        if (desc.isEmpty()) desc = album.strName;
        run.AddPicture(NeteaseImageAddress(path), desc, {}, albumIndex);
        if (run.Stopped()) return;
    }
}
} // namespace

void ListNeteasePhotos(CPhotoListing& run, int albumIndex)
{
    const ST_PERLISTRECORD album = run.Albums().At(albumIndex);
    if (album.strAlbumId.isEmpty()) {
        run.FrontEnd().ShowMessage(u"该相册为非公开,如果该相册为私密相册,登录帐号后重新获取相册列表可下载"_s);
        return;
    }
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    // A script address is far longer than any album id.
    const QString scriptUrl = album.strAlbumId.size() < 20 ? VerifiedScriptAddress(run, request, response, album)
                                                           : u"http://"_s + album.strAlbumId;
    if (scriptUrl.isEmpty()) return;
    const QString script = ReadPhotoScript(run, request, response, scriptUrl, album);
    if (script.isEmpty()) return;
    AddPhotosFromScript(run, script, album, albumIndex);
}

namespace {
void ListNeteaseFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, Hosts::kNeteasePpSuffix)) {
        ListNeteasePpAlbums(run, address);
        run.listing.m_nSubKind = NETEASE_PP;
    } else {
        ListNeteaseAlbums(run, address);
    }
}

constexpr ServiceVariant kVariants[] = {
    {NETEASE_PHOTO, ListNeteaseAlbums, ListNeteasePhotos},
    {NETEASE_PP, ListNeteasePpAlbums, ListNeteasePpPhotos},
};
} // namespace

extern const ServiceFamily kNeteaseFamily{"netease", u"网易相册/网易PP", ListNeteaseFamily, kVariants, 0};
