#pragma once

// The fake 56 Photo service of user dave: two index pages (albums 501 and 502, then 503), the
// photo lists of 501 (two pages) and 503 (one page the service answers for every page number)
// and their pictures. Shared by the adapter tests and the command-line tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>

namespace Photo56Fake {

inline constexpr char kHost[] = "photo.56.com";
inline constexpr char kPictureHost[] = "img.56.com";

inline FakeReply Page(const QByteArray& name)
{
    return FakeReply::File(FixturePath(QStringLiteral("56/") + QString::fromUtf8(name)));
}

inline FakeReply PhotoList(const FakeRequest& request)
{
    const QByteArray query = request.query();
    if (query == "do=Plist&did=501&page=1") return Page("plist-501-1.html");
    if (query == "do=Plist&did=501&page=2") return Page("plist-501-2.html");
    if (query.startsWith("do=Plist&did=503&page=")) return Page("plist-503-1.html");
    return FakeReply::Status(404);
}

inline void Serve(FakeService& service)
{
    service.Route(kHost, "/album/index.php?user=dave&page=1", Page("dave-index-1.html"));
    service.Route(kHost, "/album/index.php?user=dave&page=2", Page("dave-index-2.html"));
    service.Route(kHost, "/album/", PhotoList);
    for (const int id : {7001, 7002, 7003, 7004})
        service.Route(kPictureHost, "/photo/501/" + QByteArray::number(id) + ".jpg",
                      FakeReply::Ok(FakePicture(id - 7000), "image/jpeg"));
    service.Route(kPictureHost, "/photo/503/7301.jpg", FakeReply::Ok(FakePicture(31), "image/jpeg"));
}

} // namespace Photo56Fake
