#pragma once

#include "support/AdapterTest.h"

// The fake Renren owner 223344: the album list pages, album 5001 with its photo list, photo
// pages and pictures. Shared by the adapter tests and the command-line tests.
namespace RenrenRoutes {

inline constexpr char kPhotoHost[] = "photo.renren.com";
inline constexpr char kPictureHost[] = "fmn.rrimg.com";
inline constexpr char kOwner[] = "/photo/223344";

inline void ServeFixture(FakeService& service, const QByteArray& host, const QByteArray& target, const char* name)
{
    service.Route(host, target, FakeReply::File(FixturePath(QStringLiteral("renren/") + QLatin1String(name))));
}

// The first list page (five albums), ajax pages at offsets 40 and 80, nothing at 120.
inline void ServeOwnerList(FakeService& service)
{
    ServeFixture(service, kPhotoHost, "/photo/223344/album/relatives?curpage=1", "albums-first.html");
    ServeFixture(service, kPhotoHost, "/photo/223344/album/relatives/ajax?offset=40&limit=40", "albums-ajax-40.html");
    ServeFixture(service, kPhotoHost, "/photo/223344/album/relatives/ajax?offset=80&limit=40", "albums-ajax-80.html");
    service.Route(kPhotoHost, "/photo/223344/album/relatives/ajax?offset=120&limit=40", FakeReply::Ok(""));
}

// Album 5001: its page, the full photo list on page 0, none on page 1, the photo page of 7003
// (7004 has none), and the four pictures.
inline void ServeAlbum5001(FakeService& service)
{
    ServeFixture(service, kPhotoHost, "/photo/223344/album-5001", "album-page.html");
    ServeFixture(service, kPhotoHost, "/photo/223344/album-5001/bypage/ajax?curPage=0&pagenum=65535",
                 "photos-bypage.json");
    ServeFixture(service, kPhotoHost, "/photo/223344/album-5001/bypage/ajax?curPage=1&pagenum=65535",
                 "photos-bypage-end.json");
    ServeFixture(service, kPhotoHost, "/photo/223344/photo-7003/large?xtype=album", "photo-large.html");
    const char* pictures[] = {"xlarge_aaa", "original_bbb", "xlarge_ccc", "large_ddd"};
    for (int i = 0; i < 4; ++i)
        service.Route(kPictureHost, QByteArray("/fmn059/20130601/") + pictures[i] + ".jpg",
                      FakeReply::Ok(FakePicture(i + 1), "image/jpeg"));
}

} // namespace RenrenRoutes
