#include "sources/PconlineRoutes.h"
#include "sources/Registry.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
class PconlineTest : public AdapterTest {
protected:
    PconlineTest() { PconlineFake::Serve(service); }

    QList<QByteArray> ListPageTargets() const
    {
        QList<QByteArray> targets;
        for (const FakeRequest& request : service.Requests())
            if (request.host == PconlineFake::kPhotoHost) targets << request.target;
        return targets;
    }
};
} // namespace

TEST_F(PconlineTest, ATypedPageThreeListsFromPageOneToTheLast)
{
    ASSERT_TRUE(GetAlbums(SK_PCONLINE, u"http://dp.pconline.com.cn/someone/myphoto_p3_n15.html"_s));
    EXPECT_EQ(ListPageTargets(), (QList<QByteArray>{"/someone/myphoto_p1_n15.html", "/someone/myphoto_p2_n15.html",
                                                    "/someone/myphoto_p3_n15.html"}));
    EXPECT_EQ(AlbumNames(), (QStringList{u"春游"_s, u"夜景"_s, u"花卉"_s, u"人像"_s}));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"小王的作品/"_s);
    const ST_PERLISTRECORD spring = core.m_pAlbumList->At(0);
    EXPECT_EQ(spring.strAlbumId, u"http://dp.pconline.com.cn/photo/list_3001.html"_s);
    EXPECT_EQ(spring.strCoverUrl, u"http://img.pconline.com.cn/images/upload/upc/tx/photoblog/cover3001.jpg"_s);
    EXPECT_EQ(spring.nPicCount, -1);
    EXPECT_EQ(spring.nPrivacy, 0);

    // The member's address, and the first list page's address without a page marker, give the
    // same list.
    for (const QString& typed :
         {u"http://dp.pconline.com.cn/someone/"_s, u"http://dp.pconline.com.cn/someone/myphoto.html"_s}) {
        service.ClearRequests();
        ASSERT_TRUE(GetAlbums(SK_PCONLINE, typed));
        EXPECT_EQ(ListPageTargets().size(), 3) << typed.toStdString();
        EXPECT_EQ(core.m_pAlbumList->Count(), 4) << typed.toStdString();
    }
}

TEST_F(PconlineTest, OwnerNameFallsBackToTheAddress)
{
    service.Route(PconlineFake::kPhotoHost, "/nobody/myphoto_p1_n15.html", PconlineFake::Fixture("nobody.html"));
    ASSERT_TRUE(GetAlbums(SK_PCONLINE, u"http://dp.pconline.com.cn/nobody/"_s));
    EXPECT_EQ(AlbumNames(), QStringList{u"随手拍"_s});
    EXPECT_EQ(core.Listing().m_strOwnerName, u"nobody/"_s);
}

TEST_F(PconlineTest, ListingEndsWhenTheServiceRepeatsItself)
{
    // An address whose "_p" carries no page number is asked for again and again: the second
    // identical answer ends the listing.
    service.Route(PconlineFake::kPhotoHost, "/loop_p/myphoto.html", PconlineFake::Fixture("someone-p1.html"));
    ASSERT_TRUE(GetAlbums(SK_PCONLINE, u"http://dp.pconline.com.cn/loop_p/myphoto.html"_s));
    EXPECT_EQ(ListPageTargets().size(), 2);
    EXPECT_EQ(AlbumNames(), (QStringList{u"春游"_s, u"夜景"_s}));

    // Pages that differ but bring only albums already listed end it too.
    service.ClearRequests();
    auto served = std::make_shared<std::atomic<int>>(0);
    service.Route(PconlineFake::kPhotoHost, "/echo/myphoto*", [served](const FakeRequest&) {
        FakeReply reply = PconlineFake::Fixture("someone-p1.html");
        const int n = ++*served;
        reply.body = n > 5 ? QByteArray() : reply.body + "<!-- " + QByteArray::number(n) + " -->";
        return reply;
    });
    ASSERT_TRUE(GetAlbums(SK_PCONLINE, u"http://dp.pconline.com.cn/echo/"_s));
    EXPECT_EQ(ListPageTargets(), (QList<QByteArray>{"/echo/myphoto_p1_n15.html", "/echo/myphoto_p2_n15.html"}));
    EXPECT_EQ(AlbumNames(), (QStringList{u"春游"_s, u"夜景"_s}));
}

TEST_F(PconlineTest, PictureListsEndAtThePictureAreaGzippedOrNot)
{
    ASSERT_TRUE(GetAlbums(SK_PCONLINE, u"http://dp.pconline.com.cn/someone/"_s));
    ASSERT_TRUE(Download({0, 1}));
    const QString owner = u"小王的作品/"_s;
    // Album 3001 comes gzipped: the end mark still cuts the other members' pictures off.
    EXPECT_EQ(SavedBytes(owner + u"春游/春游 (1).jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(owner + u"春游/春游 (2).jpg"_s), FakePicture(2));
    EXPECT_EQ(SavedBytes(owner + u"春游/春游 (3).jpg"_s), FakePicture(3)); // had no thumbnail suffix
    EXPECT_EQ(QDir(SavedFile(owner + u"春游/"_s)).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(SavedBytes(owner + u"夜景/夜景 (1).jpg"_s), FakePicture(4));
    EXPECT_EQ(QDir(SavedFile(owner + u"夜景/"_s)).entryList(QDir::Files).size(), 1);
    for (const FakeRequest& request : service.Requests())
        EXPECT_FALSE(request.target.contains("/other/")) << request.target.constData();
    EXPECT_TRUE(frontEnd.Messages().isEmpty());
}

TEST_F(PconlineTest, StopRequestsEndBothListers)
{
    StopListing();
    QString address = u"http://dp.pconline.com.cn/someone/myphoto_dk1stp_n15.html"_s;
    ListAlbumsOf(SK_PCONLINE, kNoVariant, address);
    EXPECT_EQ(core.m_pAlbumList->Count(), 1);
    EXPECT_EQ(ListPageTargets().size(), 1);

    StopDownload();
    ListPhotosOf(SK_PCONLINE, kNoVariant, 0);
    EXPECT_EQ(Pictures().Count(), 1);
}
