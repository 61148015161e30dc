#include "sources/Registry.h"
#include "sources/YupooRoutes.h"
#include "support/AdapterTest.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {
const QString kAliceAlbums = u"http://v.yupoo.com/photos/alice/albums/"_s;

class YupooTest : public AdapterTest {
protected:
    YupooTest() { YupooFake::Serve(service); }

    // The service answers only requests that name the page itself as the referring page.
    void ExpectOwnAddressAsReferer() const
    {
        int pages = 0;
        for (const FakeRequest& request : service.Requests()) {
            if (request.host == YupooFake::kPictureHost) continue;
            EXPECT_EQ(request.header("Referer").toStdString(),
                      ("http://" + request.host + request.target).toStdString());
            ++pages;
        }
        EXPECT_GT(pages, 0);
    }

    QStringList FilesIn(const QString& album) const
    {
        return QDir(SavedFile(album)).entryList(QDir::Files, QDir::Name);
    }
};
} // namespace

TEST_F(YupooTest, ListsOwnerPagesWithTheItemMarkOfTheFirstPage)
{
    ASSERT_TRUE(GetAlbums(SK_YUPOO, u"http://alice.v.yupoo.com/"_s));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"alice/"_s);
    // Page 2 also holds a box of the newer layout; it is split by the mark page 1 chose.
    EXPECT_EQ(AlbumNames(), (QStringList{u"海边"_s, u"私密"_s, u"山"_s}));

    const ST_PERLISTRECORD sea = core.m_pAlbumList->At(0);
    EXPECT_EQ(sea.strAlbumId, kAliceAlbums + u"1001/"_s); // a path completed with the "v" host
    EXPECT_EQ(sea.strCoverUrl, u"http://pic.yupoo.com/alice/cover1001.jpg"_s);
    EXPECT_EQ(sea.nPicCount, 3);
    EXPECT_EQ(sea.nPrivacy, 0);
    const ST_PERLISTRECORD locked = core.m_pAlbumList->At(1);
    EXPECT_EQ(locked.strCoverUrl, u"http://www.yupoo.com/images/default_set_photo.gif"_s);
    EXPECT_EQ(locked.nPrivacy, PRIVACY_PASSWORD);
    const ST_PERLISTRECORD mountain = core.m_pAlbumList->At(2);
    EXPECT_EQ(mountain.strAlbumId, kAliceAlbums + u"1003/"_s);
    EXPECT_EQ(mountain.nPicCount, 0);

    // Page 2 shows the disabled next link: no third page is asked for.
    EXPECT_EQ(service.RequestCount(), 2);
    ExpectOwnAddressAsReferer();
}

TEST_F(YupooTest, MainHostListAndSingleAlbumPage)
{
    // Gzipped, and read only up to the footer: the box after it is not an album.
    ASSERT_TRUE(GetAlbums(SK_YUPOO, u"http://bob.yupoo.com/"_s));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"Bob Lee/"_s);
    ASSERT_EQ(AlbumNames(), QStringList{u"花园"_s});
    const ST_PERLISTRECORD listed = core.m_pAlbumList->At(0);
    EXPECT_EQ(listed.strAlbumId, u"http://www.yupoo.com/photos/bob/albums/3001/"_s);
    EXPECT_EQ(listed.strCoverUrl, u"http://pic.yupoo.com/bob/cover3001.jpg"_s);
    EXPECT_EQ(listed.nPicCount, 12);

    ASSERT_TRUE(GetAlbums(SK_YUPOO, u"http://www.yupoo.com/photos/bob/albums/3001/?from=home"_s));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"Bob Lee/"_s); // after the site name in the album page's title
    ASSERT_EQ(AlbumNames(), QStringList{u"花园"_s});
    const ST_PERLISTRECORD single = core.m_pAlbumList->At(0);
    EXPECT_EQ(single.strAlbumId, u"http://www.yupoo.com/photos/bob/albums/3001/"_s);
    EXPECT_EQ(single.nPicCount, 12);
    EXPECT_TRUE(single.strCoverUrl.isEmpty());
    EXPECT_EQ(service.RequestsFor(YupooFake::kWwwHost, "/photos/bob/albums/3001/").front().target,
              QByteArray("/photos/bob/albums/3001/"));
    ExpectOwnAddressAsReferer();
}

TEST_F(YupooTest, ListEndsWhenTheServiceRepeatsAPage)
{
    service.Route(YupooFake::kWwwHost, "/photos/carol/albums/page*", YupooFake::Page("alice-albums-1.html"));
    ASSERT_TRUE(GetAlbums(SK_YUPOO, u"http://carol.yupoo.com/"_s));
    EXPECT_EQ(core.m_pAlbumList->Count(), 2);
    EXPECT_EQ(service.RequestCount(), 2);
}

TEST_F(YupooTest, DownloadTakesFullSizesAsksForThePasswordAndStopsWhereSizesAreWithheld)
{
    ASSERT_TRUE(GetAlbums(SK_YUPOO, u"http://alice.v.yupoo.com/"_s));
    service.ClearRequests();
    ASSERT_TRUE(Download()); // the password question is answered No

    EXPECT_EQ(SavedBytes(u"alice/海边/日出.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(u"alice/海边/浪花.jpg"_s), FakePicture(2)); // the description, no title
    // The full-size page names no address on the service: the thumbnail, named after the album.
    EXPECT_EQ(SavedBytes(u"alice/海边/海边.jpg"_s), FakePicture(3));
    EXPECT_EQ(FilesIn(u"alice/海边/"_s).size(), 3);
    // Page 3 repeats page 2, so the walk ends there.
    EXPECT_EQ(service.RequestsFor(YupooFake::kVHost, "/photos/alice/albums/1001/page3/").size(), 1);
    EXPECT_TRUE(service.RequestsFor(YupooFake::kVHost, "/photos/alice/albums/1001/page4/").isEmpty());

    EXPECT_EQ(frontEnd.Questions(), QStringList{u"加密相册,是否输入密码"_s});
    EXPECT_TRUE(frontEnd.LoginPages().isEmpty());
    EXPECT_TRUE(service.RequestsFor(YupooFake::kVHost, "/photos/alice/2101/zoom/original/").isEmpty());
    EXPECT_FALSE(QDir(SavedFile(u"alice/私密/"_s)).exists());

    // The next album is still downloaded; its withheld full size ends it with the login hint.
    EXPECT_EQ(SavedBytes(u"alice/山/山顶.jpg"_s), FakePicture(5));
    EXPECT_EQ(FilesIn(u"alice/山/"_s), QStringList{u"山顶.jpg"_s});
    EXPECT_EQ(frontEnd.Messages(), QStringList{u"请先在登录菜单里登录你的又拍帐号,登录时勾上下次自动登录"_s});
    EXPECT_TRUE(service.RequestsFor(YupooFake::kVHost, "/photos/alice/albums/1003/page2/").isEmpty());
    ExpectOwnAddressAsReferer();
}

TEST_F(YupooTest, PasswordEnteredInTheLoginBrowserOpensTheAlbum)
{
    ASSERT_TRUE(GetAlbums(SK_YUPOO, u"http://alice.v.yupoo.com/"_s));
    frontEnd.QueueAnswer(true);
    ASSERT_TRUE(Download({1}));
    EXPECT_EQ(frontEnd.LoginPages(), QStringList{kAliceAlbums + u"1002/page1/?style=detail"_s});
    EXPECT_EQ(service.RequestsFor(YupooFake::kVHost, "/photos/alice/albums/1002/page1/").size(), 2);
    EXPECT_EQ(SavedBytes(u"alice/私密/秘密.jpg"_s), FakePicture(4));
}

TEST_F(YupooTest, StopRequestsEndBothListers)
{
    StopListing();
    QString address = kAliceAlbums;
    ListAlbumsOf(SK_YUPOO, kNoVariant, address);
    EXPECT_EQ(core.m_pAlbumList->Count(), 1);

    StopDownload();
    ListPhotosOf(SK_YUPOO, kNoVariant, 0);
    EXPECT_EQ(Pictures().Count(), 1);
}
