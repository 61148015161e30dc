#include "sources/MokoRoutes.h"
#include "support/ScopedProxy.h"
#include "sources/Registry.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {
class MokoTest : public AdapterTest {
protected:
    MokoTest() { MokoFake::Serve(service); }
};
} // namespace

TEST_F(MokoTest, WalksTheMenuCategoriesInOrderAndBothLayouts)
{
    ASSERT_TRUE(GetAlbums(SK_MOKO, u"http://www.moko.cc/alice/"_s));
    // The post list page names the member; the first category page (another title) does not.
    EXPECT_EQ(core.Listing().m_strOwnerName, u"Alice/"_s);
    // Category 11 (two pages, "show" layout, a side box above its posts), 13 (empty), then 12
    // ("twShow" layout, the same page for every page number).
    ASSERT_EQ(core.m_pAlbumList->Count(), 5);
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strName, u"夏日"_s);
    EXPECT_EQ(first.strAlbumId, u"/post/alice/1001.html"_s);
    EXPECT_EQ(first.strCoverUrl, u"http://img.moko.cc/cover/1001.jpg"_s);
    EXPECT_EQ(first.nPicCount, 3);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 12);
    EXPECT_EQ(core.m_pAlbumList->At(2).strName, u"旧作"_s);
    const ST_PERLISTRECORD mountain = core.m_pAlbumList->At(3);
    EXPECT_EQ(mountain.strName, u"山"_s);
    EXPECT_EQ(mountain.strAlbumId, u"/post/alice/1201.html"_s);
    EXPECT_EQ(mountain.strCoverUrl, u"http://img.moko.cc/cover/1201.jpg"_s);
    EXPECT_EQ(mountain.nPicCount, 8);
    EXPECT_EQ(core.m_pAlbumList->At(4).nPicCount, 2);

    QStringList asked;
    for (const FakeRequest& request : service.Requests())
        asked << QString::fromUtf8(request.target);
    EXPECT_EQ(asked, (QStringList{u"/post/alice/list.html"_s, u"/post/alice/category/11/1.html"_s,
                                  u"/post/alice/category/11/2.html"_s, u"/post/alice/category/13/1.html"_s,
                                  u"/post/alice/category/12/1.html"_s, u"/post/alice/category/12/2.html"_s}));
}

TEST_F(MokoTest, ATypedCategoryPageIsWalkedFromItsFirstPage)
{
    ASSERT_TRUE(GetAlbums(SK_MOKO, u"http://www.moko.cc/post/alice/category/12/3.html"_s));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"Alice/"_s);
    EXPECT_EQ(AlbumNames(), (QStringList{u"山"_s, u"湖"_s}));
    EXPECT_EQ(service.RequestsFor(MokoFake::kHost, "/post/alice/category/12/1.html").size(), 1);
    EXPECT_TRUE(service.RequestsFor(MokoFake::kHost, "/post/alice/list.html").isEmpty());
}

TEST_F(MokoTest, APictureBlockWithoutAnAddressIsSkipped)
{
    ASSERT_TRUE(GetAlbums(SK_MOKO, u"http://www.moko.cc/alice/"_s));
    ASSERT_TRUE(Download({0}));
    const QString post = u"Alice/夏日/"_s;
    EXPECT_EQ(SavedBytes(post + u"夏日.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(post + u"夏日 (1).jpg"_s), FakePicture(2));
    EXPECT_EQ(SavedBytes(post + u"夏日 (2).jpg"_s), FakePicture(3));
    EXPECT_EQ(QDir(SavedFile(post)).entryList(QDir::Files).size(), 3);
}

TEST_F(MokoTest, AStopRequestLeavesTheRemainingCategories)
{
    StopListing();
    QString address = u"http://www.moko.cc/post/alice/list.html"_s;
    ListAlbumsOf(SK_MOKO, kNoVariant, address);
    EXPECT_EQ(AlbumNames(), QStringList{u"夏日"_s});
    EXPECT_TRUE(service.RequestsFor(MokoFake::kHost, "/post/alice/category/11/2.html").isEmpty());
    EXPECT_TRUE(service.RequestsFor(MokoFake::kHost, "/post/alice/category/12/1.html").isEmpty());
}

TEST_F(MokoTest, PostPagesBehindARefusedConnectionFailTheirAlbums)
{
    ASSERT_TRUE(GetAlbums(SK_MOKO, u"http://www.moko.cc/alice/"_s));
    // Nothing listens where the proxy now points.
    ScopedVariable deadProxy("http_proxy", "http://127.0.0.1:9");
    ASSERT_TRUE(Download({0, 3}));
    const DownSummary run = frontEnd.LastRun();
    EXPECT_EQ(run.failedAlbums, (QStringList{u"夏日：图集列表获取失败：连接失败"_s, u"山：图集列表获取失败：连接失败"_s}));
    EXPECT_EQ(run.total, 0);
    EXPECT_EQ(run.declared, 3 + 8);
    EXPECT_FALSE(run.Complete());
}
