#include "sources/BaiduRoutes.h"
#include "sources/Registry.h"
#include "support/AdapterTest.h"

#include <QDir>

using namespace Qt::StringLiterals;
using BaiduFake::QueryValue;

namespace {
constexpr char16_t kOwnerAddress[] = u"http://xiangce.baidu.com/lily";
constexpr char kAlbumList[] = "/picture/album/list/9a8b7c6d01";

class BaiduTest : public AdapterTest {
protected:
    BaiduTest() { BaiduFake::Serve(service); }

    void ExpectTheTwoAlbumsBeforeTheFeedbackArea()
    {
        EXPECT_EQ(core.Listing().m_strOwnerName, u"莉莉/"_s);
        // The block without a sign is left out; the one after the feedback area is never read.
        ASSERT_EQ(AlbumNames(), (QStringList{u"旅行"_s, u"家人"_s}));
        const ST_PERLISTRECORD travel = core.m_pAlbumList->At(0);
        EXPECT_EQ(travel.strAlbumId, u"9a8b7c6d01"_s);
        EXPECT_EQ(travel.strCoverUrl, u"http://imgsrc.baidu.com/album/s%3D200/sign=c1/cover01.jpg"_s);
        EXPECT_EQ(travel.nPicCount, 5);
        EXPECT_EQ(travel.nPrivacy, 0);
        EXPECT_EQ(core.m_pAlbumList->At(1).strAlbumId, u"9a8b7c6d03"_s);
        EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 1);
    }
};
} // namespace

TEST_F(BaiduTest, ListsTheAlbumBlocksOfThePageUpToItsFeedbackArea)
{
    ASSERT_TRUE(GetAlbums(SK_BAIDU, QString::fromUtf16(kOwnerAddress)));
    ExpectTheTwoAlbumsBeforeTheFeedbackArea();
    EXPECT_EQ(core.Listing().m_nSubKind, -1);
    const QList<FakeRequest> page = service.RequestsFor(BaiduFake::kHost, "/lily");
    ASSERT_EQ(page.size(), 1);
    EXPECT_EQ(page[0].header("Accept-Encoding"), QByteArray("gzip, deflate"));
}

TEST_F(BaiduTest, AGzippedAlbumPageIsCutAtTheFeedbackAreaToo)
{
    service.Route(BaiduFake::kHost, "/lily", BaiduFake::Fixture(u"album-page-lily.html"_s).Gzipped());
    ASSERT_TRUE(GetAlbums(SK_BAIDU, QString::fromUtf16(kOwnerAddress)));
    ExpectTheTwoAlbumsBeforeTheFeedbackArea();
}

TEST_F(BaiduTest, DownloadsTheFullSizePicturesPageByPage)
{
    ASSERT_TRUE(GetAlbums(SK_BAIDU, QString::fromUtf16(kOwnerAddress)));
    ASSERT_TRUE(Download({0}));

    // Each page asks from the first picture not yet read.
    const QList<FakeRequest> pages = service.RequestsFor(BaiduFake::kHost, kAlbumList);
    ASSERT_EQ(pages.size(), 3);
    const QStringList starts{u"0"_s, u"3"_s, u"5"_s};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QueryValue(pages[i], u"pn"_s), starts[i]);
        EXPECT_TRUE(pages[i].query().startsWith("format=json&size=100&pn=" + starts[i].toLatin1() + "&width=80&t="));
        EXPECT_TRUE(pages[i].query().endsWith("&resolution=1280"));
        EXPECT_FALSE(QueryValue(pages[i], u"t"_s).isEmpty());
    }

    // The thumbnail's path from its first "album" to its file name becomes "album/pic/item"; a
    // thumbnail without "album" is fetched as listed.
    EXPECT_EQ(service.RequestsFor("imgsrc.baidu.com", "/album/pic/item/p001.jpg").size(), 1);
    EXPECT_EQ(service.RequestsFor("hiphotos.baidu.com", "/lily/pic/item/p003.jpg").size(), 1);
    EXPECT_EQ(service.RequestsFor("imgsrc.baidu.com", "/forum/abpic/album/pic/item/p005.jpg").size(), 1);

    // The picture without a name is named after the album.
    const QString album = u"莉莉/旅行/"_s;
    const QStringList files{u"海边.jpg"_s, u"旅行.jpg"_s, u"山顶.jpg"_s, u"日出.jpg"_s, u"夜景.jpg"_s};
    for (int i = 0; i < files.size(); ++i)
        EXPECT_EQ(SavedBytes(album + files[i]), FakePicture(i + 1)) << files[i].toStdString();
    EXPECT_EQ(QDir(SavedFile(album)).entryList(QDir::Files).size(), 5);
}

TEST_F(BaiduTest, AServiceThatIgnoresThePictureIndexEndsTheListing)
{
    service.Route(BaiduFake::kHost, QByteArray(BaiduFake::kListPrefix) + "*", BaiduFake::Fixture(u"pictures-0.json"_s));
    ASSERT_TRUE(GetAlbums(SK_BAIDU, QString::fromUtf16(kOwnerAddress)));
    ASSERT_TRUE(Download({0}));
    EXPECT_EQ(service.RequestsFor(BaiduFake::kHost, kAlbumList).size(), 2);
    EXPECT_EQ(QDir(SavedFile(u"莉莉/旅行/"_s)).entryList(QDir::Files).size(), 3);
}
