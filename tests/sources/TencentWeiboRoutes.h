#pragma once

// The fake Tencent Weibo owner "someone" (id 28374650), shared by the adapter and command-line
// tests: the owner page, two album list pages (the third is empty), topic album 100001 with six
// posts on two pages, and the pictures. The API answers only requests with its proxy page as
// Referer and the owner's id; others get an error without albums or posts.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>
#include <QUrlQuery>

namespace TencentWeiboFake {

inline constexpr char kHost[] = "t.qq.com";
inline constexpr char kApiHost[] = "api.t.qq.com";
inline constexpr char kListPath[] = "/asyn/gettopicalbum.php";
inline constexpr char kPictureHost[] = "t2.qpic.cn";
inline constexpr char kReferer[] = "http://api.t.qq.com/proxy.html";

inline QString QueryValue(const FakeRequest& request, const QString& key)
{
    return QUrlQuery(QString::fromLatin1(request.query())).queryItemValue(key);
}

inline FakeReply Fixture(const QString& name)
{
    return FakeReply::File(FixturePath(QStringLiteral("tweibo/") + name));
}

inline FakeReply List(const FakeRequest& request)
{
    if (request.header("Referer") != kReferer || QueryValue(request, QStringLiteral("uin")) != u"28374650")
        return FakeReply::Ok(R"({"ret":-1,"msg":"no permission"})", "application/json");
    const QString page = QueryValue(request, QStringLiteral("page"));
    if (QueryValue(request, QStringLiteral("op")) == u"1") {
        if (page == u"1" || page == u"2") return Fixture(QStringLiteral("albums-%1.json").arg(page));
        return Fixture(QStringLiteral("albums-end.json"));
    }
    if (QueryValue(request, QStringLiteral("topicid")) == u"100001" && (page == u"1" || page == u"2"))
        return Fixture(QStringLiteral("photos-%1.json").arg(page)).Gzipped();
    return Fixture(QStringLiteral("photos-end.json"));
}

// The largest variant of post 30N ("/mblogpic/p30N/2000") is FakePicture(N).
inline FakeReply Picture(const FakeRequest& request)
{
    const QByteArray path = request.path();
    if (!path.endsWith("/2000")) return FakeReply::Status(404);
    return FakeReply::Ok(FakePicture(path.mid(path.indexOf("/p30") + 4, 1).toInt()), "image/jpeg");
}

inline void Serve(FakeService& service)
{
    service.Route(kHost, "/app/qzphoto/someone?preview", Fixture(QStringLiteral("owner-someone.html")));
    service.Route(kApiHost, kListPath, List);
    service.Route(kPictureHost, "/mblogpic/*", Picture);
}

} // namespace TencentWeiboFake
