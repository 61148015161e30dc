#include "sources/AddressPreparation.h"

#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "sources/HostTable.h"
#include "sources/Listers.h"
#include "sources/Variants.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
const QString kHttp = u"http://"_s;

void DropThrough(QString& text, QStringView mark)
{
    CStringCtrl::SkipTo(text, mark, true);
}

void CutAt(QString& text, std::initializer_list<QStringView> marks)
{
    for (QStringView mark : marks)
        CStringCtrl::CutAt(text, mark);
}

bool HasAfterStart(const QString& text, QStringView fragment)
{
    return text.indexOf(fragment) > 0;
}

bool NoAlbums(const CAlbumListing& run)
{
    return run.Albums().IsEmpty();
}

void ShowIfNoAlbums(CAlbumListing& run, const QString& message)
{
    if (NoAlbums(run)) run.FrontEnd().ShowMessage(message);
}

bool IsDigitsOnly(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}
} // namespace

void ListTencentFamily(CAlbumListing& run, QString& address)
{
    bool qzone = !address.contains(kHttp);
    if (!qzone) {
        if (HasAfterStart(address, Hosts::kQzoneUserHost)) {
            qzone = true;
        } else if (address.contains(QStringView(Hosts::kTencentWeiboPrefix))) {
            DropThrough(address, Hosts::kEndCom);
            DropThrough(address, u"hoto/");
            CutAt(address, {u"/", u"?"});
            run.listing.m_strSourceArg2 = address;
            run.listing.m_strOwnerName = address;
            ListTencentWeiboAlbums(run, address);
            run.listing.m_nSubKind = TENCENT_WEIBO;
        }
    }
    if (qzone) {
        DropThrough(address, Hosts::kEndCom);
        CutAt(address, {u"?", u"#"});
        ListQzoneAlbums(run, address);
        run.listing.m_strOwnerName = address;
        run.listing.m_nSubKind = TENCENT_QZONE;
    }
    // A bare number that names no QQ Zone is tried as a group number.
    if (NoAlbums(run) || HasAfterStart(address, Hosts::kQqGroupHost)) {
        DropThrough(address, u"!/");
        CutAt(address, {u"/", u"?", u"#"});
        run.listing.m_strOwnerName = address;
        ListQqGroupAlbums(run, address);
        run.listing.m_nSubKind = TENCENT_QQ_GROUP;
    }
    ShowIfNoAlbums(run,
                   u"1、没有获取到相册，可能是因为空间不是公开的，可以先在登录菜单里登录你有访问权限的QQ号后重试\n\n"
                   "2、下载QQ空间相册请直接输入QQ号进行下载\n\n"
                   "3、下载群相册请输入群空间网址或者群相册网址进行下载\n\n"
                   "4、下载腾讯微博相册，请输入那个人的主页网址进行下载"_s);
}

void ListBaiduFamily(CAlbumListing& run, QString& address)
{
    ListBaiduAlbums(run, address);
}

void ListNeteaseFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, Hosts::kNeteasePpSuffix)) {
        ListNeteasePpAlbums(run, address);
        run.listing.m_nSubKind = NETEASE_PP;
    } else {
        ListNeteaseAlbums(run, address);
    }
}

std::optional<QString> LookUpRenrenOwnerId(const QString& name, bool publicPage)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = u"Accept-Encoding: gzip, deflate"_s;
    request.m_strUrl =
        QString::fromUtf16(publicPage ? Hosts::kRenrenPageAddress : Hosts::kRenrenMainAddress) + u'/' + name;
    if (!request.Send(response, 0)) return std::nullopt;
    QString text;
    response.GetText(text, FLAG_DECOMPRESS | FLAG_UTF8);
    QString id = CStringCtrl::Between(text, u"pid: '", u"'", 1);
    if (id.isEmpty()) id = CStringCtrl::Between(text, u"profile_owner =", u";", 1);
    return id.trimmed();
}

void ListRenrenFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, u"/album-")) {
        CutAt(address, {u"?"});
        run.listing.m_nSubKind = RENREN_PHOTOS;
        ListRenrenAlbums(run, address);
        return;
    }
    if (address.contains(QStringView(Hosts::kRenrenZhanHost))) {
        run.listing.m_nSubKind = RENREN_ZHAN;
        ListRenrenZhanAlbums(run, address);
        ShowIfNoAlbums(run,
                       u"1、没有获取到相册，需要你在登录菜单里登录一个人人帐号(登录时勾上下次自动登录)后重新获取"_s);
        return;
    }
    const bool publicPage = address.contains(QStringView(Hosts::kRenrenPageHost));
    run.listing.m_nSubKind = RENREN_PHOTOS;
    DropThrough(address, u"id=");
    CutAt(address, {u"?", u"/album", u"/profile", u"/channel-"});
    const qsizetype slash = address.lastIndexOf(u'/');
    if (slash > 0) address = address.mid(slash + 1);
    if (!IsDigitsOnly(address)) {
        const std::optional<QString> id = LookUpRenrenOwnerId(address, publicPage);
        if (!id) return;
        address = *id;
    }
    ListRenrenAlbums(run, address);
}

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

void List56Family(CAlbumListing& run, QString& address)
{
    QString owner = address;
    DropThrough(owner, u"album/");
    CutAt(owner, {u"&", u"/", u"?"});
    run.listing.m_strOwnerName = owner;
    address = QString::fromUtf16(Hosts::k56PhotoAddress) + u"/album/index.php?user="_s + owner;
    List56PhotoAlbums(run, address);
}

void ListPocoFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, u"/album") || HasAfterStart(address, u"/theme")) {
        run.listing.m_nSubKind = POCO_ALBUMS;
        DropThrough(address, u"user_id-");
        DropThrough(address, u"user_id=");
        CutAt(address, {u"&", u"."});
        ListPocoAlbums(run, address);
    } else {
        run.listing.m_nSubKind = POCO_SETS;
        address.replace(u"p="_s, u"zrv="_s);
        ListPocoSetAlbums(run, address);
    }
}

void ListYupooFamily(CAlbumListing& run, QString& address)
{
    address.replace(u"/collections/"_s, u"/albums/"_s);
    if (HasAfterStart(address, Hosts::kYupooPersonalSuffix)) {
        DropThrough(address, kHttp);
        CutAt(address, {u".v"});
        address = QString::fromUtf16(Hosts::kYupooVAddress) + u"/photos/"_s + address + u"/albums/"_s;
    } else if (address.contains(QStringView(Hosts::kYupooVAddress)) ||
               address.contains(QStringView(Hosts::kYupooWwwHostSlash))) {
        CutAt(address, {u"page"});
    } else {
        DropThrough(address, kHttp);
        CutAt(address, {Hosts::kYupooDotLabel});
        address = QString::fromUtf16(Hosts::kYupooWwwAddress) + u"/photos/"_s + address + u"/albums/"_s;
    }
    ListYupooAlbums(run, address);
}

void List51Family(CAlbumListing& run, QString& address)
{
    if (address.contains(kHttp)) {
        DropThrough(address, Hosts::kEndCom);
        CutAt(address, {u"/"});
    }
    run.listing.m_strOwnerName = address;
    List51Albums(run, address);
}

void ListZolFamily(CAlbumListing& run, QString& address)
{
    if (address.contains(kHttp)) {
        DropThrough(address, Hosts::kEndCn);
        CutAt(address, {u"/"});
    }
    ListZolAlbums(run, address);
}

void ListPchomeFamily(CAlbumListing& run, QString& address)
{
    DropThrough(address, Hosts::kEndComTw);
    CutAt(address, {u"/", u"&", u"*", u"?"});
    run.listing.m_strOwnerName = address;
    ListPchomeAlbums(run, address);
}

void ListTaobaoFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, u"search") || HasAfterStart(address, u"item.")) {
        address.replace(u"pageNum="_s, u"Zrv1="_s);
        address.replace(u"viewType="_s, u"Zrv2="_s);
    } else {
        // A shop's home page becomes its search page. A shop name holding the letters of the
        // top-level domain is cut early; services accept that.
        CutAt(address, {Hosts::kTaobaoTopLevel});
        address += QString::fromUtf16(Hosts::kTaobaoTopLevel) + u"/?search=y"_s;
    }
    ListTaobaoItems(run, address);
}

void ListMokoFamily(CAlbumListing& run, QString& address)
{
    if (!address.contains(u"/post"_s)) {
        DropThrough(address, Hosts::kMokoDomain);
        CutAt(address, {u"/"});
        address = QString::fromUtf16(Hosts::kMokoAddress) + u"/post/"_s + address + u"/list.html"_s;
    }
    ListMokoAlbums(run, address);
}

void ListBabytreeFamily(CAlbumListing& run, QString& address)
{
    run.listing.m_nSubKind = BABYTREE_HOME;
    DropThrough(address, u"om/u");
    CutAt(address, {u"&", u"/"});
    ListBabytreeHomeAlbums(run, address);
    if (NoAlbums(run)) {
        ListBabytreeAlbums(run, address);
        run.listing.m_nSubKind = BABYTREE_ALBUMS;
    }
}

void ListPconlineFamily(CAlbumListing& run, QString& address)
{
    if (HasAfterStart(address, u"_p")) {
        for (int page = 1; page <= 99; ++page) {
            run.listing.m_strSourceArg1 = u"_p%1_"_s.arg(page);
            if (address.contains(run.listing.m_strSourceArg1)) {
                address.replace(run.listing.m_strSourceArg1, u"_dk1stp_"_s);
                break;
            }
        }
    } else if (HasAfterStart(address, u"myphoto.")) {
        address.replace(u".html"_s, u"_dk1stp_n15.html"_s);
    } else {
        DropThrough(address, Hosts::kEndCn);
        CutAt(address, {u"/"});
        run.listing.m_strSourceArg1 = address;
        address = QString::fromUtf16(Hosts::kPconlinePhotoAddress) + u'/' + address + u"/myphoto_dk1stp_n15.html"_s;
    }
    ListPconlineAlbums(run, address);
}
