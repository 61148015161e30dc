#pragma once

#include "sources/Listers.h"

#include <QString>

#include <array>

// The service families, in the order of the service list; the index is SourceKind.
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

struct ServiceFamily {
    const char* shortName;    // for the command line
    const char16_t* listText; // the service list entry
    // Prepares the typed address for the family and calls its album lister(s), choosing the
    // variant (m_nSubKind) on the way.
    void (*listAlbums)(CLumarexCore& core, QString& address);
};

const std::array<ServiceFamily, kFamilyCount>& ServiceFamilies();

// The family with that short name or index text ("qzone", "3"), or -1.
int FindFamily(const QString& nameOrIndex);

// Secure addresses are pasted as often as plain ones; the services are reached by their
// "http://" form, which is what every mark and recognition fragment expects.
QString ReadAsHttp(const QString& address);

// The family an address names, or current when it names none. Only addresses with "http://"
// are examined; PConline is never recognised.
int RecognizeAddress(const QString& address, int current);

// The photo lister of a family's variant, or null when the variant has none.
PhotoLister PhotoListerFor(int kind, int subKind);
