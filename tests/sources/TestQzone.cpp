#include "MyCode/CookieStore.h"
#include "sources/Tencent.h"
#include "sources/Registry.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {
constexpr char kAlbumHost[] = "alist.photo.qq.com";
constexpr char kPhotoHost[] = "szplist.photo.qq.com";
constexpr char kNuHost[] = "sznu.photo.qq.com";
constexpr char kPictureHost[] = "b1.photo.store.qq.com";

QByteArray QueryValue(const FakeRequest& request, const QString& key)
{
    return QUrlQuery(QString::fromLatin1(request.query())).queryItemValue(key).toLatin1();
}

class QzoneTest : public AdapterTest {
protected:
    QzoneTest()
    {
        Serve("route.store.qq.com", "/GetRoute", u"qzone/route.json"_s);
        Serve(kAlbumHost, "/fcgi-bin/fcg_list_album_v2", u"qzone/albums.jsonp"_s);
        for (int i = 1; i <= 3; ++i)
            service.Route(kPictureHost, "/psb?/V10pub/" + QByteArray::number(i) + ".jpg",
                          FakeReply::Ok(FakePicture(i), "image/jpeg"));
    }
    // The photo list of the public album from the fast host; others answer as given.
    void ServePhotos(const QString& fastFixture, const QString& nuFixture)
    {
        Serve(kPhotoHost, "/fcgi-bin/fcg_list_photo_v2", fastFixture);
        Serve(kNuHost, "/cgi-bin/common/cgi_view_album_v2", nuFixture);
    }
};
} // namespace

TEST(QzoneToken, Gtk)
{
    EXPECT_EQ(CalcGTK(QString()), 5381u);
    EXPECT_EQ(CalcGTK(u"a"_s), (5381u * 33 + 'a') & 0x7FFFFFFF);
    // Long keys wrap at 32 bits before the top bit is cleared.
    std::uint32_t expected = 5381;
    const QString key = u"@AbCdEfGhI中"_s;
    for (QChar c : key)
        expected = expected * 33 + c.unicode();
    EXPECT_EQ(CalcGTK(key), expected & 0x7FFFFFFF);
}

TEST_F(QzoneTest, ListsAlbumsWithTheRouteHostsAndPrivacy)
{
    ASSERT_TRUE(GetAlbums(SK_TENCENT, u"http://user.qzone.qq.com/12345678#!app=4"_s));
    EXPECT_EQ(AlbumNames(), (QStringList{u"旅行 2012"_s, u"加密的"_s, u"私密"_s, u"三和五"_s, u"好友"_s}));
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strAlbumId, u"hostUin=12345678&albumid=V10pub"_s);
    EXPECT_EQ(first.strCoverUrl, u"http://b1.photo.store.qq.com/psb?/V10pub/cover.jpg"_s);
    EXPECT_EQ(first.nPicCount, 3);
    EXPECT_EQ(first.nPrivacy, 0);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPrivacy, PRIVACY_PASSWORD);
    EXPECT_EQ(core.m_pAlbumList->At(2).nPrivacy, PRIVACY_PRIVATE);
    EXPECT_EQ(core.m_pAlbumList->At(2).strCoverUrl, QString());
    EXPECT_EQ(core.m_pAlbumList->At(3).nPrivacy, PRIVACY_PRIVATE); // "35": private wins
    EXPECT_EQ(core.m_pAlbumList->At(4).nPrivacy, PRIVACY_FRIENDS);
    EXPECT_EQ(core.Listing().m_nSubKind, 0);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"12345678/"_s);
    EXPECT_EQ(core.Listing().m_strSourceArg1, u"szplist.photo.qq.com"_s);
    EXPECT_EQ(core.Listing().m_strSourceArg2, u"sznu.photo.qq.com"_s);
    EXPECT_EQ(frontEnd.Status(StatusLine::AlbumFrame), u"相册列表(共5个)"_s);
    EXPECT_EQ(frontEnd.Status(StatusLine::Phase), u"获取相册列表完成，共5个"_s);
    EXPECT_EQ(HistoryEntry(core.Soft(), History::Address, 0), u"http://user.qzone.qq.com/12345678#!app=4"_s);

    const QList<FakeRequest> route = service.RequestsFor("route.store.qq.com", "/GetRoute");
    ASSERT_EQ(route.size(), 1);
    EXPECT_EQ(route[0].query(), QByteArray("UIN=12345678&version=2&type=json"));
    EXPECT_EQ(route[0].header("Referer"), QByteArray("http://user.qzone.qq.com/12345678"));
    EXPECT_EQ(route[0].header("Accept-Encoding"), QByteArray("gzip, deflate"));
    const QList<FakeRequest> list = service.RequestsFor(kAlbumHost, "/fcgi-bin/fcg_list_album_v2");
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(QueryValue(list[0], u"hostUin"_s), QByteArray("12345678"));
    EXPECT_EQ(QueryValue(list[0], u"g_tk"_s), QByteArray("5381")); // not logged in
}

TEST_F(QzoneTest, TokenAndUserNumberComeFromTheLoginCookies)
{
    // The marks begin with a blank, so the values are found only after some first cookie.
    QNetworkCookie lead("pgv_pvid", "1");
    lead.setDomain(u".qq.com"_s);
    CCookieStore::Instance().SetCookie(lead);
    QNetworkCookie uin("uin", "o0012345");
    uin.setDomain(u".qq.com"_s);
    QNetworkCookie skey("skey", "@AbC");
    skey.setDomain(u".qq.com"_s);
    CCookieStore::Instance().SetCookie(uin);
    CCookieStore::Instance().SetCookie(skey);
    ASSERT_TRUE(GetAlbums(SK_TENCENT, u"12345678"_s));
    const QList<FakeRequest> list = service.RequestsFor(kAlbumHost, "/fcgi-bin/fcg_list_album_v2");
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(QueryValue(list[0], u"g_tk"_s), QByteArray::number(CalcGTK(u"@AbC"_s)));

    ServePhotos(u"qzone/photos-public.jsonp"_s, u"qzone/photos-empty.jsonp"_s);
    ListQzonePhotos(PhotoRun(), 0);
    const QList<FakeRequest> photos = service.RequestsFor(kPhotoHost, "/fcgi-bin/fcg_list_photo_v2");
    ASSERT_EQ(photos.size(), 1);
    EXPECT_EQ(QueryValue(photos[0], u"uin"_s), QByteArray("0012345")); // every "o" removed
}

TEST_F(QzoneTest, BareNumberWithoutAlbumsIsTriedAsAGroupThenExplained)
{
    service.Route(kAlbumHost, "/fcgi-bin/fcg_list_album_v2", FakeReply::Ok(""));
    EXPECT_TRUE(GetAlbums(SK_TENCENT, u"987654"_s));
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
    EXPECT_EQ(core.Listing().m_nSubKind, 1);
    ASSERT_EQ(frontEnd.Messages().size(), 1);
    // The group page is not there: the cause comes first, then the family's advice.
    EXPECT_TRUE(frontEnd.Messages()[0].startsWith(u"HTTP 404：地址不存在或用户不存在\n1、没有获取到相册"_s))
        << frontEnd.Messages()[0].toStdString();
    EXPECT_EQ(frontEnd.Status(StatusLine::AlbumFrame), u"相册列表(共0个)"_s);
    EXPECT_EQ(HistoryEntry(core.Soft(), History::Address, 0), QString());
}

TEST_F(QzoneTest, RouteFailureAndServiceErrors)
{
    // A route answer cut short fails the lookup.
    service.Route("route.store.qq.com", "/GetRoute",
                  [](const FakeRequest&) { return FakeReply::Ok("x").AnnounceLength(100); });
    GetAlbums(SK_TENCENT, u"111"_s);
    EXPECT_TRUE(frontEnd.Messages().contains(u"无法获取：route.store.qq.com（传输中断）\nQQ空间相册错误1"_s));

    Serve("route.store.qq.com", "/GetRoute", u"qzone/route.json"_s);
    Serve(kAlbumHost, "/fcgi-bin/fcg_list_album_v2", u"qzone/albums-busy.jsonp"_s);
    GetAlbums(SK_TENCENT, u"222"_s);
    EXPECT_TRUE(frontEnd.Messages().contains(u"对不起，您的操作过于频繁，请稍后再试"_s));
    EXPECT_TRUE(frontEnd.Questions().isEmpty());

    Serve(kAlbumHost, "/fcgi-bin/fcg_list_album_v2", u"qzone/albums-locked.jsonp"_s);
    frontEnd.QueueAnswer(true);
    GetAlbums(SK_TENCENT, u"333"_s);
    ASSERT_EQ(frontEnd.Questions().size(), 1);
    EXPECT_EQ(frontEnd.Questions()[0], u"加密或非公开空间，是否进行身份验证?\n(验证成功后请重新获取相册列表)"_s);
    EXPECT_EQ(frontEnd.LoginPages(), QStringList{u"http://user.qzone.qq.com/333"_s});
}

TEST_F(QzoneTest, DownloadsAPublicAlbumIntoOwnerAndAlbumFolders)
{
    ASSERT_TRUE(GetAlbums(SK_TENCENT, u"12345678"_s));
    ServePhotos(u"qzone/photos-public.jsonp"_s, u"qzone/photos-empty.jsonp"_s);
    ASSERT_TRUE(Download({0}));
    const QString album = u"12345678/旅行 2012/"_s;
    EXPECT_EQ(SavedBytes(album + u"海边.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(album + u"日落.jpg"_s), FakePicture(2));
    EXPECT_EQ(SavedBytes(album + u"海边 (1).jpg"_s), FakePicture(3));
    EXPECT_EQ(SavedBytes(album + u".pic.zrv"_s),
              QByteArray(reinterpret_cast<const char*>(u"http://b1.photo.store.qq.com/psb?/V10pub/1.jpg"), 46 * 2));
    EXPECT_EQ(frontEnd.Status(StatusLine::Phase), u"下载完毕"_s);
    EXPECT_TRUE(frontEnd.StatusHistory(StatusLine::Counts).contains(u"已下载3/3......"_s));
    EXPECT_TRUE(service.RequestsFor(kNuHost, "/cgi-bin/common/cgi_view_album_v2").isEmpty());
}

TEST_F(QzoneTest, EmptyFastListIsRetriedThroughTheNuHost)
{
    ASSERT_TRUE(GetAlbums(SK_TENCENT, u"12345678"_s));
    ServePhotos(u"qzone/photos-empty.jsonp"_s, u"qzone/photos-public.jsonp"_s);
    ListQzonePhotos(PhotoRun(), 0);
    EXPECT_EQ(Pictures().Count(), 3);
    const QList<FakeRequest> retry = service.RequestsFor(kNuHost, "/cgi-bin/common/cgi_view_album_v2");
    ASSERT_EQ(retry.size(), 1);
    EXPECT_TRUE(retry[0].query().contains("albumId=V10pub"));
    EXPECT_FALSE(retry[0].query().contains("albumid="));
}

TEST_F(QzoneTest, PasswordAlbumAsksAndNoListsNothing)
{
    ASSERT_TRUE(GetAlbums(SK_TENCENT, u"12345678"_s));
    Serve(kNuHost, "/cgi-bin/common/cgi_view_album_v2", u"qzone/photos-sorry.jsonp"_s);
    frontEnd.QueueAnswer(false);
    ListQzonePhotos(PhotoRun(), 1);
    EXPECT_EQ(frontEnd.Questions(), QStringList{u"加密相册，是否输入密码？"_s});
    EXPECT_TRUE(frontEnd.LoginPages().isEmpty());
    EXPECT_EQ(Pictures().Count(), 0);

    // Yes opens the album's password page and asks the list again.
    int calls = 0;
    service.Route(kNuHost, "/cgi-bin/common/cgi_view_album_v2", [&calls](const FakeRequest&) {
        QFile file(FixturePath(++calls == 1 ? u"qzone/photos-sorry.jsonp"_s : u"qzone/photos-password.jsonp"_s));
        file.open(QIODevice::ReadOnly);
        return FakeReply::Ok(file.readAll());
    });
    frontEnd.QueueAnswer(true);
    ListQzonePhotos(PhotoRun(), 1);
    EXPECT_EQ(frontEnd.LoginPages(), QStringList{u"http://user.qzone.qq.com/12345678/photo/V10pwd"_s});
    EXPECT_EQ(Pictures().Count(), 2);
}

TEST_F(QzoneTest, PercentSignsInAnAlbumIdReachTheServiceAsTheyCame)
{
    service.Route(kAlbumHost, "/fcgi-bin/fcg_list_album_v2",
                  FakeReply::Ok("_Callback({\"data\" : {\"albumListModeSort\" : [{\n\"id\" : \"V1%2Fab%1\",\n"
                                "\"name\" : \"x\",\n\"priv\" : 1,\n\"total\" : 1,\n}]}});"));
    ASSERT_TRUE(GetAlbums(SK_TENCENT, u"12345678"_s));
    ServePhotos(u"qzone/photos-empty.jsonp"_s, u"qzone/photos-empty.jsonp"_s);
    ListQzonePhotos(PhotoRun(), 0);
    const QList<FakeRequest> photos = service.RequestsFor(kPhotoHost, "/fcgi-bin/fcg_list_photo_v2");
    ASSERT_EQ(photos.size(), 1);
    EXPECT_TRUE(photos[0].query().contains("&hostUin=12345678&albumid=V1%2Fab%1&t=")) << photos[0].query().data();
    EXPECT_TRUE(photos[0].query().endsWith("&g_tk=5381&uin=")) << photos[0].query().data();
}
