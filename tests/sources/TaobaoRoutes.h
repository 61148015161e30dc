#pragma once

// The fake Taobao shop "mengshop" (GBK pages): three search pages, the item pages of 1001 to
// 1003 (1003 without its description host) and the gallery pictures. Shared by the adapter and
// command-line tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>

namespace TaobaoFake {

inline constexpr char kShopHost[] = "mengshop.taobao.com";
inline constexpr char kItemHost[] = "item.taobao.com";

inline void ServeFixture(FakeService& service, const QByteArray& host, const QByteArray& target, const char* name)
{
    service.Route(host, target, FakeReply::File(FixturePath(QStringLiteral("taobao/") + QLatin1String(name))));
}

inline QByteArray SearchTarget(int page)
{
    return "/?search=y&viewType=grid&pageNum=" + QByteArray::number(page);
}

// The gallery pictures: host, path and the seed of their bytes.
struct GalleryPicture {
    const char* host;
    const char* path;
    int seed;
};
inline constexpr GalleryPicture kPictures[] = {
    {"img01.taobaocdn.com", "/bao/uploaded/i1/1001a.jpg", 11},
    {"img02.taobaocdn.com", "/bao/uploaded/i2/1001b.jpg", 12},
    {"img01.taobaocdn.com", "/bao/uploaded/i1/1002a.jpg", 21},
    {"img02.taobaocdn.com", "/bao/uploaded/i2/1002b.jpg", 22},
};

inline void Serve(FakeService& service)
{
    ServeFixture(service, kShopHost, SearchTarget(1), "shop-p1.html");
    ServeFixture(service, kShopHost, SearchTarget(2), "shop-p2.html");
    ServeFixture(service, kShopHost, SearchTarget(3), "shop-p3.html");
    for (const char* id : {"1001", "1002", "1003"})
        ServeFixture(service, kItemHost, QByteArray("/item.htm?id=") + id,
                     (QByteArray("item-") + id + ".html").constData());
    for (const GalleryPicture& picture : kPictures)
        service.Route(picture.host, picture.path, FakeReply::Ok(FakePicture(picture.seed), "image/jpeg"));
}

} // namespace TaobaoFake
