// Tencent: one service list entry for QQ Zone, QQ groups and Tencent Weibo, told apart by the
// address typed.
#include "sources/AdapterKit.h"
#include "sources/HostTable.h"
#include "sources/Registry.h"
#include "sources/Tencent.h"

using namespace Qt::StringLiterals;
using namespace AdapterKit;

namespace {
// The variants a listing chooses among (SourceSubKind).
enum TencentVariant : int { TENCENT_QZONE = 0, TENCENT_QQ_GROUP = 1, TENCENT_WEIBO = 2 };

void ListTencentFamily(CAlbumListing& run, QString& address)
{
    bool qzone = !address.contains(kHttpScheme);
    if (!qzone) {
        if (HasAfterStart(address, Hosts::kQzoneUserHost)) {
            qzone = true;
        } else if (address.contains(QStringView(Hosts::kTencentWeiboPrefix))) {
            DropThrough(address, Hosts::kEndCom);
            DropThrough(address, u"hoto/");
            CutAtAny(address, {u"/", u"?"});
            run.listing.m_strSourceArg2 = address;
            run.listing.m_strOwnerName = address;
            ListTencentWeiboAlbums(run, address);
            run.listing.m_nSubKind = TENCENT_WEIBO;
        }
    }
    if (qzone) {
        DropThrough(address, Hosts::kEndCom);
        CutAtAny(address, {u"?", u"#"});
        ListQzoneAlbums(run, address);
        run.listing.m_strOwnerName = address;
        run.listing.m_nSubKind = TENCENT_QZONE;
    }
    // A bare number that names no QQ Zone is tried as a group number.
    if (NoAlbums(run) || HasAfterStart(address, Hosts::kQqGroupHost)) {
        DropThrough(address, u"!/");
        CutAtAny(address, {u"/", u"?", u"#"});
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

constexpr ServiceVariant kVariants[] = {
    {TENCENT_QZONE, ListQzoneAlbums, ListQzonePhotos},
    {TENCENT_QQ_GROUP, ListQqGroupAlbums, ListQqGroupPhotos},
    {TENCENT_WEIBO, ListTencentWeiboAlbums, ListTencentWeiboPhotos},
};
} // namespace

extern const ServiceFamily kTencentFamily{"qzone", u"QQ空间/QQ群/腾讯微博", ListTencentFamily, kVariants, -1};
