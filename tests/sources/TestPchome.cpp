#include "sources/PchomeRoutes.h"
#include "sources/Registry.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {
class PchomeTest : public AdapterTest {
protected:
    PchomeTest() { PchomeFake::Serve(service); }
};
} // namespace

TEST_F(PchomeTest, ReadsBig5ListPagesUpToTheirSectionMark)
{
    ASSERT_TRUE(GetAlbums(SK_PCHOME, u"http://photo.pchome.com.tw/alice/*2"_s));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"alice/"_s);
    // The recommended album after the section mark is someone else's.
    EXPECT_EQ(AlbumNames(), (QStringList{u"台北街頭"_s, u"花蓮海邊"_s, u"舊照片"_s}));
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strAlbumId, u"/alice/001"_s);
    EXPECT_EQ(first.strCoverUrl, u"http://photo.pchome.com.tw/alice/001/covers.jpg"_s);
    EXPECT_EQ(first.nPicCount, 12);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 3);
    // The next link of page 1 lies after the section mark; page 2 only links back.
    EXPECT_EQ(service.RequestsFor(PchomeFake::kPhotoHost, "/alice*2").size(), 1);
    EXPECT_TRUE(service.RequestsFor(PchomeFake::kPhotoHost, "/alice*3").isEmpty());
}

TEST_F(PchomeTest, EachPictureIsReferredByItsOwnPage)
{
    ASSERT_TRUE(GetAlbums(SK_PCHOME, u"http://photo.pchome.com.tw/alice/"_s));
    ASSERT_TRUE(Download({0}));
    // The service answers 403 unless the Referer names the picture's page exactly.
    const QString album = u"alice/台北街頭/"_s;
    EXPECT_EQ(SavedBytes(album + u"台北夜市.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(album + u"雨後的街.jpg"_s), FakePicture(2)); // "photos.2013" folder kept
    EXPECT_EQ(SavedBytes(album + u"捷運站.jpg"_s), FakePicture(3));   // page 2
    EXPECT_EQ(QDir(SavedFile(album)).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(service.RequestsFor(PchomeFake::kPhotoHost, "/alice/001*3").isEmpty());
    EXPECT_TRUE(service.RequestsFor(PchomeFake::kPhotoHost, "/ads/banner.jpg").isEmpty()); // after PageInfo

    // Without the member's own spelling the folder form of the owner serves, its separator
    // not doubled.
    core.Listing().m_strSourceArg1.clear();
    ListPhotosOf(SK_PCHOME, kNoVariant, 0);
    ASSERT_EQ(Pictures().Count(), 3);
    EXPECT_EQ(Pictures().m_arrHeaders[1], u"Referer: http://photo.pchome.com.tw/alice/102"_s);
}

TEST_F(PchomeTest, AServiceIgnoringThePageNumberEndsTheList)
{
    service.Route(PchomeFake::kPhotoHost, "/carol*", PchomeFake::Big5Page("albums-carol-any.html"));
    ASSERT_TRUE(GetAlbums(SK_PCHOME, u"http://photo.pchome.com.tw/carol"_s));
    EXPECT_EQ(AlbumNames(), QStringList{u"貓咪"_s});
    EXPECT_EQ(service.RequestsFor(PchomeFake::kPhotoHost, "/carol*2").size(), 1);
    EXPECT_TRUE(service.RequestsFor(PchomeFake::kPhotoHost, "/carol*3").isEmpty());
}
