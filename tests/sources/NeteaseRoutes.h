#pragma once

// The fake NetEase photo service of owner "alice", shared by the adapter and command-line tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>

namespace NeteaseFake {

inline constexpr char kAlbumHost[] = "photo.163.com";
inline constexpr char kScriptHost[] = "s2.ph.126.net";
inline constexpr char kAlbumDataPath[] = "/photo/alice/dwr/call/plaincall/AlbumBean.getAlbumData.dwr";

// The album data call as the service answers it: a DWR callback whose last argument is the
// script address without its scheme, or null.
inline FakeReply DwrReply(const QByteArray& value)
{
    return FakeReply::Ok("//#DWR-INSERT\r\n//#DWR-REPLY\r\ndwr.engine._remoteHandleCallback('530377','0'," + value +
                             ");\r\n",
                         "text/javascript; charset=utf-8");
}

inline FakeReply AlbumData(const FakeRequest& request)
{
    const QByteArray query = request.query();
    const auto asks = [&query](const QByteArray& param0) { return query.contains("c0-param0=" + param0 + "&"); };
    if (asks("number%3A105")) return DwrReply("\"s2.ph.126.net/photo/alice/相册-105.js\""); // UTF-8
    if (asks("number%3A106")) return FakeReply::Ok("");
    if (asks("number%3A107")) return DwrReply("\"s2.ph.126.net/photo/alice/photos-107.js\"");
    if (asks("number%3A103") && query.contains("c0-param2=string%3Afromblog&"))
        return DwrReply("\"s2.ph.126.net/photo/alice/photos-103.js\"");
    if (asks("string%3A102")) return DwrReply("\"s2.ph.126.net/photo/alice/photos-102-full.js\"");
    return DwrReply("null");
}

inline void ServeFixture(FakeService& service, const QByteArray& host, const QByteArray& target, const char* fixture)
{
    service.Route(host, target, FakeReply::File(FixturePath(QStringLiteral("netease/") + QString::fromUtf8(fixture))));
}

// The owner page, the list script, the album data call and the photo scripts with pictures.
inline void ServeAlice(FakeService& service)
{
    ServeFixture(service, kAlbumHost, "/alice/", "owner-alice.html");
    ServeFixture(service, kScriptHost, "/photo/alice/albums.js", "albums-alice.js");
    service.Route(kAlbumHost, kAlbumDataPath, AlbumData);
    ServeFixture(service, kScriptHost, "/photo/alice/photos-101.js", "photos-101.js");
    ServeFixture(service, kScriptHost, "/photo/alice/photos-102.js", "photos-short.js");
    ServeFixture(service, kScriptHost, "/photo/alice/photos-102-full.js", "photos-102.js");
    ServeFixture(service, kScriptHost, "/photo/alice/photos-103.js", "photos-103.js");
    service.Route("img3.bimg.126.net", "/photo/Zq8Ab==/9001.jpg", FakeReply::Ok(FakePicture(1), "image/jpeg"));
    service.Route("img7.bimg.126.net", "/photo/Zq8Ab==/9002m.jpg", FakeReply::Ok(FakePicture(2), "image/jpeg"));
    service.Route("img.ph.126.net", "/Zq8Ab==/9003s.jpg", FakeReply::Ok(FakePicture(3), "image/jpeg"));
}

} // namespace NeteaseFake
