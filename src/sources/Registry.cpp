#include "sources/Registry.h"

#include "core/AdapterRun.h"
#include "sources/AddressPreparation.h"
#include "sources/HostTable.h"
#include "sources/Listers.h"
#include "sources/Variants.h"

using namespace Qt::StringLiterals;

namespace {
// A family of one variant chooses none: its listing leaves the variant at -1.
constexpr int kNoVariant = -1;

constexpr ServiceVariant kTencent[] = {
    {TENCENT_QZONE, ListQzoneAlbums, ListQzonePhotos},
    {TENCENT_QQ_GROUP, ListQqGroupAlbums, ListQqGroupPhotos},
    {TENCENT_WEIBO, ListTencentWeiboAlbums, ListTencentWeiboPhotos},
};
constexpr ServiceVariant kBaidu[] = {{kNoVariant, ListBaiduAlbums, ListBaiduPhotos}};
constexpr ServiceVariant kNetease[] = {
    {NETEASE_PHOTO, ListNeteaseAlbums, ListNeteasePhotos},
    {NETEASE_PP, ListNeteasePpAlbums, ListNeteasePpPhotos},
};
constexpr ServiceVariant kRenren[] = {
    {RENREN_PHOTOS, ListRenrenAlbums, ListRenrenPhotosOrByLink},
    {RENREN_ZHAN, ListRenrenZhanAlbums, ListRenrenZhanPhotos},
};
constexpr ServiceVariant kSina[] = {
    {SINA_BLOG, ListSinaBlogAlbums, ListSinaBlogPhotos},
    {SINA_BLOG_ARTICLES, ListSinaBlogArticles, ListSinaBlogArticlePhotos},
    {SINA_WEIBO, ListSinaWeiboAlbums, ListSinaWeiboPhotos},
};
constexpr ServiceVariant k56[] = {{kNoVariant, List56PhotoAlbums, List56PhotoPhotos}};
constexpr ServiceVariant kPoco[] = {
    {POCO_ALBUMS, ListPocoAlbums, ListPocoPhotos},
    {POCO_SETS, ListPocoSetAlbums, ListPocoSetPhotos},
};
constexpr ServiceVariant kYupoo[] = {{kNoVariant, ListYupooAlbums, ListYupooPhotos}};
constexpr ServiceVariant k51[] = {{kNoVariant, List51Albums, List51Photos}};
constexpr ServiceVariant kZol[] = {{kNoVariant, ListZolAlbums, ListZolPhotos}};
constexpr ServiceVariant kPchome[] = {{kNoVariant, ListPchomeAlbums, ListPchomePhotos}};
constexpr ServiceVariant kTaobao[] = {{kNoVariant, ListTaobaoItems, ListTaobaoPhotos}};
constexpr ServiceVariant kMoko[] = {{kNoVariant, ListMokoAlbums, ListMokoPhotos}};
constexpr ServiceVariant kBabytree[] = {
    {BABYTREE_HOME, ListBabytreeHomeAlbums, ListBabytreeHomePhotos},
    {BABYTREE_ALBUMS, ListBabytreeAlbums, ListBabytreePhotos},
};
constexpr ServiceVariant kPconline[] = {{kNoVariant, ListPconlineAlbums, ListPconlinePhotos}};
} // namespace

const std::array<ServiceFamily, kFamilyCount>& ServiceFamilies()
{
    // The variant without a choice: NetEase lists plain albums and Babytree a member's albums
    // unless the address named the other; QQ, Renren, Sina and POCO always choose.
    static constexpr std::array<ServiceFamily, kFamilyCount> families{{
        {"qzone", u"QQ空间/QQ群/腾讯微博", ListTencentFamily, kTencent, -1},
        {"baidu", u"百度相册", ListBaiduFamily, kBaidu, 0},
        {"netease", u"网易相册/网易PP", ListNeteaseFamily, kNetease, 0},
        {"renren", u"人人网/人人小站", ListRenrenFamily, kRenren, -1},
        {"sina", u"新浪博客/新浪微博", ListSinaFamily, kSina, -1},
        {"56", u"56相册", List56Family, k56, 0},
        {"poco", u"POCO相册", ListPocoFamily, kPoco, -1},
        {"yupoo", u"又拍网", ListYupooFamily, kYupoo, 0},
        {"51", u"51个人空间", List51Family, k51, 0},
        {"zol", u"ZOL相册", ListZolFamily, kZol, 0},
        {"pchome", u"PChome相簿", ListPchomeFamily, kPchome, 0},
        {"taobao", u"淘宝/天猫店铺宝贝", ListTaobaoFamily, kTaobao, 0},
        {"moko", u"美空网", ListMokoFamily, kMoko, 0},
        {"babytree", u"宝宝树相册", ListBabytreeFamily, kBabytree, 1},
        {"pconline", u"太平洋摄影部落", ListPconlineFamily, kPconline, 0},
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

const ServiceVariant* VariantOf(int kind, int subKind)
{
    if (kind < 0 || kind >= kFamilyCount) return nullptr;
    const ServiceFamily& family = ServiceFamilies()[size_t(kind)];
    for (const ServiceVariant& variant : family.variants)
        if (variant.nSubKind == subKind) return &variant;
    return family.nFallbackVariant < 0 ? nullptr : &family.variants[size_t(family.nFallbackVariant)];
}

PhotoLister PhotoListerFor(int kind, int subKind)
{
    const ServiceVariant* variant = VariantOf(kind, subKind);
    return variant ? PhotoLister(variant->listPhotos) : PhotoLister();
}
