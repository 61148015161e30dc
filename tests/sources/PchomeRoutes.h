#pragma once

// The fake PChome photo member "alice": two album list pages and an album of two pages, all in
// Big5, and pictures served only to requests referred by their own picture page. Shared by the
// adapter and command-line tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

namespace PchomeFake {

inline constexpr char kPhotoHost[] = "photo.pchome.com.tw";

inline FakeReply Big5Page(const char* name)
{
    return FakeReply::File(FixturePath(QStringLiteral("pchome/") + QLatin1String(name)));
}

// The picture's bytes when the Referer names its page, 403 otherwise (as the service does).
inline void ServePicture(FakeService& service, const QByteArray& path, const QByteArray& page, int seed)
{
    service.Route(kPhotoHost, path, [page, seed](const FakeRequest& request) {
        if (request.header("Referer") != "http://photo.pchome.com.tw" + page) return FakeReply::Status(403);
        return FakeReply::Ok(FakePicture(seed), "image/jpeg");
    });
}

inline void Serve(FakeService& service)
{
    service.Route(kPhotoHost, "/alice*1", Big5Page("albums-alice-1.html"));
    service.Route(kPhotoHost, "/alice*2", Big5Page("albums-alice-2.html"));
    service.Route(kPhotoHost, "/alice/001*1", Big5Page("album-001-1.html"));
    service.Route(kPhotoHost, "/alice/001*2", Big5Page("album-001-2.html"));
    ServePicture(service, "/alice/001/p101.jpg", "/alice/101", 1);
    ServePicture(service, "/photos.2013/alice/p102.jpg", "/alice/102", 2);
    ServePicture(service, "/alice/001/p103.jpg", "/alice/103", 3);
}

} // namespace PchomeFake
