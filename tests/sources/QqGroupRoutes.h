#pragma once

// The fake QQ group 7654321, shared by the adapter and command-line tests: 14 albums on two list
// pages (the third is empty), album V1a01 with 16 pictures on two photo pages, and the pictures.
// A visitor without a user number in the login cookies is told to log in.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>
#include <QUrlQuery>

namespace QqGroupFake {

inline constexpr char kListHost[] = "qun.photo.qq.com";
inline constexpr char kAlbumListPath[] = "/cgi-bin/upp/qun_list_album_v2";
inline constexpr char kPhotoListPath[] = "/cgi-bin/upp/qun_list_photo_v2";
inline constexpr char kPictureHost[] = "qungz.photo.store.qq.com";

inline QString QueryValue(const FakeRequest& request, const QString& key)
{
    return QUrlQuery(QString::fromLatin1(request.query())).queryItemValue(key);
}

inline FakeReply Fixture(const QString& name)
{
    return FakeReply::File(FixturePath(QStringLiteral("qqgroup/") + name));
}

inline FakeReply AlbumList(const FakeRequest& request)
{
    if (QueryValue(request, QStringLiteral("uin")).isEmpty()) return Fixture(QStringLiteral("not-logged-in.jsonp"));
    const QString start = QueryValue(request, QStringLiteral("start"));
    if (start == QStringLiteral("0") || start == QStringLiteral("12"))
        return Fixture(QStringLiteral("albums-%1.jsonp").arg(start));
    return Fixture(QStringLiteral("albums-24.jsonp"));
}

inline FakeReply PhotoList(const FakeRequest& request)
{
    const QString start = QueryValue(request, QStringLiteral("start"));
    if (QueryValue(request, QStringLiteral("albumId")) == QStringLiteral("V1a01") &&
        (start == QStringLiteral("0") || start == QStringLiteral("15")))
        return Fixture(QStringLiteral("photos-%1.jsonp").arg(start));
    return Fixture(QStringLiteral("photos-end.jsonp"));
}

// The large variant of picture n ("/qun/7654321/V1a01/pNN/800") is FakePicture(n); any other
// variant is missing.
inline FakeReply Picture(const FakeRequest& request)
{
    const QByteArray path = request.path();
    if (!path.endsWith("/800")) return FakeReply::Status(404);
    const int n = path.mid(path.lastIndexOf("/p") + 2, 2).toInt();
    return FakeReply::Ok(FakePicture(n), "image/jpeg");
}

inline void Serve(FakeService& service)
{
    service.Route(kListHost, kAlbumListPath, AlbumList);
    service.Route(kListHost, kPhotoListPath, PhotoList);
    service.Route(kPictureHost, "/qun/7654321/V1a01/*", Picture);
}

} // namespace QqGroupFake
