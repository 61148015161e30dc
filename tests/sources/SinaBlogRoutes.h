#pragma once

// The fake Sina blog of "lanxi" (owner 1650000001): the home page, the photo host's category
// list and category pages, the article list and article pages, and their pictures; plus the
// older-template article list of owner 1650000002. Shared by the adapter and command-line tests.

#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <QByteArray>
#include <QString>

namespace SinaBlogFake {

inline constexpr char kBlogHost[] = "blog.sina.com.cn";
inline constexpr char kPhotoHost[] = "photo.blog.sina.com.cn";
inline constexpr char kCategoryPath[] = "/category/u/1650000001/s/";

inline FakeReply Fixture(const char* name)
{
    return FakeReply::File(FixturePath(QStringLiteral("sinablog/") + QString::fromUtf8(name)));
}

inline void ServePicture(FakeService& service, const QByteArray& host, const QByteArray& path, int seed)
{
    service.Route(host, path, FakeReply::Ok(FakePicture(seed), "image/jpeg"));
}

inline void Serve(FakeService& service)
{
    service.Route(kBlogHost, "/lanxi", Fixture("home-lanxi.html"));
    service.Route(kPhotoHost, "/services/ctg_list_ctg.php?format=gsonv&uid=1650000001",
                  Fixture("categories-1650000001.json"));
    // Category 101 has two pages; category 103 answers its one page whatever page is asked.
    service.Route(kPhotoHost, QByteArray(kCategoryPath) + "101/page1", Fixture("category-101-page1.html"));
    service.Route(kPhotoHost, QByteArray(kCategoryPath) + "101/page2", Fixture("category-101-page2.html"));
    service.Route(kPhotoHost, QByteArray(kCategoryPath) + "103/page*", Fixture("category-103-any.html"));
    ServePicture(service, "s1.sinaimg.cn", "/orignal/4b5c0001&690", 1);
    ServePicture(service, "s2.sinaimg.cn", "/orignal/camp.jpg", 2);
    ServePicture(service, "s3.sinaimg.cn", "/orignal/4b5c0003&690", 3);
    ServePicture(service, "s1.sinaimg.cn", "/orignal/4b5c0007&690", 7);

    service.Route(kBlogHost, "/s/articlelist_1650000001_0_1.html", Fixture("articles-1650000001-page1.html"));
    service.Route(kBlogHost, "/s/articlelist_1650000001_0_2.html", Fixture("articles-1650000001-page2.html"));
    service.Route(kBlogHost, "/s/articlelist_1650000002_0_1.html", Fixture("articles-1650000002-page1.html"));
    // From page 2 on this list answers page 2 again.
    service.Route(kBlogHost, "/s/articlelist_1650000002_0_*", Fixture("articles-1650000002-page2.html"));
    service.Route(kBlogHost, "/s/blog_6259d0010101a001.html", Fixture("article-a001.html").Gzipped());
    service.Route(kBlogHost, "/s/blog_6259d0010101a003.html", Fixture("article-a003.html"));
    service.Route(kBlogHost, "/s/blog_6259d0010101a004.html", Fixture("article-a004.html"));
    ServePicture(service, "album.sina.com.cn", "/pic/6259d001a001p1", 11);
    ServePicture(service, "s9.sinaimg.cn", "/orignal/6259d001a003p1&690", 13);
    ServePicture(service, "s9.sinaimg.cn", "/orignal/6259d001a004p1", 14);
}

} // namespace SinaBlogFake
