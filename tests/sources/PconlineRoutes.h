#pragma once

// The fake PConline member "someone" (UTF-8 pages): three album list pages, the picture lists of
// albums 3001 (sent gzipped) and 3002, and their pictures. Shared by the adapter and
// command-line tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>

namespace PconlineFake {

inline constexpr char kPhotoHost[] = "dp.pconline.com.cn";
inline constexpr char kPictureHost[] = "img.pconline.com.cn";
inline constexpr char kPicturePath[] = "/images/upload/upc/tx/photoblog/";

inline FakeReply Fixture(const char* name)
{
    return FakeReply::File(FixturePath(QStringLiteral("pconline/") + QLatin1String(name)));
}

inline void ServePicture(FakeService& service, const QByteArray& name, int seed)
{
    service.Route(kPictureHost, kPicturePath + name, FakeReply::Ok(FakePicture(seed), "image/jpeg"));
}

inline void Serve(FakeService& service)
{
    service.Route(kPhotoHost, "/someone/myphoto_p1_n15.html", Fixture("someone-p1.html"));
    service.Route(kPhotoHost, "/someone/myphoto_p2_n15.html", Fixture("someone-p2.html"));
    service.Route(kPhotoHost, "/someone/myphoto_p3_n15.html", Fixture("someone-p3.html"));
    service.Route(kPhotoHost, "/photo/list_3001.html", Fixture("list-3001.html").Gzipped());
    service.Route(kPhotoHost, "/photo/list_3002.html", Fixture("list-3002.html"));
    ServePicture(service, "1305/a1.jpg", 1);
    ServePicture(service, "1305/a2.jpg", 2);
    ServePicture(service, "1305/a3.jpg", 3);
    ServePicture(service, "1306/c1.jpg", 4);
    ServePicture(service, "other/b1.jpg", 9);
}

} // namespace PconlineFake
