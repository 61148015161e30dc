#include "sources/Netease.h"
#include "sources/Registry.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
class NeteasePpTest : public AdapterTest {
protected:
    NeteasePpTest()
    {
        Serve("carol.pp.163.com", "/", u"netease/pp-carol.html"_s);
        Serve("carol.pp.163.com", "/album/8001/", u"netease/pp-album-8001.html"_s);
        service.Route("carol.pp.163.com", "/album/8002/",
                      FakeReply::File(FixturePath(u"netease/pp-album-8002.html"_s)).Gzipped());
        for (const int id : {70001, 70003, 70101})
            service.Route("img3.pp.126.net", "/carol/" + QByteArray::number(id) + ".jpg",
                          FakeReply::Ok(FakePicture(id % 1000), "image/jpeg"));
    }
};
} // namespace

TEST_F(NeteasePpTest, ListsTheCoverListAndSkipsItemsWithoutALink)
{
    ASSERT_TRUE(GetAlbums(SK_NETEASE, u"http://carol.pp.163.com/"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, 1);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"Carol 卡罗/"_s);
    EXPECT_EQ(AlbumNames(), (QStringList{u"春天"_s, u"秋天"_s}));
    const ST_PERLISTRECORD spring = core.m_pAlbumList->At(0);
    EXPECT_EQ(spring.strAlbumId, u"http://carol.pp.163.com/album/8001/"_s);
    EXPECT_EQ(spring.strCoverUrl, u"http://img1.pp.126.net/carol/cover8001.jpg"_s);
    EXPECT_EQ(spring.nPicCount, 12);
    EXPECT_EQ(spring.nPrivacy, 0);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 2);
    EXPECT_TRUE(spring.strParam1.isEmpty());
}

TEST_F(NeteasePpTest, OwnerWithoutNicknameGetsATimeName)
{
    Serve("nameless.pp.163.com", "/", u"netease/pp-nameless.html"_s);
    ASSERT_TRUE(GetAlbums(SK_NETEASE, u"http://nameless.pp.163.com/"_s));
    EXPECT_EQ(AlbumNames(), QStringList{u"无名"_s});
    EXPECT_TRUE(QRegularExpression(u"^\\d{14}/$"_s).match(core.Listing().m_strOwnerName).hasMatch())
        << core.Listing().m_strOwnerName.toStdString();
}

TEST_F(NeteasePpTest, DownloadReadsOnlyThePictureArray)
{
    ASSERT_TRUE(GetAlbums(SK_NETEASE, u"http://carol.pp.163.com/"_s));
    // The album's first entry has no address: it is left out, so the history mark is the first
    // real picture and the second download asks for no picture at all.
    SetOptions(OPT_SKIP_OLD);
    ASSERT_TRUE(Download());
    EXPECT_EQ(SavedBytes(u"Carol 卡罗/春天/花.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(u"Carol 卡罗/春天/春天.jpg"_s), FakePicture(3)); // album name as description
    EXPECT_EQ(QDir(SavedFile(u"Carol 卡罗/春天/"_s)).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(SavedBytes(u"Carol 卡罗/秋天/落叶.jpg"_s), FakePicture(101)); // page sent gzipped
    for (const FakeRequest& request : service.Requests())
        EXPECT_NE(request.host, QByteArray("img2.pp.126.net")) << request.target.constData();

    service.ClearRequests();
    ASSERT_TRUE(Download());
    EXPECT_EQ(service.RequestsFor("carol.pp.163.com", "/album/8001/").size(), 1);
    for (const FakeRequest& request : service.Requests())
        EXPECT_NE(request.host, QByteArray("img3.pp.126.net")) << request.target.constData();
}

TEST_F(NeteasePpTest, StopRequestsEndBothListers)
{
    StopListing();
    QString address = u"http://carol.pp.163.com/"_s;
    ListNeteasePpAlbums(AlbumRun(), address);
    EXPECT_EQ(core.m_pAlbumList->Count(), 1);

    StopDownload();
    ListNeteasePpPhotos(PhotoRun(), 0);
    EXPECT_EQ(Pictures().Count(), 1);
}
