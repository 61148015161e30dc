#include "sources/Registry.h"
#include "sources/ZolRoutes.h"

#include <QDir>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
class ZolTest : public AdapterTest {
protected:
    ZolTest() { ZolFake::Serve(service); }
};
} // namespace

TEST_F(ZolTest, ListsUntilTheNextLinkGoesEvenWithAPreviousLinkLeft)
{
    ASSERT_TRUE(GetAlbums(SK_ZOL, u"http://photo.zol.com.cn/alice/album_1.html"_s));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"Alice 小镇/"_s); // from the first page, in GBK
    ASSERT_EQ(core.m_pAlbumList->Count(), 3);
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strName, u"海边假日"_s);
    EXPECT_EQ(first.strAlbumId, u"/alice/album/8801_"_s);
    EXPECT_EQ(first.strCoverUrl, u"http://2a.zol-img.com.cn/t_s160x120/g1/cover8801.jpg"_s);
    EXPECT_EQ(first.nPicCount, 12);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 3);
    // The last album shows no count.
    EXPECT_EQ(core.m_pAlbumList->At(2).strName, u"无题"_s);
    EXPECT_EQ(core.m_pAlbumList->At(2).nPicCount, 0);
    // Page 2 has a "previous" link of the same class and a disabled next: it is the last.
    EXPECT_EQ(service.RequestsFor(ZolFake::kPhotoHost, "/alice/album_2.html").size(), 1);
    EXPECT_TRUE(service.RequestsFor(ZolFake::kPhotoHost, "/alice/album_3.html").isEmpty());
}

TEST_F(ZolTest, MemberWithoutATitleGetsATimeName)
{
    Serve(ZolFake::kPhotoHost, "/nameless/album_1.html", u"zol/albums-nameless.html"_s);
    ASSERT_TRUE(GetAlbums(SK_ZOL, u"http://photo.zol.com.cn/nameless/"_s));
    EXPECT_EQ(AlbumNames(), QStringList{u"随拍"_s});
    EXPECT_TRUE(QRegularExpression(u"^\\d{14}/$"_s).match(core.Listing().m_strOwnerName).hasMatch())
        << core.Listing().m_strOwnerName.toStdString();
}

TEST_F(ZolTest, DownloadsFullSizePicturesPageByPage)
{
    ASSERT_TRUE(GetAlbums(SK_ZOL, u"http://photo.zol.com.cn/alice/"_s));
    ASSERT_TRUE(Download());
    // Each file exists only when its thumbnail became the right full-size address; the first
    // is named by the title that comes before its thumbnail, not the one after.
    const QString album = u"Alice 小镇/海边假日/"_s;
    EXPECT_EQ(SavedBytes(album + u"日出.jpg"_s), FakePicture(1)); // size folder beats "_"
    EXPECT_EQ(SavedBytes(album + u"浪花.jpg"_s), FakePicture(2)); // size suffix; "_" folder kept
    EXPECT_EQ(SavedBytes(album + u"沙滩.jpg"_s), FakePicture(3)); // used unchanged
    EXPECT_EQ(SavedBytes(album + u"晚霞.jpg"_s), FakePicture(4)); // size folder named twice, page 2
    EXPECT_EQ(QDir(SavedFile(album)).entryList(QDir::Files).size(), 4);
    EXPECT_TRUE(service.RequestsFor(ZolFake::kPhotoHost, "/alice/album/8801_3.html").isEmpty());

    // An album whose every page number answers the same page ends after the repeat.
    const QString street = SavedFile(u"Alice 小镇/"_s) + core.m_pAlbumList->At(1).strName + u"/"_s;
    EXPECT_EQ(QDir(street).entryList(QDir::Files), QStringList{u"石板路.jpg"_s});
    EXPECT_EQ(service.RequestsFor(ZolFake::kPhotoHost, "/alice/album/8802_2.html").size(), 1);
    EXPECT_TRUE(service.RequestsFor(ZolFake::kPhotoHost, "/alice/album/8802_3.html").isEmpty());
    for (const FakeRequest& request : service.Requests())
        EXPECT_FALSE(request.target.contains("t_s120x90")) << request.target.constData();
}
