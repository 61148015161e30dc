#include "run/RunController.h"
#include "sources/AlbumListDriver.h"
#include "sources/Netease.h"
#include "sources/Registry.h"
#include "sources/Renren.h"
#include "sources/Sina.h"
#include "sources/Tencent.h"
#include "support/AdapterTest.h"
#include "support/ScopedProxy.h"

using namespace Qt::StringLiterals;

TEST(Registry, RecognisesEachFamilyFromItsDomain)
{
    const std::pair<const char16_t*, int> cases[] = {
        {u"http://user.qzone.qq.com/12345678#!app=4", SK_TENCENT},
        {u"http://xiangce.baidu.com/someone", SK_BAIDU},
        {u"http://someone.pp.163.com/", SK_NETEASE},
        {u"http://www.renren.com/123456789/profile", SK_RENREN},
        {u"http://blog.sina.com.cn/someone", SK_SINA},
        {u"http://weibo.com/someone", SK_SINA},
        {u"http://www.56.com/u1", SK_56},
        {u"http://my.poco.cn/album/x", SK_POCO},
        {u"http://alice.v.yupoo.com/", SK_YUPOO},
        {u"http://home.51.com/someone/photo", SK_51},
        {u"http://photo.zol.com.cn/someone/album_1.html", SK_ZOL},
        {u"http://photo.pchome.com.tw/someone/", SK_PCHOME},
        {u"http://someshop.taobao.com/", SK_TAOBAO},
        {u"http://someshop.tmall.com/", SK_TAOBAO},
        {u"http://www.moko.cc/someone/", SK_MOKO},
        {u"http://home.babytree.com/u12345678", SK_BABYTREE},
    };
    for (const auto& [address, kind] : cases)
        EXPECT_EQ(RecognizeAddress(QString::fromUtf16(address), SK_PCONLINE), kind) << kind;
    // Only addresses are examined; the fragment order decides (QQ before the others).
    EXPECT_EQ(RecognizeAddress(u"user.qzone.qq.com/1"_s, SK_ZOL), SK_ZOL);
    EXPECT_EQ(RecognizeAddress(u"http://qq.com/?from=renren.com/"_s, SK_ZOL), SK_TENCENT);
    EXPECT_EQ(RecognizeAddress(u"https://weibo.com/someone"_s, SK_TENCENT), SK_SINA);
    // PConline is never recognised: the selection stays.
    EXPECT_EQ(RecognizeAddress(u"http://dp.pconline.com.cn/someone/"_s, SK_BAIDU), SK_BAIDU);
}

TEST(Registry, FamiliesByNameAndPhotoListersByVariant)
{
    ASSERT_EQ(ServiceFamilies().size(), 15u);
    EXPECT_EQ(FindFamily(u"qzone"_s), SK_TENCENT);
    EXPECT_EQ(FindFamily(u"PConline"_s), SK_PCONLINE);
    EXPECT_EQ(FindFamily(u"14"_s), SK_PCONLINE);
    EXPECT_EQ(FindFamily(u"15"_s), -1);
    EXPECT_EQ(FindFamily(u"flickr"_s), -1);

    const auto photoLister = [](int kind, int subKind) {
        const ServiceVariant* variant = VariantOf(kind, subKind);
        return variant ? variant->listPhotos : nullptr;
    };
    EXPECT_EQ(photoLister(SK_TENCENT, 0), &ListQzonePhotos);
    EXPECT_EQ(photoLister(SK_TENCENT, -1), nullptr);
    EXPECT_EQ(photoLister(SK_NETEASE, 1), &ListNeteasePpPhotos);
    EXPECT_EQ(photoLister(SK_NETEASE, -1), &ListNeteasePhotos);
    EXPECT_EQ(photoLister(SK_RENREN, 10), &ListRenrenZhanPhotos);
    EXPECT_EQ(photoLister(SK_RENREN, 3), nullptr);
    EXPECT_EQ(photoLister(SK_SINA, 2), &ListSinaWeiboPhotos);
    EXPECT_EQ(photoLister(SK_POCO, 5), nullptr);
    // Babytree's listers live in its file alone: its rows are told apart by their variants, and
    // a listing that chose none downloads with the member's albums.
    ASSERT_NE(VariantOf(SK_BABYTREE, 0), nullptr);
    EXPECT_EQ(VariantOf(SK_BABYTREE, 0)->nSubKind, 0);
    EXPECT_EQ(VariantOf(SK_BABYTREE, 1)->nSubKind, 1);
    EXPECT_EQ(VariantOf(SK_BABYTREE, -1), VariantOf(SK_BABYTREE, 1));
    EXPECT_NE(VariantOf(SK_BABYTREE, 0)->listPhotos, VariantOf(SK_BABYTREE, 1)->listPhotos);
    EXPECT_EQ(photoLister(kFamilyCount, 0), nullptr);
    EXPECT_FALSE(PhotoListerFor(SK_TENCENT, -1));
    EXPECT_TRUE(PhotoListerFor(SK_BAIDU, -1));
}

namespace {
class AlbumListDriverTest : public AdapterTest {};
} // namespace

TEST_F(AlbumListDriverTest, EmptyAddressPromptsWithoutEnteringTheListingState)
{
    EXPECT_FALSE(GetAlbums(SK_BAIDU, u"  \t"_s));
    EXPECT_EQ(frontEnd.Messages(), QStringList{AddressPrompt()});
    EXPECT_FALSE(core.States().IsListing());
    EXPECT_TRUE(frontEnd.StatusHistory(StatusLine::Phase).isEmpty());
    EXPECT_EQ(frontEnd.ViewResets(), 1);
}

TEST_F(AlbumListDriverTest, AddressWithoutSchemeIsRefusedExceptForTencent)
{
    EXPECT_FALSE(GetAlbums(SK_BAIDU, u"someone"_s));
    EXPECT_EQ(frontEnd.Messages(), QStringList{AddressPrompt()});
    EXPECT_EQ(frontEnd.Status(StatusLine::AlbumFrame), u"相册列表(共0个)"_s);
    EXPECT_FALSE(core.States().IsListing());
    EXPECT_EQ(service.RequestCount(), 0);
}

TEST_F(AlbumListDriverTest, TencentWeiboAddressNamesTheOwnerAndFallsBackToAGroup)
{
    EXPECT_TRUE(GetAlbums(SK_TENCENT, u"http://t.qq.com/someone?preview"_s));
    EXPECT_EQ(core.Listing().m_strSourceArg2, u"someone"_s);
    EXPECT_EQ(core.Listing().m_nSubKind, 1); // nothing listed, so the text was tried as a group
    EXPECT_TRUE(service.RequestsFor("route.store.qq.com", "/GetRoute").isEmpty());
}

TEST_F(AlbumListDriverTest, RenrenVanityNameIsLookedUpOnceNumericIdsAreNot)
{
    service.Route("www.renren.com", "/someone", FakeReply::Ok("<script>var pid: '424242';</script>"));
    GetAlbums(SK_RENREN, u"http://www.renren.com/someone"_s);
    const QList<FakeRequest> lookups = service.RequestsFor("www.renren.com", "/someone");
    ASSERT_EQ(lookups.size(), 1);
    EXPECT_EQ(lookups[0].header("Accept-Encoding"), QByteArray("gzip, deflate"));

    service.ClearRequests();
    GetAlbums(SK_RENREN, u"http://page.renren.com/somepage"_s);
    EXPECT_EQ(service.RequestsFor("page.renren.com", "/somepage").size(), 1);

    service.ClearRequests();
    GetAlbums(SK_RENREN, u"http://www.renren.com/profile.php?id=123"_s);
    GetAlbums(SK_RENREN, u"http://www.renren.com/123456789/profile"_s);
    EXPECT_TRUE(service.RequestsFor("www.renren.com", "/123").isEmpty());
    EXPECT_TRUE(service.RequestsFor("www.renren.com", "/123456789").isEmpty());
}

TEST_F(AlbumListDriverTest, FamiliesWithAMessageForNothingFound)
{
    GetAlbums(SK_SINA, u"http://weibo.com/someone"_s);
    EXPECT_EQ(core.Listing().m_nSubKind, 2);
    GetAlbums(SK_RENREN, u"http://zhan.renren.com/mysite?tagId=12"_s);
    EXPECT_EQ(core.Listing().m_nSubKind, 10);
    const QStringList messages = frontEnd.Messages();
    ASSERT_EQ(messages.size(), 2);
    // The fake knows neither owner: the cause comes first, then the family's advice.
    EXPECT_TRUE(messages[0].startsWith(u"HTTP 404：地址不存在或用户不存在\n没有获取到相册，请在登录菜单里登录新浪"_s));
    EXPECT_TRUE(
        messages[1].startsWith(u"HTTP 404：地址不存在或用户不存在\n1、没有获取到相册，需要你在登录菜单里登录一个人人帐号"_s));
}

TEST_F(AlbumListDriverTest, OwnerTextsBecomeOneCleanFolderEach)
{
    GetAlbums(SK_51, u"http://home.51.com/some.one/photo"_s);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"some\u3002one/"_s);
    GetAlbums(SK_PCHOME, u"http://photo.pchome.com.tw/someone/*2"_s);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"someone/"_s);
    GetAlbums(SK_56, u"http://www.56.com/album/..&x"_s);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"\u3002\u3002/"_s);
}

TEST_F(AlbumListDriverTest, BabytreeFallsBackToTheMainHostVariant)
{
    GetAlbums(SK_BABYTREE, u"http://home.babytree.com/u12345678"_s);
    EXPECT_EQ(core.Listing().m_nSubKind, 1);
}

TEST_F(AlbumListDriverTest, PconlinePageMarkerLoopStopsAtTheFirstHit)
{
    GetAlbums(SK_PCONLINE, u"http://dp.pconline.com.cn/someone/photo_p3_x_p3_.html"_s);
    EXPECT_EQ(core.Listing().m_strSourceArg1, u"_p3_"_s);
    GetAlbums(SK_PCONLINE, u"http://dp.pconline.com.cn/someone/"_s);
    EXPECT_EQ(core.Listing().m_strSourceArg1, u"someone"_s);
}

TEST_F(AlbumListDriverTest, AStopPressedBeforeTheListingStartsIsKept)
{
    Serve("route.store.qq.com", "/GetRoute", u"qzone/route.json"_s);
    Serve("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2", u"qzone/albums.jsonp"_s);
    core.m_nSourceKind = SK_TENCENT;
    StopListing(); // the second press came before the controls switched
    EXPECT_TRUE(GetAlbumList(core, SK_TENCENT, u"12345678"_s));
    EXPECT_EQ(core.m_pAlbumList->Count(), 0); // the stop ends the listing's first request
    EXPECT_TRUE(frontEnd.Messages().isEmpty());
    EXPECT_FALSE(core.States().IsListing());
}

TEST_F(AlbumListDriverTest, OneOperationAtATimeAndAStopRequestNeverStartsOne)
{
    CRunController runs(core);
    ASSERT_TRUE(core.States().BeginDownload());
    runs.OnGetAlbums(u"http://user.qzone.qq.com/1"_s);
    runs.Wait();
    EXPECT_FALSE(core.States().IsListing());
    EXPECT_EQ(frontEnd.ViewResets(), 0);

    // With both operations idle, a stop request (Ctrl-C on the command line) changes nothing.
    core.States().EndDownload();
    runs.RequestStop();
    runs.Wait();
    EXPECT_FALSE(core.States().IsBusy());
    EXPECT_FALSE(core.States().DownloadStopRequested());
    EXPECT_TRUE(frontEnd.Messages().isEmpty());
    EXPECT_EQ(frontEnd.ViewResets(), 0);

    // While running, the same request stops the operation, and no later transition of the run
    // takes the stop back.
    ASSERT_TRUE(core.States().BeginDownload());
    core.States().ReachedHistoryMark();
    runs.RequestStop();
    EXPECT_TRUE(core.States().DownloadStopRequested());
    core.States().NextAlbum();
    EXPECT_TRUE(core.States().AlbumListingEnded());
    EXPECT_TRUE(core.States().DownloadStopRequested());
}

TEST_F(AlbumListDriverTest, AnUnreachableServiceOrAnUnknownOwnerIsNamedBeforeTheFamilysWords)
{
    {
        // Nothing listens where the proxy points.
        ScopedVariable deadProxy("http_proxy", "http://127.0.0.1:9");
        GetAlbums(SK_MOKO, u"http://www.moko.cc/alice/"_s);
        GetAlbums(SK_TENCENT, u"12345678"_s);
    }
    GetAlbums(SK_PCHOME, u"http://photo.pchome.com.tw/nobody/"_s);
    const QStringList messages = frontEnd.Messages();
    ASSERT_EQ(messages.size(), 4) << messages.join(u"|"_s).toStdString();
    // Moko has no words of its own for an empty list; QQ Zone says why once, then advises.
    EXPECT_EQ(messages[0], u"无法连接：www.moko.cc（连接失败）"_s);
    EXPECT_EQ(messages[1], u"无法连接：route.store.qq.com（连接失败）\nQQ空间相册错误1"_s);
    EXPECT_TRUE(messages[2].startsWith(u"1、没有获取到相册"_s));
    EXPECT_EQ(messages[3], u"HTTP 404：地址不存在或用户不存在"_s);
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
}
