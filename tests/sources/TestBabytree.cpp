#include "sources/BabytreeRoutes.h"
#include "sources/Registry.h"

#include <QDir>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
class BabytreeTest : public AdapterTest {
protected:
    BabytreeTest() { BabytreeFake::Serve(service); }

    QStringList FilesIn(const QString& folder) const
    {
        QStringList files = QDir(SavedFile(folder)).entryList(QDir::Files);
        files.sort();
        return files;
    }
    bool Requested(const QByteArray& host, const QByteArray& target) const
    {
        for (const FakeRequest& request : service.Requests())
            if (request.host == host && request.target == target) return true;
        return false;
    }
};

const QRegularExpression kTimeStamp(u"^\\d{14}$"_s);

QStringList Sorted(QStringList names)
{
    names.sort();
    return names;
}
} // namespace

TEST_F(BabytreeTest, HomeHostListsBothPagesAndPicturePagesGiveTheFullAddress)
{
    ASSERT_TRUE(GetAlbums(SK_BABYTREE, u"http://home.babytree.com/u87654321/photo"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, 0);
    // The title names nobody: the folder is the user number.
    EXPECT_EQ(core.Listing().m_strOwnerName, u"87654321/"_s);
    ASSERT_EQ(core.m_pAlbumList->Count(), 3); // nothing after the list's end mark
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strName, u"满月纪念"_s);
    EXPECT_EQ(first.strAlbumId, u"http://home.babytree.com/u87654321/photo/album?album_id=501"_s);
    EXPECT_EQ(first.strCoverUrl, u"http://pic.babytree.com/cover/501.jpg"_s);
    EXPECT_EQ(first.nPicCount, 3);
    const ST_PERLISTRECORD nameless = core.m_pAlbumList->At(1);
    EXPECT_TRUE(kTimeStamp.match(nameless.strName).hasMatch()) << nameless.strName.toStdString();
    EXPECT_EQ(nameless.nPicCount, 1);
    EXPECT_EQ(core.m_pAlbumList->At(2).strName, u"周岁"_s);
    // The next link after page 2's end mark is never followed, and the main host is not asked.
    EXPECT_FALSE(Requested(BabytreeFake::kHomeHost, "/u87654321/photo/list?pg=3"));
    EXPECT_TRUE(service.RequestsFor(BabytreeFake::kMainHost, "/user/showuser.php").isEmpty());

    ASSERT_TRUE(Download());
    EXPECT_EQ(FilesIn(u"87654321/满月纪念/"_s), Sorted({u"第一次笑.jpg"_s, u"小手.jpg"_s, u"满月酒.jpg"_s}));
    EXPECT_EQ(SavedBytes(u"87654321/满月纪念/第一次笑.jpg"_s), FakePicture(1)); // from the picture page
    EXPECT_EQ(SavedBytes(u"87654321/满月纪念/小手.jpg"_s), FakePicture(2));     // empty "url": the thumbnail
    // The address below the picture page's end mark belongs to another picture: the thumbnail.
    EXPECT_EQ(SavedBytes(u"87654321/满月纪念/满月酒.jpg"_s), FakePicture(3));
    // A picture page that cannot be fetched keeps the thumbnail too.
    EXPECT_EQ(SavedBytes(u"87654321/"_s + nameless.strName + u"/睡觉.jpg"_s), FakePicture(4));
    EXPECT_FALSE(Requested(BabytreeFake::kHomeHost, "/u87654321/photo/view?photo_id=6666"));
    EXPECT_FALSE(Requested(BabytreeFake::kPictureHost, "/big/7777.jpg"));
}

TEST_F(BabytreeTest, MemberWithoutHomeAlbumsIsListedOnTheMainHostOverTwoPages)
{
    ASSERT_TRUE(GetAlbums(SK_BABYTREE, u"http://home.babytree.com/u12345678&from=search"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, 1);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"豆豆爸/"_s);
    // Page 2 is reached through the pager's "&gt;" link; the advert below the end mark and the
    // next link below page 2's end mark are not read.
    EXPECT_EQ(AlbumNames(), (QStringList{u"宝宝出生"_s, u"百天照"_s, u"会爬了"_s}));
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strAlbumId, u"/user/showuser.php?uid=u12345678&tab=photo&view=album&album_id=701"_s);
    EXPECT_EQ(first.strCoverUrl, u"http://pic.babytree.com/cover/701.jpg"_s);
    EXPECT_EQ(first.nPicCount, 3);
    EXPECT_EQ(core.m_pAlbumList->At(2).nPicCount, 0);
    EXPECT_FALSE(Requested(BabytreeFake::kMainHost, BabytreeFake::MainPage("view=album_list&order=&pg=3")));

    ASSERT_TRUE(Download({0, 1}));
    // The album page's unterminated "vertical-align:middle" does not end it; the one with the
    // semicolon does, before the advert. "#detail" links are fetched as the large view.
    EXPECT_EQ(FilesIn(u"豆豆爸/宝宝出生/"_s), Sorted({u"出生第一天.jpg"_s, u"小脚丫.jpg"_s, u"洗澡.jpg"_s}));
    EXPECT_EQ(SavedBytes(u"豆豆爸/宝宝出生/出生第一天.jpg"_s), FakePicture(11));
    EXPECT_EQ(SavedBytes(u"豆豆爸/宝宝出生/小脚丫.jpg"_s), FakePicture(12)); // large view without address
    EXPECT_EQ(SavedBytes(u"豆豆爸/宝宝出生/洗澡.jpg"_s), FakePicture(13));   // album page 2
    EXPECT_EQ(SavedBytes(u"豆豆爸/百天照/百天.jpg"_s), FakePicture(14));
    EXPECT_FALSE(Requested(BabytreeFake::kPictureHost, "/ad.jpg"));
    EXPECT_TRUE(service.RequestsFor(BabytreeFake::kMainHost, "/ad/888&show=big").isEmpty());
    EXPECT_FALSE(Requested(BabytreeFake::kMainHost, BabytreeFake::MainPage("view=album&album_id=701&pg=3")));
}

TEST_F(BabytreeTest, ServiceThatIgnoresThePageNumberEndsTheListings)
{
    // Every list page carries a next link and the same album; only the page number it echoes
    // differs, so the second page adds nothing new.
    service.Route(BabytreeFake::kHomeHost, "/u555/photo/list", [](const FakeRequest& request) {
        return FakeReply::Ok("<title>Ann的相册</title><script>var album_list = [{\"id\":\"1\",\"title\":\"A\","
                             "\"album_url\":\"http:\\/\\/home.babytree.com\\/u555\\/photo\\/album?album_id=1\","
                             "\"sum\":\"1\"}];</script><a href=\"?" +
                             request.query() + "\">下一页</a>");
    });
    // The album answers the very same page for every number.
    service.Route(BabytreeFake::kHomeHost, "/u555/photo/album",
                  FakeReply::Ok("<div class=\"photo-thumb\"><a href=\"http://home.babytree.com/u555/v/1\">"
                                "<img src=\"http://pic.babytree.com/thumb/9101_s.jpg\" title=\"只一张\"/></a></div>"
                                "<a href=\"?pg=2\">下一页</a>"));

    ASSERT_TRUE(GetAlbums(SK_BABYTREE, u"http://home.babytree.com/u555"_s));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"Ann/"_s);
    EXPECT_EQ(AlbumNames(), QStringList{u"A"_s});
    EXPECT_EQ(service.RequestsFor(BabytreeFake::kHomeHost, "/u555/photo/list").size(), 2);

    ASSERT_TRUE(Download());
    EXPECT_EQ(FilesIn(u"Ann/A/"_s), QStringList{u"只一张.jpg"_s});
    EXPECT_EQ(service.RequestsFor(BabytreeFake::kHomeHost, "/u555/photo/album").size(), 2);
}

TEST_F(BabytreeTest, MainHostListPageWithoutAlbumsDoesNotEndTheListing)
{
    service.Route(BabytreeFake::kHomeHost, "/u777/photo/list", FakeReply::Ok("<title>Bo的相册</title>"));
    const auto listPage = [](int page) {
        return QByteArray("/user/showuser.php?uid=u777&tab=photo&view=album_list&order=&pg=") +
               QByteArray::number(page);
    };
    const auto album = [](int id) {
        return "<li class=\"thumb\"><a href=\"/album/" + QByteArray::number(id) + "\"><img src=\"http://pic/" +
               QByteArray::number(id) + ".jpg\"/><strong>A" + QByteArray::number(id) + "</strong>(2)</a></li>";
    };
    const QByteArray next = "<li><a href=\"?pg=\">&gt;</a></li>";
    service.Route(BabytreeFake::kMainHost, listPage(1), FakeReply::Ok("<title>Bo的相册</title>" + album(1) + next));
    // Page 2 shows its pager only: the member's albums go on on page 3.
    service.Route(BabytreeFake::kMainHost, listPage(2), FakeReply::Ok("<title>Bo的相册</title>" + next));
    service.Route(BabytreeFake::kMainHost, listPage(3), FakeReply::Ok("<title>Bo的相册</title>" + album(3)));
    service.Route(BabytreeFake::kMainHost, listPage(4), FakeReply::Ok(album(4)));

    ASSERT_TRUE(GetAlbums(SK_BABYTREE, u"http://home.babytree.com/u777"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, 1);
    EXPECT_EQ(AlbumNames(), (QStringList{u"A1"_s, u"A3"_s}));
    EXPECT_EQ(core.m_pAlbumList->At(1).strAlbumId, u"/album/3"_s);
    // Page 3 has no next link: page 4 is never asked for.
    EXPECT_EQ(service.RequestsFor(BabytreeFake::kMainHost, "/user/showuser.php").size(), 3);
}
