#pragma once

// The fake Moko member "alice": the post list page with a menu of three categories (the middle
// one empty, the last one answering the same page for every page number) and a post page.
// Shared by the adapter and command-line tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

namespace MokoFake {

inline constexpr char kHost[] = "www.moko.cc";
inline constexpr char kPictureHost[] = "img.moko.cc";

inline void ServeFixture(FakeService& service, const QByteArray& target, const char* name)
{
    service.Route(kHost, target, FakeReply::File(FixturePath(QStringLiteral("moko/") + QLatin1String(name))));
}

inline void Serve(FakeService& service)
{
    ServeFixture(service, "/post/alice/list.html", "list-alice.html");
    ServeFixture(service, "/post/alice/category/11/1.html", "category-11-1.html");
    ServeFixture(service, "/post/alice/category/11/2.html", "category-11-2.html");
    service.Route(kHost, "/post/alice/category/13/1.html", FakeReply::Ok(""));
    ServeFixture(service, "/post/alice/category/12/*", "category-12-any.html");
    ServeFixture(service, "/post/alice/1001.html", "post-1001.html"); // in GBK
    const char* pictures[] = {"/p/1001-a.jpg", "/p/1001-b.jpg", "/p/1001-c.jpg"};
    for (int i = 0; i < 3; ++i)
        service.Route(kPictureHost, pictures[i], FakeReply::Ok(FakePicture(i + 1), "image/jpeg"));
}

} // namespace MokoFake
