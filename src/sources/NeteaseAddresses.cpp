#include "sources/Netease.h"

#include "sources/HostTable.h"

using namespace Qt::StringLiterals;

namespace {
// The call texts are sent exactly as the service's own page sends them, the session and batch
// numbers included. Built by concatenation: QString::arg would read "%24" as a place marker.
constexpr char16_t kCallPath[] = u"/dwr/call/plaincall/AlbumBean.getAlbumData.dwr?callCount=1"
                                 u"&scriptSessionId=%24%7BscriptSessionId%7D187&c0-scriptName=AlbumBean"
                                 u"&c0-methodName=getAlbumData&c0-id=0&c0-param0=";
constexpr char16_t kNumberParam[] = u"number%3A";
constexpr char16_t kTextParam[] = u"string%3A";
constexpr char16_t kTail[] = u"&c0-param1=string%3A&c0-param2=string%3A&c0-param3=number%3A24881696"
                             u"&c0-param4=boolean%3Afalse&batchId=530377";
constexpr char16_t kTailFromBlog[] = u"&c0-param1=string%3A&c0-param2=string%3Afromblog"
                                     u"&c0-param3=string%3A24881696&c0-param4=boolean%3Afalse&batchId=530377";
} // namespace

QString NeteaseImageAddress(const QString& path)
{
    if (path.isEmpty()) return {};
    const qsizetype slash = path.indexOf(u'/');
    const QString server = slash > 0 ? path.left(slash) : QString();
    const QString rest = slash > 0 ? path.mid(slash) : path;
    const char16_t* suffix = path.contains(u"/photo/"_s) ? Hosts::kNeteaseImageSuffixA : Hosts::kNeteaseImageSuffixB;
    return u"http://img"_s + server + QString::fromUtf16(suffix) + rest;
}

QString NeteasePlaceholder(const QString& path)
{
    return QString::fromUtf16(Hosts::kNeteaseStaticAddress) + path;
}

QString NeteaseAlbumDataUrl(const QString& owner, const QString& albumId, AlbumDataForm form)
{
    const char16_t* param = form == AlbumDataForm::Text ? kTextParam : kNumberParam;
    const char16_t* tail = form == AlbumDataForm::NumberFromBlog ? kTailFromBlog : kTail;
    return QString::fromUtf16(Hosts::kNeteaseAlbumAddress) + u"/photo/"_s + owner + QString::fromUtf16(kCallPath) +
           QString::fromUtf16(param) + albumId + QString::fromUtf16(tail);
}

QString NeteaseVerificationPage(const QString& owner, const QString& albumId)
{
    return QString::fromUtf16(Hosts::kNeteaseAlbumAddress) + u'/' + owner + u"/list/#aid="_s + albumId + u"&m=1&p=1"_s;
}
