#include "sources/Registry.h"
#include "sources/SinaBlogRoutes.h"
#include "support/AdapterTest.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {
class SinaBlogTest : public AdapterTest {
protected:
    SinaBlogTest() { SinaBlogFake::Serve(service); }

    QStringList FilesIn(const QString& folder) const
    {
        return QDir(SavedFile(folder)).entryList(QDir::Files, QDir::Name);
    }
};
} // namespace

TEST_F(SinaBlogTest, ListsNamedCategoriesOfTheOwnerAfterTheTitle)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, u"http://blog.sina.com.cn/lanxi"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, 0);
    // The title's tags are stripped; the id comes from the owner's link after it, not the
    // visitor's link before it.
    EXPECT_EQ(core.Listing().m_strOwnerName, u"蓝溪的博客/"_s);
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kPhotoHost, "/services/ctg_list_ctg.php").size(), 1);
    // A nameless category and one whose name never ends are left out.
    ASSERT_EQ(AlbumNames(), (QStringList{u"湖光山色"_s, u"家人 Family"_s}));
    const ST_PERLISTRECORD lake = core.m_pAlbumList->At(0);
    EXPECT_EQ(lake.strAlbumId, u"http://photo.blog.sina.com.cn/category/u/1650000001/s/101"_s);
    EXPECT_EQ(lake.strCoverUrl, u"http://s1.sinaimg.cn/bmiddle/4b5c0c01&690"_s);
    EXPECT_EQ(lake.nPicCount, 3);
    EXPECT_EQ(lake.nPrivacy, 0);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 0); // no count given
}

TEST_F(SinaBlogTest, CategoryPagesGiveFullSizePicturesUntilTheLastPage)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, u"http://blog.sina.com.cn/lanxi"_s));
    ASSERT_TRUE(Download());
    const QByteArray pages = QByteArray(SinaBlogFake::kCategoryPath);
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kPhotoHost, pages + "101/page1").size(), 1);
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kPhotoHost, pages + "101/page2").size(), 1);
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kPhotoHost, pages + "101/page3").size(), 0);
    // "/small/" becomes the full-size folder; a doubly written "&amp;" loses its leftover
    // "amp;" while "camp" keeps its letters.
    EXPECT_EQ(SavedBytes(u"蓝溪的博客/湖光山色/湖边的早晨.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(u"蓝溪的博客/湖光山色/山顶.jpg"_s), FakePicture(3));
    EXPECT_EQ(FilesIn(u"蓝溪的博客/湖光山色/"_s).size(), 3);
    EXPECT_EQ(service.RequestsFor("s2.sinaimg.cn", "/orignal/camp.jpg").size(), 1);

    // Category 103 answers the same page for every page number: its second page brings
    // nothing new and ends the walk, and its picture is fetched once.
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kPhotoHost, pages + "103/page1").size(), 1);
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kPhotoHost, pages + "103/page2").size(), 1);
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kPhotoHost, pages + "103/page3").size(), 0);
    EXPECT_EQ(FilesIn(u"蓝溪的博客/家人 Family/"_s), QStringList{u"全家福.jpg"_s});
    EXPECT_EQ(SavedBytes(u"蓝溪的博客/家人 Family/全家福.jpg"_s), FakePicture(7));
}

TEST_F(SinaBlogTest, ArticleListPagesListTitledArticles)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, u"http://blog.sina.com.cn/s/articlelist_1650000001_0_1.html"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, 1);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"蓝溪的博客/"_s);
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kBlogHost, "/s/articlelist_1650000001_0_2.html").size(), 1);
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kBlogHost, "/s/articlelist_1650000001_0_3.html").size(), 0);
    // The untitled article is left out.
    EXPECT_EQ(AlbumNames(), (QStringList{u"西湖游记"_s, u"我的小猫"_s, u"秋天的银杏"_s}));
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strAlbumId, u"http://blog.sina.com.cn/s/blog_6259d0010101a001.html"_s);
    EXPECT_EQ(first.nPicCount, -1);
    EXPECT_TRUE(first.strCoverUrl.isEmpty());
}

TEST_F(SinaBlogTest, OlderArticleListsAreSplitByLineOnEveryPage)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, u"http://blog.sina.com.cn/s/articlelist_1650000002_0_1.html"_s));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"老树/"_s);
    // Page 2 holds a title-marked recommendation that is no article of the list; page 3 is
    // page 2 again and ends the listing.
    EXPECT_EQ(AlbumNames(), (QStringList{u"旧文一"_s, u"旧文二"_s, u"旧文三"_s}));
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kBlogHost, "/s/articlelist_1650000002_0_3.html").size(), 1);
    EXPECT_EQ(service.RequestsFor(SinaBlogFake::kBlogHost, "/s/articlelist_1650000002_0_4.html").size(), 0);
}

TEST_F(SinaBlogTest, AnArticleGivesItsFirstBodyPictureAtFullSize)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, u"http://blog.sina.com.cn/s/articlelist_1650000001_0_1.html"_s));
    ASSERT_TRUE(Download());
    // Equal counts of both marks: the linked full picture. The pictures around the body (read
    // only between its marks, here from a gzipped page) would tip the counts otherwise.
    EXPECT_EQ(FilesIn(u"蓝溪的博客/西湖游记/"_s), QStringList{u"西湖游记.jpg"_s});
    EXPECT_EQ(SavedBytes(u"蓝溪的博客/西湖游记/西湖游记.jpg"_s), FakePicture(11));
    // More links than sources: the first source, "/mw690/" made full size.
    EXPECT_EQ(FilesIn(u"蓝溪的博客/我的小猫/"_s), QStringList{u"我的小猫.jpg"_s});
    EXPECT_EQ(SavedBytes(u"蓝溪的博客/我的小猫/我的小猫.jpg"_s), FakePicture(13));
    // Two sources: only the first, "/bmiddle/" made full size.
    EXPECT_EQ(SavedBytes(u"蓝溪的博客/秋天的银杏/秋天的银杏.jpg"_s), FakePicture(14));
    EXPECT_EQ(service.RequestsFor("s9.sinaimg.cn", "/orignal/6259d001a004p2").size(), 0);
    EXPECT_EQ(service.RequestsFor("s8.sinaimg.cn", "/orignal/sidebar01&690").size(), 0);
}
