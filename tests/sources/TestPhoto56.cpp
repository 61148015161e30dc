#include "sources/Photo56Routes.h"
#include "sources/Registry.h"
#include "support/AdapterTest.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {
class Photo56Test : public AdapterTest {
protected:
    Photo56Test() { Photo56Fake::Serve(service); }

    qsizetype PhotoListRequests(const QByteArray& album, int page) const
    {
        qsizetype n = 0;
        for (const FakeRequest& request : service.RequestsFor(Photo56Fake::kHost, "/album/"))
            n += request.query() == "do=Plist&did=" + album + "&page=" + QByteArray::number(page);
        return n;
    }
};
} // namespace

TEST_F(Photo56Test, ListsTheAlbumWindowOfEveryIndexPage)
{
    ASSERT_TRUE(GetAlbums(SK_56, u"http://photo.56.com/album/dave?from=home"_s));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"dave/"_s);
    // The item without a title is skipped, and so is the box after the list's end.
    EXPECT_EQ(AlbumNames(), (QStringList{u"旅行(上)"_s, u"家"_s, u"夜景"_s}));
    const ST_PERLISTRECORD trip = core.m_pAlbumList->At(0);
    EXPECT_EQ(trip.strAlbumId, u"501"_s);
    EXPECT_EQ(trip.strCoverUrl, u"http://img.56.com/album/cover/501.jpg"_s);
    EXPECT_EQ(trip.nPicCount, 4); // not the "(上)" of its title
    EXPECT_EQ(trip.nPrivacy, 0);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 0); // no count given
    EXPECT_EQ(core.m_pAlbumList->At(2).strAlbumId, u"503"_s);
    EXPECT_EQ(core.m_pAlbumList->At(2).nPicCount, 1);
    // Page 1's single-quoted next link counts for the index; page 2 has a disabled one.
    EXPECT_EQ(service.RequestsFor(Photo56Fake::kHost, "/album/index.php").size(), 2);
}

TEST_F(Photo56Test, IndexEndsWhenTheServiceRepeatsAPage)
{
    service.Route(Photo56Fake::kHost, "/album/index.php", Photo56Fake::Page("dave-index-1.html"));
    ASSERT_TRUE(GetAlbums(SK_56, u"http://photo.56.com/album/erin"_s));
    EXPECT_EQ(core.m_pAlbumList->Count(), 2);
    EXPECT_EQ(service.RequestsFor(Photo56Fake::kHost, "/album/index.php").size(), 2);
}

TEST_F(Photo56Test, PhotoPagesFollowOnlyTheQuotedNextLinkAndKeepTheirPageAsReferer)
{
    ASSERT_TRUE(GetAlbums(SK_56, u"http://photo.56.com/album/dave"_s));
    service.ClearRequests();
    ASSERT_TRUE(Download({0, 2}));

    const QString trip = u"dave/旅行(上)/"_s;
    EXPECT_EQ(SavedBytes(trip + u"第一天 海边.jpg"_s), FakePicture(1));  // markup removed
    EXPECT_EQ(SavedBytes(trip + u"旅行(上).jpg"_s), FakePicture(2));     // a label of markup only
    EXPECT_EQ(SavedBytes(trip + u"旅行(上) (1).jpg"_s), FakePicture(3)); // a label of blanks
    EXPECT_EQ(SavedBytes(trip + u"最后一张.jpg"_s), FakePicture(4));
    EXPECT_EQ(QDir(SavedFile(trip)).entryList(QDir::Files).size(), 4); // the box without a picture
    // Page 2's next link is single-quoted, which an index page would follow: no page 3.
    EXPECT_EQ(PhotoListRequests("501", 2), 1);
    EXPECT_EQ(PhotoListRequests("501", 3), 0);

    const QString pageOne = u"http://photo.56.com/album/?do=Plist&did=501&page=1"_s;
    const QString pageTwo = u"http://photo.56.com/album/?do=Plist&did=501&page=2"_s;
    int pictures = 0;
    for (const FakeRequest& request : service.Requests()) {
        if (request.host != Photo56Fake::kPictureHost || !request.path().startsWith("/photo/501/")) continue;
        const QString expected = request.path().endsWith("7004.jpg") ? pageTwo : pageOne;
        EXPECT_EQ(request.header("Referer").toStdString(), expected.toStdString()) << request.target.constData();
        ++pictures;
    }
    EXPECT_EQ(pictures, 4);

    // Album 503 answers its only page for every page number; the repeat ends the walk.
    EXPECT_EQ(SavedBytes(u"dave/夜景/外滩.jpg"_s), FakePicture(31));
    EXPECT_EQ(PhotoListRequests("503", 2), 1);
    EXPECT_EQ(PhotoListRequests("503", 3), 0);
}

TEST_F(Photo56Test, StopRequestsEndBothListers)
{
    StopListing();
    QString address = u"http://photo.56.com/album/index.php?user=dave"_s;
    ListAlbumsOf(SK_56, kNoVariant, address);
    EXPECT_EQ(core.m_pAlbumList->Count(), 1);

    StopDownload();
    ListPhotosOf(SK_56, kNoVariant, 0);
    EXPECT_EQ(Pictures().Count(), 1);
}
