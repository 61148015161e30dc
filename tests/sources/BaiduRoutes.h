#pragma once

// The fake Baidu album owner "lily", shared by the adapter and command-line tests: the album page
// (two albums before the feedback area, one after it), album 9a8b7c6d01 with five pictures on
// two picture list pages (the third is empty), and the full-size pictures.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>
#include <QUrlQuery>

namespace BaiduFake {

inline constexpr char kHost[] = "xiangce.baidu.com";
inline constexpr char kListPrefix[] = "/picture/album/list/";

inline QString QueryValue(const FakeRequest& request, const QString& key)
{
    return QUrlQuery(QString::fromLatin1(request.query())).queryItemValue(key);
}

inline FakeReply Fixture(const QString& name)
{
    return FakeReply::File(FixturePath(QStringLiteral("baidu/") + name));
}

inline FakeReply PictureList(const FakeRequest& request)
{
    const QString pn = QueryValue(request, QStringLiteral("pn"));
    if (request.path() == "/picture/album/list/9a8b7c6d01" && (pn == u"0" || pn == u"3"))
        return Fixture(QStringLiteral("pictures-%1.json").arg(pn));
    return Fixture(QStringLiteral("pictures-end.json"));
}

// Only the full-size address of picture pNNN ("…/pic/item/pNNN.jpg") is served, as FakePicture(N).
inline FakeReply Picture(const FakeRequest& request)
{
    const QByteArray path = request.path();
    const qsizetype at = path.indexOf("/pic/item/p");
    if (at < 0 || !path.endsWith(".jpg")) return FakeReply::Status(404);
    return FakeReply::Ok(FakePicture(path.mid(at + 11, 3).toInt()), "image/jpeg");
}

inline void Serve(FakeService& service)
{
    service.Route(kHost, "/lily", Fixture(QStringLiteral("album-page-lily.html")));
    service.Route(kHost, QByteArray(kListPrefix) + "*", PictureList);
    service.Route("imgsrc.baidu.com", "/*", Picture);
    service.Route("hiphotos.baidu.com", "/*", Picture);
}

} // namespace BaiduFake
