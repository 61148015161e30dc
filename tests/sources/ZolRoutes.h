#pragma once

// The fake ZOL photo member "alice" (two list pages, an album of two pages, an album whose every
// page number answers the same page) and the pictures. Shared by the adapter and command-line
// tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

namespace ZolFake {

inline constexpr char kPhotoHost[] = "photo.zol.com.cn";

inline void ServeFixture(FakeService& service, const QByteArray& target, const char* name)
{
    service.Route(kPhotoHost, target, FakeReply::File(FixturePath(QStringLiteral("zol/") + QLatin1String(name))));
}

inline void Serve(FakeService& service)
{
    ServeFixture(service, "/alice/album_1.html", "albums-alice-1.html");
    ServeFixture(service, "/alice/album_2.html", "albums-alice-2.html");
    ServeFixture(service, "/alice/album/8801_1.html", "album-8801-1.html");
    ServeFixture(service, "/alice/album/8801_2.html", "album-8801-2.html");
    ServeFixture(service, "/alice/album/8802_*", "album-8802-any.html");
    // Full-size pictures only: a thumbnail address asked by mistake answers 404.
    const struct {
        const char* host;
        const char* path;
    } pictures[] = {
        {"2a.zol-img.com.cn", "/g1/M00/0A/sun_rise.jpg"},
        {"2b.zol-img.com.cn", "/photo_2013/wave.jpg"},
        {"2c.zol-img.com.cn", "/g2/sand.jpg"},
        {"2a.zol-img.com.cn", "/g1/M00/0B/dusk.jpg"},
        {"2c.zol-img.com.cn", "/g3/stone.jpg"},
    };
    int seed = 1;
    for (const auto& picture : pictures)
        service.Route(picture.host, picture.path, FakeReply::Ok(FakePicture(seed++), "image/jpeg"));
}

} // namespace ZolFake
