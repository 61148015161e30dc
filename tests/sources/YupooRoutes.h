#pragma once

// The fake Yupoo service: owner alice on the "v" host (two list pages in the older layout; a
// plain album, a password album and one whose full sizes are withheld from visitors) and owner
// bob on the main host. Shared by the adapter tests and the command-line tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>

namespace YupooFake {

inline constexpr char kVHost[] = "v.yupoo.com";
inline constexpr char kWwwHost[] = "www.yupoo.com";
inline constexpr char kPictureHost[] = "pic.yupoo.com";

inline FakeReply Page(const QByteArray& name)
{
    return FakeReply::File(FixturePath(QStringLiteral("yupoo/") + QString::fromUtf8(name)));
}

// The password album shows its password field until the password was entered once.
inline FakeHandler PasswordAlbum()
{
    auto unlocked = std::make_shared<std::atomic<bool>>(false);
    return [unlocked](const FakeRequest& request) {
        if (request.path().endsWith("/page1/") && !unlocked->exchange(true)) return Page("alice-1002-locked.html");
        return Page("alice-1002-open.html");
    };
}

inline void Serve(FakeService& service)
{
    service.Route(kVHost, "/photos/alice/albums/page1/", Page("alice-albums-1.html"));
    service.Route(kVHost, "/photos/alice/albums/page2/", Page("alice-albums-2.html"));
    service.Route(kWwwHost, "/photos/bob/albums/page1/", Page("bob-albums.html").Gzipped());
    service.Route(kWwwHost, "/photos/bob/albums/3001/", Page("bob-album-3001.html"));

    // Album 1001 answers its last page again for every later page number.
    service.Route(kVHost, "/photos/alice/albums/1001/page1/", Page("alice-1001-page1.html"));
    service.Route(kVHost, "/photos/alice/albums/1001/page*", Page("alice-1001-page2.html"));
    service.Route(kVHost, "/photos/alice/albums/1002/page*", PasswordAlbum());
    service.Route(kVHost, "/photos/alice/albums/1003/page1/", Page("alice-1003-page1.html"));
    for (const char* id : {"2001", "2002", "2003", "2101", "2301"})
        service.Route(kVHost, QByteArray("/photos/alice/") + id + "/zoom/original/",
                      Page(QByteArray("zoom-") + id + ".html"));
    service.Route(kVHost, "/photos/alice/2302/zoom/original/", Page("zoom-withheld.html"));

    const struct {
        const char* path;
        int seed;
    } pictures[] = {{"/alice/2001/original.jpg", 1},
                    {"/alice/2002/original.jpg", 2},
                    {"/alice/2003/medium.jpg", 3},
                    {"/alice/2101/original.jpg", 4},
                    {"/alice/2301/original.jpg", 5}};
    for (const auto& picture : pictures)
        service.Route(kPictureHost, picture.path, FakeReply::Ok(FakePicture(picture.seed), "image/jpeg"));
}

} // namespace YupooFake
