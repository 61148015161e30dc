#include "sources/Renren.h"
#include "sources/Registry.h"
#include "sources/RenrenRoutes.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace RenrenRoutes;

namespace {
const QString kNoAccess =
    u"错误原因：\n1.你没有登录你的人人帐号(在登录菜单里登录,登录时需要勾上下次自动登录)\n2.你没有该相册的访问权限."_s;
const QString kAlbum5001 = u"http://photo.renren.com/photo/223344/album-5001"_s;

class RenrenTest : public AdapterTest {
protected:
    QByteArrayList Queries(const QByteArray& host, const QByteArray& path) const
    {
        QByteArrayList queries;
        for (const FakeRequest& request : service.RequestsFor(host, path))
            queries << request.query();
        return queries;
    }
    // An album as a lister would have added it, and the download list ready for its pictures.
    int AddListedAlbum(const QString& name, const QString& address, int privacy = 0)
    {
        ST_PERLISTRECORD album;
        album.strName = name;
        album.strAlbumId = address;
        album.nPrivacy = privacy;
        core.AddAlbum(album);
        return core.m_pAlbumList->Count() - 1;
    }
    void StartAlbumDownload()
    {
        }
    QByteArray RefererOf(const QByteArray& picturePath) const
    {
        const QList<FakeRequest> requests = service.RequestsFor(kPictureHost, picturePath);
        return requests.isEmpty() ? QByteArray("(not requested)") : requests.front().header("Referer");
    }
};
} // namespace

TEST_F(RenrenTest, OwnerListingWalksThePagesAndNamesTheSpecialAlbums)
{
    ServeOwnerList(service);
    service.Route(kPhotoHost, "/photo/223344/album/relatives?curpage=1",
                  FakeReply::File(FixturePath(u"renren/albums-first.html"_s)).Gzipped());
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://www.renren.com/223344/profile?ref=home"_s));
    EXPECT_EQ(AlbumNames(), (QStringList{u"毕业旅行"_s, u"头像相册"_s, u"手机相册"_s, u"加密相册"_s, u"没有数目"_s,
                                         u"第四十一个"_s, u"第四十二个"_s, u"第八十一个"_s}));
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strAlbumId, kAlbum5001);
    EXPECT_EQ(first.strCoverUrl, u"http://fmn.rrimg.com/fmn059/cover/5001.jpg"_s);
    EXPECT_EQ(first.nPicCount, 3);
    EXPECT_EQ(first.nPrivacy, 0);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPrivacy, 0);
    EXPECT_EQ(core.m_pAlbumList->At(2).nPicCount, 27);
    EXPECT_EQ(core.m_pAlbumList->At(3).nPrivacy, PRIVACY_PASSWORD);
    EXPECT_EQ(core.m_pAlbumList->At(3).strAlbumId, u"http://photo.renren.com/photo/223344/album-5004"_s);
    EXPECT_EQ(core.m_pAlbumList->At(4).nPicCount, 0); // no count on the page
    EXPECT_EQ(core.m_pAlbumList->At(7).strCoverUrl, u"http://fmn.rrimg.com/fmn059/cover/5081.jpg"_s);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"张三/"_s);
    EXPECT_EQ(core.Listing().m_nSubKind, 0);
    EXPECT_TRUE(frontEnd.Messages().isEmpty());

    // A numeric owner needs no look-up; later pages go 40 at a time until an empty answer.
    EXPECT_EQ(service.RequestsFor("www.renren.com", "/223344").size(), 0);
    EXPECT_EQ(Queries(kPhotoHost, "/photo/223344/album/relatives"), QByteArrayList{"curpage=1"});
    EXPECT_EQ(Queries(kPhotoHost, "/photo/223344/album/relatives/ajax"),
              (QByteArrayList{"offset=40&limit=40", "offset=80&limit=40", "offset=120&limit=40"}));
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/photo/223344").isEmpty());
    EXPECT_EQ(service.RequestsFor(kPhotoHost, "/photo/223344/album/relatives")[0].header("Accept-Encoding"),
              QByteArray("gzip, deflate"));
}

TEST_F(RenrenTest, AListPageAnsweredAgainForTheNextOffsetEndsTheListing)
{
    ServeFixture(service, kPhotoHost, "/photo/223344/album/relatives?curpage=1", "albums-first.html");
    // Every offset gets the page of offset 40 again. It goes blank after a few requests, so that
    // a listing that keeps asking fails here instead of running on.
    std::atomic<int> asked{0};
    QFile fixture(FixturePath(u"renren/albums-ajax-40.html"_s));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray page = fixture.readAll();
    service.Route(kPhotoHost, "/photo/223344/album/relatives/ajax",
                  [&asked, page](const FakeRequest&) { return FakeReply::Ok(++asked > 3 ? QByteArray() : page); });
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://www.renren.com/223344"_s));
    EXPECT_EQ(core.m_pAlbumList->Count(), 7);
    EXPECT_EQ(Queries(kPhotoHost, "/photo/223344/album/relatives/ajax"),
              (QByteArrayList{"offset=40&limit=40", "offset=80&limit=40"}));
}

TEST_F(RenrenTest, VanityAddressesAreResolvedByOnePageRequest)
{
    ServeOwnerList(service);
    ServeFixture(service, "www.renren.com", "/zhangsan", "profile-vanity.html");
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://www.renren.com/zhangsan"_s));
    EXPECT_EQ(core.m_pAlbumList->Count(), 8);
    EXPECT_EQ(service.RequestsFor("www.renren.com", "/zhangsan").size(), 1);

    // A public page names its owner by "pid", asked of the public-page host.
    service.Route(kPhotoHost, "/photo/600100/album/relatives?curpage=1",
                  FakeReply::File(FixturePath(u"renren/albums-async.html"_s)));
    ServeFixture(service, "page.renren.com", "/somepage", "page-public.html");
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://page.renren.com/somepage?from=search"_s));
    EXPECT_EQ(AlbumNames(), (QStringList{u"春游"_s, u"秋游"_s}));
    EXPECT_EQ(service.RequestsFor("page.renren.com", "/somepage").size(), 1);
    EXPECT_EQ(service.RequestsFor("www.renren.com", "/somepage").size(), 0);
}

TEST_F(RenrenTest, AFramedFirstPageIsListedFromTheAsynchronousPage)
{
    ServeFixture(service, kPhotoHost, "/photo/223344/album/relatives?curpage=1", "albums-frame.html");
    ServeFixture(service, kPhotoHost, "/photo/223344?from=homeleft&__view=async-html", "albums-async.html");
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://www.renren.com/223344"_s));
    EXPECT_EQ(AlbumNames(), (QStringList{u"春游"_s, u"秋游"_s}));
    EXPECT_EQ(core.m_pAlbumList->At(1).strAlbumId, u"http://photo.renren.com/photo/223344/album-6002"_s);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 5);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"张三/"_s);
    // The asynchronous page holds the whole list: no further page is asked for.
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/photo/223344/album/relatives/ajax").isEmpty());
    EXPECT_TRUE(frontEnd.Messages().isEmpty());
}

TEST_F(RenrenTest, NoListOnEitherPageShowsThePermissionMessageOnce)
{
    ServeFixture(service, kPhotoHost, "/photo/223344/album/relatives?curpage=1", "albums-frame.html");
    ServeFixture(service, kPhotoHost, "/photo/223344?from=homeleft&__view=async-html", "albums-frame.html");
    GetAlbums(SK_RENREN, u"http://www.renren.com/223344"_s);
    EXPECT_EQ(frontEnd.Messages(), QStringList{kNoAccess});
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/photo/223344/album/relatives/ajax").isEmpty());
}

TEST_F(RenrenTest, ASingleAlbumPageIsListedOnItsOwn)
{
    ServeFixture(service, kPhotoHost, "/photo/223344/album-5001", "album-single.html");
    ASSERT_TRUE(GetAlbums(SK_RENREN, kAlbum5001 + u"?frommyphoto"_s));
    ASSERT_EQ(AlbumNames(), QStringList{u"毕业旅行"_s});
    const ST_PERLISTRECORD album = core.m_pAlbumList->At(0);
    EXPECT_EQ(album.strAlbumId, kAlbum5001);
    EXPECT_EQ(album.nPicCount, 12);
    EXPECT_EQ(album.strCoverUrl, QString());
    EXPECT_EQ(core.Listing().m_strOwnerName, u"张三/"_s);
    EXPECT_EQ(core.Listing().m_nSubKind, 0);
    ASSERT_EQ(service.RequestsFor(kPhotoHost, "/photo/223344/album-5001").size(), 1);
    EXPECT_EQ(service.RequestsFor(kPhotoHost, "/photo/223344/album-5001")[0].query(), QByteArray());

    // On the owner's own album the first tab says "my albums"; the hidden field names the owner.
    ServeFixture(service, kPhotoHost, "/photo/223344/album-5002", "album-single-mine.html");
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://photo.renren.com/photo/223344/album-5002"_s));
    EXPECT_EQ(AlbumNames(), QStringList{u"家"_s});
    EXPECT_EQ(core.m_pAlbumList->At(0).nPicCount, 0);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"李四/"_s);
}

TEST_F(RenrenTest, ASingleAlbumPageWithANameOver300CharactersOrNoTextIsNoAlbum)
{
    std::atomic<int> nameLength{300};
    service.Route(kPhotoHost, "/photo/223344/album-5001", [&nameLength](const FakeRequest&) {
        const QByteArray name(nameLength, 'a');
        return FakeReply::Ok("<ul class=\"nav-tabs\"><li>X</li></ul><div class=\"ablum-infor\"><h1>" + name +
                             "<span class=\"count\">(3张)</span></h1></div>");
    });
    GetAlbums(SK_RENREN, kAlbum5001);
    ASSERT_EQ(core.m_pAlbumList->Count(), 1);
    EXPECT_EQ(core.m_pAlbumList->At(0).nPicCount, 3);
    nameLength = 301;
    GetAlbums(SK_RENREN, kAlbum5001);
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());

    // An empty answer is no album page either.
    service.Route(kPhotoHost, "/photo/223344/album-5001", FakeReply::Ok(""));
    GetAlbums(SK_RENREN, kAlbum5001);
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
}

TEST_F(RenrenTest, DownloadTakesTheBiggestPictureOfEachPhoto)
{
    ServeOwnerList(service);
    ServeAlbum5001(service);
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://www.renren.com/223344"_s));
    ASSERT_TRUE(Download({0}));

    // The album page's full title names the album and its folder.
    EXPECT_EQ(core.m_pAlbumList->At(0).strName, u"毕业旅行 2013"_s);
    const QString folder = u"张三/毕业旅行 2013/"_s;
    EXPECT_EQ(SavedBytes(folder + u"海边.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(folder + u"毕业旅行 2013.jpg"_s), FakePicture(2)); // untitled: the album's name
    EXPECT_EQ(SavedBytes(folder + u"日落.jpg"_s), FakePicture(3));          // from its photo page
    EXPECT_EQ(SavedBytes(folder + u"夜景.jpg"_s), FakePicture(4));          // no photo page: the large one
    EXPECT_EQ(QDir(saveRoot.path() + folder).entryList(QDir::Files).size(), 4);

    // "xlarge_" and "original_" addresses are taken as they are; the others ask their photo page.
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/photo/223344/photo-7001/large").isEmpty());
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/photo/223344/photo-7002/large").isEmpty());
    EXPECT_EQ(Queries(kPhotoHost, "/photo/223344/photo-7003/large"), QByteArrayList{"xtype=album"});
    EXPECT_EQ(Queries(kPhotoHost, "/photo/223344/photo-7004/large"), QByteArrayList{"xtype=album"});
    EXPECT_EQ(Queries(kPhotoHost, "/photo/223344/album-5001/bypage/ajax"),
              (QByteArrayList{"curPage=0&pagenum=65535", "curPage=1&pagenum=65535"}));
    EXPECT_EQ(service.RequestsFor(kPhotoHost, "/photo/223344/album-5001").size(), 1);
    EXPECT_EQ(RefererOf("/fmn059/20130601/large_ddd.jpg"),
              QByteArray("http://photo.renren.com/photo/223344/album-5001/bypage/ajax?curPage=0&pagenum=65535"));
    // The list gave pictures, so the photo-by-photo walk is not needed.
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/photo/223344/photo-7005").isEmpty());
}

TEST_F(RenrenTest, AnAlbumKeepsItsListedNameWhenThePageTitleIsTakenOrMissing)
{
    AddListedAlbum(u"毕业旅行 2013"_s, u"http://photo.renren.com/photo/223344/album-5009"_s);
    const int album = AddListedAlbum(u"毕业旅行"_s, kAlbum5001);
    ServeAlbum5001(service);
    StartAlbumDownload();
    ListRenrenPhotos(PhotoRun(), album);
    EXPECT_EQ(Pictures().Count(), 4);
    EXPECT_EQ(AlbumNames(), (QStringList{u"毕业旅行 2013"_s, u"毕业旅行"_s}));
    EXPECT_TRUE(Pictures().m_strSaveDir.endsWith(u"/毕业旅行/"_s));

    // A page without the album title (a login page) leaves the listed name, not a time stamp.
    const int other = AddListedAlbum(u"春游"_s, u"http://photo.renren.com/photo/223344/album-6001"_s);
    service.Route(kPhotoHost, "/photo/223344/album-6001", FakeReply::Ok("<html><body>请先登录</body></html>"));
    ServeFixture(service, kPhotoHost, "/photo/223344/album-6001/bypage/ajax", "photos-bypage.json");
    StartAlbumDownload();
    ListRenrenPhotos(PhotoRun(), other);
    EXPECT_EQ(core.m_pAlbumList->At(other).strName, u"春游"_s);
    EXPECT_TRUE(Pictures().m_strSaveDir.endsWith(u"/春游/"_s));
}

TEST_F(RenrenTest, APhotoPageWithoutAPictureAddressKeepsTheLargeOne)
{
    const int album = AddListedAlbum(u"毕业旅行"_s, kAlbum5001);
    ServeAlbum5001(service);
    service.Route(kPhotoHost, "/photo/223344/photo-7003/large?xtype=album",
                  FakeReply::Ok("<html><body><div class=\"photoes-box\"><p>照片已删除</p></div></body></html>"));
    StartAlbumDownload();
    ListRenrenPhotos(PhotoRun(), album);
    ASSERT_EQ(Pictures().Count(), 4);
    EXPECT_EQ(Pictures().m_arrUrls[2], u"http://fmn.rrimg.com/fmn059/20130601/large_ccc.jpg"_s);
}

TEST_F(RenrenTest, AListThatIgnoresThePageNumberEndsAtTheRepeat)
{
    const int album = AddListedAlbum(u"毕业旅行"_s, kAlbum5001);
    ServeAlbum5001(service);
    // Every page number gets the first page again.
    for (const char* page : {"0", "1", "2"})
        ServeFixture(service, kPhotoHost,
                     QByteArray("/photo/223344/album-5001/bypage/ajax?curPage=") + page + "&pagenum=65535",
                     "photos-bypage.json");
    StartAlbumDownload();
    ListRenrenPhotos(PhotoRun(), album);
    EXPECT_EQ(Queries(kPhotoHost, "/photo/223344/album-5001/bypage/ajax").size(), 2);
    EXPECT_EQ(Pictures().Count(), 4);
}

namespace {
// Album 5001 whose list gives nothing, so that the download walks it from its first photo.
class RenrenWalkTest : public RenrenTest {
protected:
    RenrenWalkTest()
    {
        core.m_nSourceKind = SK_RENREN;
        {
            CListing listing = core.Listing();
            listing.m_nSubKind = 0;
            core.SetListing(listing);
        }
        ServeFixture(service, kPhotoHost, "/photo/223344/album-5001", "album-page.html");
        ServeFixture(service, kPhotoHost, "/photo/223344/album-5001/bypage/ajax", "photos-bypage-end.json");
        ServeFixture(service, kPhotoHost, "/photo/223344/photo-7005", "walk-first.html");
        ServeFixture(service, kPhotoHost, "/photo/223344/photo-7003", "walk-next.html");
        for (int i = 0; i <= 5; ++i)
            service.Route(kPictureHost, "/w/xlarge_" + QByteArray::number(i) + ".jpg",
                          FakeReply::Ok(FakePicture(10 + i), "image/jpeg"));
        service.Route(kPictureHost, "/w/large_4.jpg", FakeReply::Ok(FakePicture(24), "image/jpeg"));
    }
    QStringList ListedUrls() const { return Pictures().m_arrUrls; }
};
} // namespace

TEST_F(RenrenWalkTest, AnEmptyListIsWalkedPhotoByPhotoDownToPositionOne)
{
    AddListedAlbum(u"毕业旅行"_s, kAlbum5001);
    ASSERT_TRUE(Download({0}));
    const QString folder = u"毕业旅行 2013/"_s;
    EXPECT_EQ(SavedBytes(folder + u"第五张.jpg"_s), FakePicture(15));
    EXPECT_EQ(SavedBytes(folder + u"毕业旅行 2013.jpg"_s), FakePicture(24)); // no xlarge: the large one
    EXPECT_EQ(SavedBytes(folder + u"第三张.jpg"_s), FakePicture(13));
    EXPECT_EQ(SavedBytes(folder + u"第二张.jpg"_s), FakePicture(12));
    EXPECT_EQ(SavedBytes(folder + u"第一张.jpg"_s), FakePicture(11));
    // Photo 3 shown again on the next page is not taken twice; position 1 ends the walk.
    EXPECT_EQ(QDir(saveRoot.path() + folder).entryList(QDir::Files).size(), 5);
    EXPECT_TRUE(service.RequestsFor(kPictureHost, "/w/xlarge_0.jpg").isEmpty());
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/photo/223344/photo-7001").isEmpty());
    EXPECT_EQ(service.RequestsFor(kPhotoHost, "/photo/223344/photo-7003").size(), 1);
    EXPECT_EQ(RefererOf("/w/xlarge_3.jpg"), QByteArray("http://photo.renren.com/photo/223344/photo-7005?ref=album"));
    EXPECT_EQ(RefererOf("/w/xlarge_2.jpg"), QByteArray("http://photo.renren.com/photo/223344/photo-7003"));
}

TEST_F(RenrenWalkTest, APageThatAddsNothingEndsTheWalk)
{
    const int album = AddListedAlbum(u"毕业旅行"_s, kAlbum5001);
    // The next page shows only photos already taken. It goes blank after a few requests, so that
    // a walk that keeps asking fails here instead of running on.
    std::atomic<int> asked{0};
    service.Route(kPhotoHost, "/photo/223344/photo-7003", [&asked](const FakeRequest&) {
        if (++asked > 3) return FakeReply::Ok("");
        return FakeReply::Ok(
            "{\"list\":[{\"position\":4,\"xLargeUrl\":\"x4\"},{\"position\":3,\"xLargeUrl\":\"x3\"}]}");
    });
    StartAlbumDownload();
    ListRenrenPhotosByLink(PhotoRun(), album);
    EXPECT_EQ(ListedUrls(),
              (QStringList{u"http://fmn.rrimg.com/w/xlarge_5.jpg"_s, u"http://fmn.rrimg.com/w/large_4.jpg"_s,
                           u"http://fmn.rrimg.com/w/xlarge_3.jpg"_s}));
    EXPECT_EQ(service.RequestsFor(kPhotoHost, "/photo/223344/photo-7003").size(), 1);

    // An empty list ends it the same way.
    asked = 0;
    service.Route(kPhotoHost, "/photo/223344/photo-7003",
                  [&asked](const FakeRequest&) { return FakeReply::Ok(++asked > 3 ? "" : "{\"list\":[]}"); });
    service.ClearRequests();
    StartAlbumDownload();
    ListRenrenPhotosByLink(PhotoRun(), album);
    EXPECT_EQ(Pictures().Count(), 3);
    EXPECT_EQ(service.RequestsFor(kPhotoHost, "/photo/223344/photo-7003").size(), 1);
}

TEST_F(RenrenWalkTest, APageOfMoreThan65535PiecesIsReadWhole)
{
    const int album = AddListedAlbum(u"毕业旅行"_s, kAlbum5001);
    QByteArray page = "{\"list\":[";
    for (int i = 0; i < 65537; ++i)
        page += "{\"position\":9999999},";
    page += "{\"position\":2,\"xLargeUrl\":\"http:\\/\\/fmn.rrimg.com\\/w\\/xlarge_2.jpg\"},"
            "{\"position\":1,\"xLargeUrl\":\"http:\\/\\/fmn.rrimg.com\\/w\\/xlarge_1.jpg\"}]}";
    service.Route(kPhotoHost, "/photo/223344/photo-7005", FakeReply::Ok(page));
    StartAlbumDownload();
    ListRenrenPhotosByLink(PhotoRun(), album);
    EXPECT_EQ(ListedUrls(),
              (QStringList{u"http://fmn.rrimg.com/w/xlarge_2.jpg"_s, u"http://fmn.rrimg.com/w/xlarge_1.jpg"_s}));
}

TEST_F(RenrenTest, APasswordAlbumAsksAndNoGoesOnWithTheNextAlbum)
{
    ServeOwnerList(service);
    ServeAlbum5001(service);
    ASSERT_TRUE(GetAlbums(SK_RENREN, u"http://www.renren.com/223344"_s));
    ASSERT_TRUE(core.m_pAlbumList->At(3).nPrivacy & PRIVACY_PASSWORD);
    frontEnd.QueueAnswer(false);
    frontEnd.QueueAnswer(false);
    ASSERT_TRUE(Download({3, 0}));
    // Both listers ask: the list lister first, then the walk that follows an empty result.
    EXPECT_EQ(frontEnd.Questions(), (QStringList{u"加密相册,是否输入密码"_s, u"加密相册,是否输入密码"_s}));
    EXPECT_TRUE(frontEnd.LoginPages().isEmpty());
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/photo/223344/album-5004").isEmpty());
    EXPECT_FALSE(QDir(saveRoot.path() + u"张三/加密相册"_s).exists());
    EXPECT_EQ(QDir(saveRoot.path() + u"张三/毕业旅行 2013"_s).entryList(QDir::Files).size(), 4);

    // Yes opens the album's password page first, then lists with the cookies it left.
    ServeFixture(service, kPhotoHost, "/photo/223344/album-5004", "album-page.html");
    ServeFixture(service, kPhotoHost, "/photo/223344/album-5004/bypage/ajax?curPage=0&pagenum=65535",
                 "photos-bypage.json");
    frontEnd.QueueAnswer(true);
    StartAlbumDownload();
    ListRenrenPhotos(PhotoRun(), 3);
    EXPECT_EQ(frontEnd.LoginPages(), QStringList{u"http://photo.renren.com/photo/223344/album-5004/private"_s});
    EXPECT_EQ(Pictures().Count(), 4);
}
