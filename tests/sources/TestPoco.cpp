#include "sources/PocoRoutes.h"
#include "sources/Registry.h"
#include "support/AdapterTest.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {
class PocoTest : public AdapterTest {
protected:
    PocoTest() { PocoFake::Serve(service); }

    QStringList FilesIn(const QString& folder) const
    {
        return QDir(SavedFile(folder)).entryList(QDir::Files, QDir::Name);
    }
    int OverviewRequests(int page) const
    {
        return int(service
                       .RequestsFor(PocoFake::kAlbumHost,
                                    "/album/album_show_all.htx&user_id=174478992&p=" + QByteArray::number(page))
                       .size());
    }
};
} // namespace

TEST_F(PocoTest, ThemeAddressListsEveryOverviewPageFromGbk)
{
    ASSERT_TRUE(GetAlbums(SK_POCO, u"http://my.poco.cn/theme/theme_list.php?user_id=174478992&p=2"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, 0);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"小鱼儿/"_s);
    EXPECT_EQ(OverviewRequests(1), 1);
    EXPECT_EQ(OverviewRequests(2), 1); // sent gzipped
    EXPECT_EQ(OverviewRequests(3), 0);
    // The item without a title is left out, and so is the recommended album above the user's
    // name on page 1.
    ASSERT_EQ(AlbumNames(), (QStringList{u"海边日记"_s, u"私人 相册"_s, u"街头·黑白"_s}));
    const ST_PERLISTRECORD sea = core.m_pAlbumList->At(0);
    EXPECT_EQ(sea.strAlbumId,
              u"http://my.poco.cn/album/album_show_photo_list.php?user_id=174478992&set_hash=a1f0c9"_s);
    EXPECT_EQ(sea.strCoverUrl, u"http://image16-c.poco.cn/mypoco/myphoto/20130601/cover_a1f0c9.jpg"_s);
    EXPECT_EQ(sea.nPicCount, -1);
    EXPECT_EQ(sea.nPrivacy, 0);
    // The password album's first argument names "pwd".
    EXPECT_EQ(core.m_pAlbumList->At(1).nPrivacy, PRIVACY_PASSWORD);
    EXPECT_EQ(core.m_pAlbumList->At(2).nPrivacy, 0);
}

TEST_F(PocoTest, PhotoListsGiveFullSizePicturesNamedByTitleOrAlbum)
{
    ASSERT_TRUE(GetAlbums(SK_POCO, u"http://my.poco.cn/album/user_id-174478992.shtml"_s));
    ASSERT_EQ(core.m_pAlbumList->Count(), 3);
    // The password album's list is not served: it ends quietly and the next album follows.
    ASSERT_TRUE(Download());
    EXPECT_TRUE(frontEnd.Messages().isEmpty()) << frontEnd.Messages().join(u'|').toStdString();
    EXPECT_EQ(SavedBytes(u"小鱼儿/海边日记/浪花.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(u"小鱼儿/海边日记/海边日记.jpg"_s), FakePicture(2)); // blank title
    EXPECT_EQ(SavedBytes(u"小鱼儿/海边日记/日落.jpg"_s), FakePicture(3));     // trimmed title
    EXPECT_EQ(FilesIn(u"小鱼儿/海边日记/"_s).size(), 3);
    for (const FakeRequest& request : service.Requests())
        EXPECT_FALSE(request.target.contains("_165.")) << request.target.constData();

    // This album's list answers page 1 for every page: page 2 brings nothing new.
    const QByteArray street = QByteArray(PocoFake::kPhotoList) + "d4c3b6&do=Plist&p=";
    EXPECT_EQ(service.RequestsFor(PocoFake::kAlbumHost, "/album/album_show_photo_list.php").size(), 5);
    int streetPages = 0;
    for (const FakeRequest& request : service.Requests())
        if (request.target.startsWith(street)) ++streetPages;
    EXPECT_EQ(streetPages, 2);
    EXPECT_EQ(FilesIn(u"小鱼儿/街头·黑白/"_s), QStringList{u"路口.jpg"_s});
    EXPECT_EQ(SavedBytes(u"小鱼儿/街头·黑白/路口.jpg"_s), FakePicture(4));
}

TEST_F(PocoTest, OtherListingPagesListSetsAndTheirScriptPictures)
{
    ASSERT_TRUE(GetAlbums(SK_POCO, u"http://photo.poco.cn/vision/list.php?tag=sea&p=3"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, 1);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"视觉精选/"_s);
    // The typed page parameter was renamed; only the lister's own one is sent, once.
    ASSERT_EQ(service.RequestsFor("photo.poco.cn", "/vision/list.php").size(), 1);
    EXPECT_EQ(service.RequestsFor("photo.poco.cn", "/vision/list.php")[0].query(), QByteArray("tag=sea&zrv=3&p=1"));
    // The nameless link is left out, and so is the channel link above the page's name.
    ASSERT_EQ(AlbumNames(), (QStringList{u"蓝色的海"_s, u"老城旧事"_s}));
    EXPECT_EQ(core.m_pAlbumList->At(0).strAlbumId, u"http://photo.poco.cn/lastphoto-htx-id-5001-p-0.xhtml"_s);
    EXPECT_EQ(core.m_pAlbumList->At(0).nPicCount, -1);

    ASSERT_TRUE(Download());
    // The script's full-size pictures, not the thumbnails shown above them.
    EXPECT_EQ(FilesIn(u"视觉精选/蓝色的海/"_s).size(), 2);
    EXPECT_EQ(SavedBytes(u"视觉精选/蓝色的海/蓝色的海.jpg"_s), FakePicture(21));
    EXPECT_EQ(SavedBytes(u"视觉精选/蓝色的海/蓝色的海 (1).jpg"_s), FakePicture(22));
    // A page without the script: its picture sources.
    EXPECT_EQ(FilesIn(u"视觉精选/老城旧事/"_s), QStringList{u"老城旧事.jpg"_s});
    EXPECT_EQ(SavedBytes(u"视觉精选/老城旧事/老城旧事.jpg"_s), FakePicture(23));
}
