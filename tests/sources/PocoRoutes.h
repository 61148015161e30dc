#pragma once

// The fake POCO user 174478992 ("小鱼儿"): two album overview pages, the photo lists of two
// albums and their pictures; and a set listing page with its set pages and pictures. Every page
// is GBK. Shared by the adapter and command-line tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>

namespace PocoFake {

inline constexpr char kAlbumHost[] = "my.poco.cn";
inline constexpr char kPhotoList[] = "/album/album_show_photo_list.php?user_id=174478992&set_hash=";

inline FakeReply Fixture(const char* name)
{
    // No charset in the headers: the pages must be read as GBK because the adapter asks so.
    return FakeReply::File(FixturePath(QStringLiteral("poco/") + QString::fromUtf8(name)));
}

inline void ServePicture(FakeService& service, const QByteArray& host, const QByteArray& path, int seed)
{
    service.Route(host, path, FakeReply::Ok(FakePicture(seed), "image/jpeg"));
}

inline void Serve(FakeService& service)
{
    service.Route(kAlbumHost, "/album/album_show_all.htx&user_id=174478992&p=1", Fixture("overview-p1.html"));
    service.Route(kAlbumHost, "/album/album_show_all.htx&user_id=174478992&p=2",
                  Fixture("overview-p2.html").Gzipped());
    service.Route(kAlbumHost, QByteArray(kPhotoList) + "a1f0c9&do=Plist&p=1", Fixture("photos-a1f0c9-p1.html"));
    service.Route(kAlbumHost, QByteArray(kPhotoList) + "a1f0c9&do=Plist&p=2", Fixture("photos-a1f0c9-p2.html"));
    // This album's list answers its first page whatever page is asked.
    service.Route(kAlbumHost, QByteArray(kPhotoList) + "d4c3b6*", Fixture("photos-d4c3b6-any.html"));
    ServePicture(service, "img11.poco.cn", "/mypoco/myphoto/20130601/10/174478992_wave.jpg", 1);
    ServePicture(service, "img11.poco.cn", "/mypoco/myphoto/20130601/10/174478992_sand.jpg", 2);
    ServePicture(service, "img11.poco.cn", "/mypoco/myphoto/20130601/10/174478992_sunset.jpg", 3);
    ServePicture(service, "img12.poco.cn", "/mypoco/myphoto/20130602/11/174478992_street.jpg", 4);

    service.Route("photo.poco.cn", "/vision/list.php?tag=sea&zrv=3&p=1", Fixture("sets-p1.html"));
    service.Route("photo.poco.cn", "/lastphoto-htx-id-5001-p-0.xhtml", Fixture("set-5001.html"));
    service.Route("photo.poco.cn", "/lastphoto-htx-id-5003-p-0.xhtml", Fixture("set-5003.html"));
    ServePicture(service, "image17-c.poco.cn", "/set/5001a.jpg", 21);
    ServePicture(service, "image17-c.poco.cn", "/set/5001b.jpg", 22);
    ServePicture(service, "image17-c.poco.cn", "/set/5003a.jpg", 23);
}

} // namespace PocoFake
