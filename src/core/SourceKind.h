#pragma once

// The service families, in the order of the service list; the index is SourceKind, and soft.dat
// keeps one settings slot per index.
enum SourceKind : int {
    SK_TENCENT = 0,
    SK_BAIDU,
    SK_NETEASE,
    SK_RENREN,
    SK_SINA,
    SK_56,
    SK_POCO,
    SK_YUPOO,
    SK_51,
    SK_ZOL,
    SK_PCHOME,
    SK_TAOBAO,
    SK_MOKO,
    SK_BABYTREE,
    SK_PCONLINE,
    kFamilyCount
};
