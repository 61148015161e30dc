#include "sources/Registry.h"

#include "core/LumarexCore.h"
#include "sources/AddressPreparation.h"
#include "sources/HostTable.h"

using namespace Qt::StringLiterals;

const std::array<ServiceFamily, kFamilyCount>& ServiceFamilies()
{
    static const std::array<ServiceFamily, kFamilyCount> families{{
        {"qzone", u"QQ空间/QQ群/腾讯微博", ListTencentFamily},
        {"baidu", u"百度相册", ListBaiduFamily},
        {"netease", u"网易相册/网易PP", ListNeteaseFamily},
        {"renren", u"人人网/人人小站", ListRenrenFamily},
        {"sina", u"新浪博客/新浪微博", ListSinaFamily},
        {"56", u"56相册", List56Family},
        {"poco", u"POCO相册", ListPocoFamily},
        {"yupoo", u"又拍网", ListYupooFamily},
        {"51", u"51个人空间", List51Family},
        {"zol", u"ZOL相册", ListZolFamily},
        {"pchome", u"PChome相簿", ListPchomeFamily},
        {"taobao", u"淘宝/天猫店铺宝贝", ListTaobaoFamily},
        {"moko", u"美空网", ListMokoFamily},
        {"babytree", u"宝宝树相册", ListBabytreeFamily},
        {"pconline", u"太平洋摄影部落", ListPconlineFamily},
    }};
    return families;
}

int FindFamily(const QString& nameOrIndex)
{
    bool isNumber = false;
    const int index = nameOrIndex.toInt(&isNumber);
    if (isNumber) return index >= 0 && index < kFamilyCount ? index : -1;
    for (int kind = 0; kind < kFamilyCount; ++kind)
        if (nameOrIndex.compare(QLatin1String(ServiceFamilies()[kind].shortName), Qt::CaseInsensitive) == 0)
            return kind;
    return -1;
}

QString ReadAsHttp(const QString& address)
{
    QString http = address;
    http.replace(u"https://"_s, u"http://"_s, Qt::CaseInsensitive);
    return http;
}

int RecognizeAddress(const QString& typed, int current)
{
    const QString address = ReadAsHttp(typed);
    struct Fragment {
        const char16_t* text;
        int kind;
    };
    static constexpr Fragment kFragments[] = {
        {Hosts::kQqDomain, SK_TENCENT},      {Hosts::kBaiduDomain, SK_BAIDU},
        {Hosts::kNeteaseDomain, SK_NETEASE}, {Hosts::kRenrenDomain, SK_RENREN},
        {Hosts::kSinaDomain, SK_SINA},       {Hosts::kWeiboDomain, SK_SINA},
        {Hosts::k56Domain, SK_56},           {Hosts::kPocoDomain, SK_POCO},
        {Hosts::kYupooDomain, SK_YUPOO},     {Hosts::k51Domain, SK_51},
        {Hosts::kZolDomain, SK_ZOL},         {Hosts::kPchomeDomain, SK_PCHOME},
        {Hosts::kTaobaoDomain, SK_TAOBAO},   {Hosts::kTmallDomain, SK_TAOBAO},
        {Hosts::kMokoDomain, SK_MOKO},       {Hosts::kBabytreeDomain, SK_BABYTREE},
    };
    if (!address.contains(u"http://"_s)) return current;
    for (const Fragment& fragment : kFragments)
        if (address.indexOf(QStringView(fragment.text)) > 0) return fragment.kind;
    return current;
}

namespace {
// Renren albums whose photo page lists nothing are walked picture page by picture page.
void ListRenrenPhotosOrByLink(CLumarexCore& core, int album)
{
    ListRenrenPhotos(core, album);
    if (core.m_downList.Count() == 0 && core.m_nDownState != DOWN_STOP) ListRenrenPhotosByLink(core, album);
}
} // namespace

PhotoLister PhotoListerFor(int kind, int subKind)
{
    switch (kind) {
    case SK_TENCENT:
        return subKind == 0   ? ListQzonePhotos
               : subKind == 1 ? ListQqGroupPhotos
               : subKind == 2 ? ListTencentWeiboPhotos
                              : nullptr;
    case SK_BAIDU:
        return ListBaiduPhotos;
    case SK_NETEASE:
        return subKind == 1 ? ListNeteasePpPhotos : ListNeteasePhotos;
    case SK_RENREN:
        return subKind == 0 ? ListRenrenPhotosOrByLink : subKind == 10 ? ListRenrenZhanPhotos : nullptr;
    case SK_SINA:
        return subKind == 0   ? ListSinaBlogPhotos
               : subKind == 1 ? ListSinaBlogArticlePhotos
               : subKind == 2 ? ListSinaWeiboPhotos
                              : nullptr;
    case SK_56:
        return List56PhotoPhotos;
    case SK_POCO:
        return subKind == 0 ? ListPocoPhotos : subKind == 1 ? ListPocoSetPhotos : nullptr;
    case SK_YUPOO:
        return ListYupooPhotos;
    case SK_51:
        return List51Photos;
    case SK_ZOL:
        return ListZolPhotos;
    case SK_PCHOME:
        return ListPchomePhotos;
    case SK_TAOBAO:
        return ListTaobaoPhotos;
    case SK_MOKO:
        return ListMokoPhotos;
    case SK_BABYTREE:
        return subKind == 0 ? ListBabytreeHomePhotos : ListBabytreePhotos;
    case SK_PCONLINE:
        return ListPconlinePhotos;
    default:
        return nullptr;
    }
}
