#include "sources/Registry.h"
#include "sources/TencentWeiboRoutes.h"
#include "support/AdapterTest.h"

#include <QDir>

using namespace Qt::StringLiterals;
using TencentWeiboFake::QueryValue;

namespace {
constexpr char16_t kOwnerAddress[] = u"http://t.qq.com/someone";

class TencentWeiboTest : public AdapterTest {
protected:
    TencentWeiboTest() { TencentWeiboFake::Serve(service); }

    QList<FakeRequest> ListRequests(const QString& op) const
    {
        QList<FakeRequest> matching;
        for (const FakeRequest& request : service.RequestsFor(TencentWeiboFake::kApiHost, TencentWeiboFake::kListPath))
            if (QueryValue(request, u"op"_s) == op) matching << request;
        return matching;
    }
};

bool IsDecimal(const QString& text)
{
    bool ok = false;
    text.toULongLong(&ok);
    return ok;
}
} // namespace

TEST_F(TencentWeiboTest, ListsTopicAndTypeAlbumsOfTheGuestsId)
{
    ASSERT_TRUE(GetAlbums(SK_TENCENT, QString::fromUtf16(kOwnerAddress)));
    EXPECT_EQ(core.Listing().m_nSubKind, 2);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"someone/"_s);
    EXPECT_EQ(core.Listing().m_strSourceArg1, u"28374650"_s); // the guest's, not the visitor's
    EXPECT_EQ(core.Listing().m_strSourceArg2, u"someone"_s);
    EXPECT_TRUE(frontEnd.Messages().isEmpty());

    // The entries without a name or without an id are left out.
    EXPECT_EQ(AlbumNames(), (QStringList{u"全部照片"_s, u"我的旅行"_s, u"婚礼"_s}));
    const ST_PERLISTRECORD all = core.m_pAlbumList->At(0);
    EXPECT_EQ(all.strAlbumId, u"all"_s);
    EXPECT_EQ(all.nPicCount, -1);
    EXPECT_EQ(all.strCoverUrl, u"http://t1.qpic.cn/mblogpic/cov0/240"_s);
    const ST_PERLISTRECORD travel = core.m_pAlbumList->At(1);
    EXPECT_EQ(travel.strAlbumId, u"100001"_s);
    EXPECT_EQ(travel.nPicCount, 5);
    EXPECT_EQ(travel.strCoverUrl, u"http://t1.qpic.cn/mblogpic/cov1/240"_s);
    EXPECT_EQ(core.m_pAlbumList->At(2).strCoverUrl, QString()); // no picture, no cover

    const QList<FakeRequest> owner = service.RequestsFor(TencentWeiboFake::kHost, "/app/qzphoto/someone");
    ASSERT_EQ(owner.size(), 1);
    EXPECT_EQ(owner[0].header("Referer"), QByteArray(TencentWeiboFake::kReferer));
    const QList<FakeRequest> pages = ListRequests(u"1"_s);
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QueryValue(pages[i], u"page"_s), QString::number(i + 1));
        EXPECT_TRUE(pages[i].query().contains("&n=12&apiType=14&apiHost=http%3A%2F%2Fapi.t.qq.com&_r=1382084292800&"));
        EXPECT_TRUE(IsDecimal(QueryValue(pages[i], u"g_tk"_s))) << pages[i].query().constData();
        EXPECT_EQ(pages[i].header("Accept-Encoding"), QByteArray("gzip, deflate"));
    }
    // Albums were found, so the name is not also tried as a group.
    EXPECT_TRUE(service.RequestsFor("qun.photo.qq.com", "/cgi-bin/upp/qun_list_album_v2").isEmpty());
}

TEST_F(TencentWeiboTest, DownloadsPostsWithTheContinuationOfTheLastPost)
{
    ASSERT_TRUE(GetAlbums(SK_TENCENT, QString::fromUtf16(kOwnerAddress)));
    ASSERT_TRUE(Download({1}));

    const QList<FakeRequest> pages = ListRequests(u"2"_s);
    ASSERT_EQ(pages.size(), 3);
    for (const FakeRequest& page : pages) {
        EXPECT_EQ(QueryValue(page, u"topicid"_s), u"100001"_s);
        EXPECT_EQ(QueryValue(page, u"uin"_s), u"28374650"_s);
        EXPECT_TRUE(page.query().contains("&n=24&topicid=100001&apiType=14&apiHost=http%3A%2F%2Fapi.t.qq.com"
                                          "&_r=1382325110273&g_tk=6180342"));
        EXPECT_EQ(page.header("Referer"), QByteArray(TencentWeiboFake::kReferer));
    }
    EXPECT_FALSE(pages[0].query().contains("time="));
    // From page 2 on: the last post of the page before.
    EXPECT_EQ(QueryValue(pages[1], u"time"_s), u"1382000005"_s);
    EXPECT_EQ(QueryValue(pages[1], u"u"_s), u"someone"_s);
    EXPECT_TRUE(IsDecimal(QueryValue(pages[1], u"r"_s)));
    EXPECT_EQ(QueryValue(pages[2], u"time"_s), u"1382000006"_s);

    // Tags stripped; an empty text takes the forwarded post's text, then the album's name; the
    // post without a picture is left out.
    const QString album = u"someone/我的旅行/"_s;
    EXPECT_EQ(SavedBytes(album + u"海边 日落.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(album + u"转发的话.jpg"_s), FakePicture(2));
    EXPECT_EQ(SavedBytes(album + u"我的旅行.jpg"_s), FakePicture(3));
    EXPECT_EQ(SavedBytes(album + u"最后一张.jpg"_s), FakePicture(5));
    EXPECT_EQ(SavedBytes(album + u"第二页.jpg"_s), FakePicture(6));
    EXPECT_EQ(QDir(SavedFile(album)).entryList(QDir::Files).size(), 5);
    EXPECT_TRUE(service.RequestsFor(TencentWeiboFake::kPictureHost, "/mblogpic/p304/2000").isEmpty());
}

TEST_F(TencentWeiboTest, AServiceThatIgnoresThePageEndsBothListings)
{
    service.Route(TencentWeiboFake::kApiHost, TencentWeiboFake::kListPath, [](const FakeRequest& request) {
        return TencentWeiboFake::Fixture(QueryValue(request, u"op"_s) == u"1" ? u"albums-1.json"_s
                                                                              : u"photos-1.json"_s);
    });
    ASSERT_TRUE(GetAlbums(SK_TENCENT, QString::fromUtf16(kOwnerAddress)));
    EXPECT_EQ(ListRequests(u"1"_s).size(), 2);
    EXPECT_EQ(core.m_pAlbumList->Count(), 2);
    ASSERT_TRUE(Download({1}));
    EXPECT_EQ(ListRequests(u"2"_s).size(), 2);
    EXPECT_EQ(QDir(SavedFile(u"someone/我的旅行/"_s)).entryList(QDir::Files).size(), 4);
}

TEST_F(TencentWeiboTest, AnOwnerPageWithoutTheGuestIsTriedAsAGroup)
{
    service.Route(TencentWeiboFake::kHost, "/app/qzphoto/someone?preview",
                  FakeReply::Ok("<html><script>MI.App.visitor = {\"uin\":\"99999999\"};</script></html>"));
    ASSERT_TRUE(GetAlbums(SK_TENCENT, u"http://t.qq.com/app/qzphoto/someone?preview"_s));
    EXPECT_TRUE(ListRequests(u"1"_s).isEmpty());
    const QList<FakeRequest> group = service.RequestsFor("qun.photo.qq.com", "/cgi-bin/upp/qun_list_album_v2");
    ASSERT_EQ(group.size(), 1);
    EXPECT_EQ(QueryValue(group[0], u"qunId"_s), u"someone"_s);
    EXPECT_EQ(core.Listing().m_nSubKind, 1);
    ASSERT_EQ(frontEnd.Messages().size(), 1);
    EXPECT_TRUE(frontEnd.Messages()[0].contains(u"腾讯微博"_s));
}
