#include "sources/Registry.h"

#include "core/AdapterRun.h"
#include "sources/HostTable.h"

using namespace Qt::StringLiterals;

// Each family's file defines its row: its names, its address preparation and its variants.
extern const ServiceFamily kTencentFamily;
extern const ServiceFamily kBaiduFamily;
extern const ServiceFamily kNeteaseFamily;
extern const ServiceFamily kRenrenFamily;
extern const ServiceFamily kSinaFamily;
extern const ServiceFamily kPhoto56Family;
extern const ServiceFamily kPocoFamily;
extern const ServiceFamily kYupooFamily;
extern const ServiceFamily kHome51Family;
extern const ServiceFamily kZolFamily;
extern const ServiceFamily kPchomeFamily;
extern const ServiceFamily kTaobaoFamily;
extern const ServiceFamily kMokoFamily;
extern const ServiceFamily kBabytreeFamily;
extern const ServiceFamily kPconlineFamily;

const std::array<const ServiceFamily*, kFamilyCount>& ServiceFamilies()
{
    static constexpr std::array<const ServiceFamily*, kFamilyCount> families{{
        &kTencentFamily,
        &kBaiduFamily,
        &kNeteaseFamily,
        &kRenrenFamily,
        &kSinaFamily,
        &kPhoto56Family,
        &kPocoFamily,
        &kYupooFamily,
        &kHome51Family,
        &kZolFamily,
        &kPchomeFamily,
        &kTaobaoFamily,
        &kMokoFamily,
        &kBabytreeFamily,
        &kPconlineFamily,
    }};
    return families;
}

int FindFamily(const QString& nameOrIndex)
{
    bool isNumber = false;
    const int index = nameOrIndex.toInt(&isNumber);
    if (isNumber) return index >= 0 && index < kFamilyCount ? index : -1;
    for (int kind = 0; kind < kFamilyCount; ++kind)
        if (nameOrIndex.compare(QLatin1String(ServiceFamilies()[kind]->shortName), Qt::CaseInsensitive) == 0)
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
    const ServiceFamily& family = *ServiceFamilies()[size_t(kind)];
    for (const ServiceVariant& variant : family.variants)
        if (variant.nSubKind == subKind) return &variant;
    return family.nFallbackVariant < 0 ? nullptr : &family.variants[size_t(family.nFallbackVariant)];
}

PhotoLister PhotoListerFor(int kind, int subKind)
{
    const ServiceVariant* variant = VariantOf(kind, subKind);
    return variant ? PhotoLister(variant->listPhotos) : PhotoLister();
}
