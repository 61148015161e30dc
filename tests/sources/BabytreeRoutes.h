#pragma once

// The fake Babytree service, shared by the adapter and command-line tests: member 87654321 has
// his albums on the home host, member 12345678 has none there and is listed on the main host.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>

namespace BabytreeFake {

inline constexpr char kHomeHost[] = "home.babytree.com";
inline constexpr char kMainHost[] = "www.babytree.com";
inline constexpr char kPictureHost[] = "pic.babytree.com";

inline void ServeFixture(FakeService& service, const QByteArray& host, const QByteArray& target, const char* fixture)
{
    service.Route(host, target, FakeReply::File(FixturePath(QStringLiteral("babytree/") + QString::fromUtf8(fixture))));
}

inline QByteArray MainPage(const QByteArray& query)
{
    return "/user/showuser.php?uid=u12345678&tab=photo&" + query;
}

inline void ServePicture(FakeService& service, const QByteArray& path, int seed)
{
    service.Route(kPictureHost, path, FakeReply::Ok(FakePicture(seed), "image/jpeg"));
}

// Member 87654321: two list pages; album 501 over two pages, album 502 (no name) with one
// picture whose page is missing.
inline void ServeHomeMember(FakeService& service)
{
    ServeFixture(service, kHomeHost, "/u87654321/photo/list?pg=1", "home-list-1.html");
    ServeFixture(service, kHomeHost, "/u87654321/photo/list?pg=2", "home-list-2.html");
    ServeFixture(service, kHomeHost, "/u87654321/photo/album?album_id=501&pg=1", "home-album-501-1.html");
    ServeFixture(service, kHomeHost, "/u87654321/photo/album?album_id=501&pg=2", "home-album-501-2.html");
    ServeFixture(service, kHomeHost, "/u87654321/photo/album?album_id=502&pg=1", "home-album-502-1.html");
    for (const char* photo : {"9001", "9002", "9003"})
        ServeFixture(service, kHomeHost, QByteArray("/u87654321/photo/view?photo_id=") + photo,
                     qPrintable(QStringLiteral("home-photo-%1.html").arg(QLatin1String(photo))));
    ServePicture(service, "/big/9001.jpg", 1);
    ServePicture(service, "/thumb/9002_s.jpg", 2);
    ServePicture(service, "/thumb/9003_s.jpg", 3);
    ServePicture(service, "/thumb/9101_s.jpg", 4);
}

// Member 12345678: nothing on the home host; two list pages on the main host; album 701 over
// two pages (8002 without a large view), album 702 with one picture.
inline void ServeMainMember(FakeService& service)
{
    ServeFixture(service, kHomeHost, "/u12345678/photo/list?pg=1", "home-list-empty.html");
    ServeFixture(service, kMainHost, MainPage("view=album_list&order=&pg=1"), "main-list-1.html");
    ServeFixture(service, kMainHost, MainPage("view=album_list&order=&pg=2"), "main-list-2.html");
    ServeFixture(service, kMainHost, MainPage("view=album&album_id=701&pg=1"), "main-album-701-1.html");
    ServeFixture(service, kMainHost, MainPage("view=album&album_id=701&pg=2"), "main-album-701-2.html");
    ServeFixture(service, kMainHost, MainPage("view=album&album_id=702&pg=1"), "main-album-702-1.html");
    for (const char* photo : {"8001", "8002", "8003", "8101"})
        ServeFixture(service, kMainHost, MainPage(QByteArray("view=photo&photo_id=") + photo + "&show=big"),
                     qPrintable(QStringLiteral("main-photo-%1.html").arg(QLatin1String(photo))));
    ServePicture(service, "/big/8001.jpg", 11);
    ServePicture(service, "/thumb/8002_s.jpg", 12);
    ServePicture(service, "/big/8003.jpg", 13);
    ServePicture(service, "/big/8101.jpg", 14);
}

inline void Serve(FakeService& service)
{
    ServeHomeMember(service);
    ServeMainMember(service);
}

} // namespace BabytreeFake
