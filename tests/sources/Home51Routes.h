#pragma once

// The fake 51 Home member "xiaomei", shared by the adapter and command-line tests: group 301
// over two pages with shortened titles, 302 with a password, 303 from a service that ignores the
// page number, 305 marked hidden but open.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>

namespace Home51Fake {

inline constexpr char kHomeHost[] = "home.51.com";
inline constexpr char kPictureHost[] = "img1.51img.com";

inline FakeReply Fixture(const char* name)
{
    return FakeReply::File(FixturePath(QStringLiteral("51/") + QString::fromUtf8(name)));
}

inline QByteArray PhotoPage(const char* group, int page)
{
    return "/?u=xiaomei&c=photo&a=getdata&gid=" + QByteArray(group) + "&page=" + QByteArray::number(page);
}

inline void Serve(FakeService& service)
{
    service.Route(kHomeHost, "/?u=xiaomei&c=photo&a=getdata&gid=0&total=0", Fixture("groups.json"));
    service.Route(kHomeHost, PhotoPage("301", 1), Fixture("photos-301-1.json"));
    service.Route(kHomeHost, PhotoPage("301", 2), Fixture("photos-301-2.json"));
    service.Route(kHomeHost, PhotoPage("301", 3), Fixture("photos-end.json"));
    // Group 302 asks for its password until it was asked once: the login browser would have
    // left the cookie that opens it.
    auto asked = std::make_shared<std::atomic<int>>(0);
    service.Route(kHomeHost, PhotoPage("302", 1), [asked](const FakeRequest&) {
        return Fixture(asked->fetch_add(1) == 0 ? "photos-302-locked.json" : "photos-302-1.json");
    });
    // Once open, its pages still flag the password.
    service.Route(kHomeHost, PhotoPage("302", 2), Fixture("photos-302-2.json"));
    service.Route(kHomeHost, PhotoPage("302", 3), Fixture("photos-end.json"));
    // Group 303 answers its first page whatever page is asked for.
    service.Route(kHomeHost, "/", [](const FakeRequest& request) {
        return request.query().contains("gid=303&") ? Fixture("photos-303-any.json") : FakeReply::Status(404);
    });
    service.Route(kHomeHost, PhotoPage("305", 1), Fixture("photos-305-1.json"));
    service.Route(kHomeHost, PhotoPage("305", 2), Fixture("photos-end.json"));
    service.Route(kHomeHost, "/xiaomei/photo/view/5001", Fixture("photo-5001.html"));
    service.Route(kHomeHost, "/xiaomei/photo/view/5003", Fixture("photo-5003.html"));
    for (const int id : {5001, 5002, 5003, 5201, 5202, 5301, 5501})
        service.Route(kPictureHost, "/photo/" + QByteArray::number(id) + ".jpg",
                      FakeReply::Ok(FakePicture(id - 5000), "image/jpeg"));
}

} // namespace Home51Fake
