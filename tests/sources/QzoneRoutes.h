#pragma once

// The fake QQ Zone of owner 12345678 (route answer, album list, the public album's photo list and
// its three pictures), shared by the command-line tests and fake_service.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

namespace QzoneFake {

// Pictures of pictureSize bytes; with pauseMs each stops half-way that long, so that the progress
// of a download can be watched.
inline void Serve(FakeService& service, int pictureSize = 2048, int pauseMs = 0)
{
    const auto fixture = [](const char* name) {
        return FakeReply::File(FixturePath(QStringLiteral("qzone/") + QLatin1String(name)));
    };
    service.Route("route.store.qq.com", "/GetRoute", fixture("route.json"));
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2", fixture("albums.jsonp"));
    service.Route("szplist.photo.qq.com", "/fcgi-bin/fcg_list_photo_v2", fixture("photos-public.jsonp"));
    for (int i = 1; i <= 3; ++i) {
        FakeReply picture = FakeReply::Ok(FakePicture(i, pictureSize), "image/jpeg");
        if (pauseMs > 0) picture.PauseAt(pictureSize / 2, pauseMs);
        service.Route("b1.photo.store.qq.com", "/psb?/V10pub/" + QByteArray::number(i) + ".jpg", picture);
    }
}

} // namespace QzoneFake
