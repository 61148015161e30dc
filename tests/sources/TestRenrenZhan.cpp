#include "sources/Registry.h"
#include "sources/RenrenRoutes.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace RenrenRoutes;

namespace {
constexpr char kZhanHost[] = "zhan.renren.com";

// The site "oldtimes" (id 1234): its archive has the months 2013-05 (two pages of posts) and
// 2013-04 (one page); its tag 12 has one post.
class RenrenZhanTest : public AdapterTest {
protected:
    RenrenZhanTest()
    {
        ServeFixture(service, kZhanHost, "/oldtimes", "zhan-site.html");
        ServeFixture(service, kZhanHost, "/archive", "zhan-archive.html");
        const QByteArray byTime = "/archive/archiveByTime?site_id=1234&month=";
        ServeFixture(service, kZhanHost, byTime + "2013-05&page=0", "zhan-may-0.json");
        ServeFixture(service, kZhanHost, byTime + "2013-05&page=1", "zhan-may-1.json");
        ServeFixture(service, kZhanHost, byTime + "2013-05&page=2", "zhan-none.json");
        ServeFixture(service, kZhanHost, byTime + "2013-04&page=0", "zhan-april-0.json");
        // Page 1 of April is not there at all (404).
        ServeFixture(service, kZhanHost, "/archive/archiveByTag?site_id=1234&tag_id=12&page=0", "zhan-tag-0.json");
        ServeFixture(service, kZhanHost, "/archive/archiveByTag?site_id=1234&tag_id=12&page=1", "zhan-none.json");
    }
    QByteArrayList Targets(const QByteArray& path) const
    {
        QByteArrayList targets;
        for (const FakeRequest& request : service.RequestsFor(kZhanHost, path))
            targets << request.query();
        return targets;
    }
};
} // namespace

TEST_F(RenrenZhanTest, PostsAreListedMonthByMonthPageByPage)
{
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://zhan.renren.com/oldtimes?from=home"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, 10);
    EXPECT_EQ(AlbumNames(), (QStringList{u"春天的花"_s, u"小巷"_s, u"雨后"_s, u"四月天"_s}));
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strAlbumId, u"http://zhan.renren.com/oldtimes?gid=8801&ajax=true"_s);
    EXPECT_EQ(first.nPicCount, -1);
    EXPECT_EQ(first.nPrivacy, 0);
    EXPECT_EQ(first.strCoverUrl, QString());
    EXPECT_EQ(core.m_pAlbumList->At(3).strAlbumId, u"http://zhan.renren.com/oldtimes?gid=7701&ajax=true"_s);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"旧时光/"_s);
    EXPECT_EQ(core.Listing().m_strOwnerSubDir, QString());
    EXPECT_TRUE(frontEnd.Messages().isEmpty());

    EXPECT_EQ(Targets("/archive"), QByteArrayList{"site_id=1234"});
    // Only the months inside the time control are listed, each from page 0.
    EXPECT_EQ(Targets("/archive/archiveByTime"),
              (QByteArrayList{"site_id=1234&month=2013-05&page=0", "site_id=1234&month=2013-05&page=1",
                              "site_id=1234&month=2013-05&page=2", "site_id=1234&month=2013-04&page=0",
                              "site_id=1234&month=2013-04&page=1"}));
    EXPECT_TRUE(service.RequestsFor(kZhanHost, "/archive/archiveByTag").isEmpty());
}

TEST_F(RenrenZhanTest, ATagAddressListsTheTagAsOneEmptyMonth)
{
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://zhan.renren.com/oldtimes?tagId=12&x=1"_s));
    EXPECT_EQ(AlbumNames(), QStringList{u"山谷"_s});
    // "feed" is removed wherever it occurs in the post id.
    EXPECT_EQ(core.m_pAlbumList->At(0).strAlbumId, u"http://zhan.renren.com/oldtimes?gid=8805&ajax=true"_s);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"旧时光/"_s);
    EXPECT_EQ(core.Listing().m_strOwnerSubDir, u"风景/"_s);
    EXPECT_EQ(Targets("/archive/archiveByTag"),
              (QByteArrayList{"site_id=1234&tag_id=12&page=0", "site_id=1234&tag_id=12&page=1"}));
    EXPECT_TRUE(service.RequestsFor(kZhanHost, "/archive").isEmpty());
    EXPECT_TRUE(service.RequestsFor(kZhanHost, "/archive/archiveByTime").isEmpty());
}

TEST_F(RenrenZhanTest, APageAnsweredAgainForTheNextPageNumberEndsTheMonth)
{
    // Every page number of the tag gets its first page again. It goes blank after a few requests,
    // so that a listing that keeps asking fails here instead of running on.
    std::atomic<int> asked{0};
    QFile fixture(FixturePath(u"renren/zhan-tag-0.json"_s));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray page = fixture.readAll();
    for (const char* number : {"0", "1", "2", "3"})
        service.Route(kZhanHost, QByteArray("/archive/archiveByTag?site_id=1234&tag_id=12&page=") + number,
                      [&asked, page](const FakeRequest&) { return FakeReply::Ok(++asked > 3 ? QByteArray() : page); });
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://zhan.renren.com/oldtimes?tagId=12"_s));
    EXPECT_EQ(AlbumNames(), QStringList{u"山谷"_s});
    EXPECT_EQ(Targets("/archive/archiveByTag"),
              (QByteArrayList{"site_id=1234&tag_id=12&page=0", "site_id=1234&tag_id=12&page=1"}));
}

TEST_F(RenrenZhanTest, ASiteWithoutPostsAsksForALogin)
{
    service.Route(kZhanHost, "/archive", FakeReply::Ok("<section class=\"time_control\"></section>"));
    GetAlbums(SK_RENREN, u"http://zhan.renren.com/oldtimes"_s);
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
    EXPECT_EQ(
        frontEnd.Messages(),
        QStringList{u"1、没有获取到相册，需要你在登录菜单里登录一个人人帐号(登录时勾上下次自动登录)后重新获取"_s});
}

TEST_F(RenrenZhanTest, EachPostGivesItsOnePicture)
{
    ServeFixture(service, kZhanHost, "/oldtimes?gid=8801&ajax=true", "zhan-post.html");
    ServeFixture(service, kZhanHost, "/oldtimes?gid=8802&ajax=true", "zhan-post-plain.html");
    service.Route(kPictureHost, "/zhan/8801.jpg", FakeReply::Ok(FakePicture(31), "image/jpeg"));
    service.Route(kPictureHost, "/zhan/8802.jpg", FakeReply::Ok(FakePicture(32), "image/jpeg"));
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://zhan.renren.com/oldtimes"_s));
    ASSERT_TRUE(Download({0, 1}));
    EXPECT_EQ(SavedBytes(u"旧时光/春天的花/春天的花.jpg"_s), FakePicture(31));
    EXPECT_EQ(SavedBytes(u"旧时光/小巷/小巷.jpg"_s), FakePicture(32));
    EXPECT_EQ(QDir(saveRoot.path() + u"旧时光/春天的花"_s).entryList(QDir::Files).size(), 1);
    // The picture before the post body and the post's second picture are not taken.
    EXPECT_TRUE(service.RequestsFor(kPictureHost, "/zhan/logo.jpg").isEmpty());
    EXPECT_TRUE(service.RequestsFor(kPictureHost, "/zhan/8801b.jpg").isEmpty());
    const QList<FakeRequest> picture = service.RequestsFor(kPictureHost, "/zhan/8801.jpg");
    ASSERT_EQ(picture.size(), 1);
    EXPECT_EQ(picture[0].header("Referer"), QByteArray("http://zhan.renren.com/oldtimes?gid=8801&ajax=true"));
}

TEST_F(RenrenZhanTest, APageRepeatingOnlyListedPostsEndsTheMonth)
{
    // Page 1 echoes its number but holds page 0's post again; page 2 would bring a new one.
    const QByteArray post = R"("html":"<div id=\"feed88feed05\" class=\"post\"><h3 class=\"title\">A<\/h3><\/div>"})";
    const QByteArray tag = "/archive/archiveByTag?site_id=1234&tag_id=12&page=";
    service.Route(kZhanHost, tag + "0", FakeReply::Ok(R"({"code":0,"page":0,)" + post));
    service.Route(kZhanHost, tag + "1", FakeReply::Ok(R"({"code":0,"page":1,)" + post));
    service.Route(
        kZhanHost, tag + "2",
        FakeReply::Ok(R"({"code":0,"html":"<div id=\"feed89\" class=\"post\"><h3 class=\"title\">B<\/h3><\/div>"})"));
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://zhan.renren.com/oldtimes?tagId=12"_s));
    EXPECT_EQ(AlbumNames(), QStringList{u"A"_s});
    EXPECT_EQ(Targets("/archive/archiveByTag"),
              (QByteArrayList{"site_id=1234&tag_id=12&page=0", "site_id=1234&tag_id=12&page=1"}));
}
