#include "MyCode/CookieStore.h"
#include "sources/QqGroupRoutes.h"
#include "sources/Tencent.h"
#include "sources/Registry.h"
#include "support/AdapterTest.h"

#include <QDir>

using namespace Qt::StringLiterals;
using QqGroupFake::QueryValue;

namespace {
constexpr char16_t kGroupAddress[] = u"http://qun.qzone.qq.com/group#!/7654321/photo";

class QqGroupTest : public AdapterTest {
protected:
    QqGroupTest() { QqGroupFake::Serve(service); }

    // Cookies of the qq.com domain, in this order.
    static void SetCookies(std::initializer_list<std::pair<QByteArray, QByteArray>> cookies)
    {
        for (const auto& [name, value] : cookies) {
            QNetworkCookie cookie(name, value);
            cookie.setDomain(u".qq.com"_s);
            CCookieStore::Instance().SetCookie(cookie);
        }
    }

    QList<FakeRequest> AlbumListRequests() const
    {
        return service.RequestsFor(QqGroupFake::kListHost, QqGroupFake::kAlbumListPath);
    }
    QList<FakeRequest> PhotoListRequests() const
    {
        return service.RequestsFor(QqGroupFake::kListHost, QqGroupFake::kPhotoListPath);
    }
};
} // namespace

TEST_F(QqGroupTest, ListsTwelveAlbumsAPageWithTheLoginOfTheCookies)
{
    SetCookies({{"pgv_pvid", "1"}, {"guin", "o012345"}, {"skey", "@AbC"}});
    ASSERT_TRUE(GetAlbums(SK_TENCENT, QString::fromUtf16(kGroupAddress)));
    EXPECT_EQ(core.Listing().m_nSubKind, 1);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"7654321/"_s);
    EXPECT_EQ(core.Listing().m_strSourceArg1, u"12345"_s); // one leading zero dropped
    EXPECT_TRUE(frontEnd.Messages().isEmpty());

    // 14 albums listed, the one without a title left out.
    const QStringList names = AlbumNames();
    ASSERT_EQ(names.size(), 13);
    EXPECT_EQ(names.mid(0, 3), (QStringList{u"班级春游"_s, u"毕业照"_s, u"聚会 2013"_s}));
    EXPECT_EQ(names.last(), u"相册14"_s);
    const QString token = QString::number(CalcGTK(u"@AbC"_s));
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strAlbumId, u"qunId=7654321&albumId=V1a01&uin=12345&g_tk="_s + token);
    EXPECT_EQ(first.strCoverUrl, u"http://qungz.photo.store.qq.com/qun/7654321/V1a01/cover/200"_s);
    EXPECT_EQ(first.nPicCount, 17);
    EXPECT_EQ(core.m_pAlbumList->At(12).nPicCount, 14);

    const QList<FakeRequest> pages = AlbumListRequests();
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QueryValue(pages[i], u"start"_s), QString::number(i * 12));
        EXPECT_EQ(QueryValue(pages[i], u"num"_s), u"12"_s);
        EXPECT_EQ(QueryValue(pages[i], u"qunId"_s), u"7654321"_s);
        EXPECT_EQ(QueryValue(pages[i], u"uin"_s), u"12345"_s);
        EXPECT_EQ(QueryValue(pages[i], u"hostUin"_s), u"12345"_s);
        EXPECT_EQ(QueryValue(pages[i], u"g_tk"_s), token);
        EXPECT_EQ(pages[i].header("Accept-Encoding"), QByteArray("gzip, deflate"));
        EXPECT_FALSE(pages[i].hasHeader("Referer"));
    }
}

TEST_F(QqGroupTest, UserNumberKeepsASecondZeroAndAFirstSkeyIsNotFound)
{
    // "skey" is the first cookie of the text: its mark begins with a blank, so it is not found.
    SetCookies({{"skey", "@AbC"}, {"guin", "o0012345"}});
    ASSERT_TRUE(GetAlbums(SK_TENCENT, QString::fromUtf16(kGroupAddress)));
    const QList<FakeRequest> pages = AlbumListRequests();
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_EQ(QueryValue(pages[0], u"uin"_s), u"012345"_s);
    EXPECT_EQ(QueryValue(pages[0], u"g_tk"_s), u"5381"_s);
    EXPECT_TRUE(core.m_pAlbumList->At(0).strAlbumId.endsWith(u"&uin=012345&g_tk=5381"_s));
}

TEST_F(QqGroupTest, NotLoggedInEndsTheListingWithTheLoginMessage)
{
    ASSERT_TRUE(GetAlbums(SK_TENCENT, QString::fromUtf16(kGroupAddress)));
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
    EXPECT_EQ(AlbumListRequests().size(), 1);
    ASSERT_EQ(frontEnd.Messages().size(), 1);
    EXPECT_TRUE(frontEnd.Messages()[0].contains(u"登录菜单"_s));

    // The login complaint wins over whatever album the same answer still carries.
    service.Route(QqGroupFake::kListHost, QqGroupFake::kAlbumListPath,
                  FakeReply::Ok(R"(_Callback({"message":"对不起，您尚未登录或者登录超时。","data":{"album":[)"
                                R"({"coverurl" : "http:\/\/qungz.photo.store.qq.com\/c\/200","id" : "V1a01",)"
                                R"("photocnt" : 3,"title" : "过期的相册"}]}});)"));
    ASSERT_TRUE(GetAlbums(SK_TENCENT, QString::fromUtf16(kGroupAddress)));
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
}

TEST_F(QqGroupTest, AServiceThatIgnoresTheStartEndsTheListing)
{
    SetCookies({{"pgv_pvid", "1"}, {"guin", "o012345"}});
    service.Route(QqGroupFake::kListHost, QqGroupFake::kAlbumListPath,
                  FakeReply::File(FixturePath(u"qqgroup/albums-0.jsonp"_s)));
    service.Route(QqGroupFake::kListHost, QqGroupFake::kPhotoListPath,
                  FakeReply::File(FixturePath(u"qqgroup/photos-0.jsonp"_s)));
    ASSERT_TRUE(GetAlbums(SK_TENCENT, QString::fromUtf16(kGroupAddress)));
    EXPECT_EQ(AlbumListRequests().size(), 2);
    EXPECT_EQ(core.m_pAlbumList->Count(), 11);

    ASSERT_TRUE(Download({0}));
    EXPECT_EQ(PhotoListRequests().size(), 2);
    EXPECT_EQ(QDir(SavedFile(u"7654321/班级春游/"_s)).entryList(QDir::Files).size(), 14);
}

TEST_F(QqGroupTest, DownloadsTheLargeVariantsFifteenAPage)
{
    SetCookies({{"pgv_pvid", "1"}, {"guin", "o012345"}});
    ASSERT_TRUE(GetAlbums(SK_TENCENT, QString::fromUtf16(kGroupAddress)));
    ASSERT_TRUE(Download({0}));

    const QList<FakeRequest> pages = PhotoListRequests();
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QueryValue(pages[i], u"start"_s), QString::number(i * 15));
        EXPECT_EQ(QueryValue(pages[i], u"num"_s), u"15"_s);
        EXPECT_EQ(QueryValue(pages[i], u"albumId"_s), u"V1a01"_s);
        EXPECT_EQ(QueryValue(pages[i], u"qunId"_s), u"7654321"_s);
        EXPECT_EQ(QueryValue(pages[i], u"uin"_s), u"12345"_s);
        EXPECT_FALSE(QueryValue(pages[i], u"t"_s).isEmpty());
    }

    // "/200" becomes "/800"; "/200?" before a query becomes "/800?".
    const QList<FakeRequest> first = service.RequestsFor(QqGroupFake::kPictureHost, "/qun/7654321/V1a01/p01/800");
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first[0].query(), QByteArray());
    const QList<FakeRequest> second = service.RequestsFor(QqGroupFake::kPictureHost, "/qun/7654321/V1a01/p02/800");
    ASSERT_EQ(second.size(), 1);
    EXPECT_EQ(second[0].query(), QByteArray("w=2/800"));

    // Picture 5 has no address and is left out.
    const QString album = u"7654321/班级春游/"_s;
    EXPECT_EQ(QDir(SavedFile(album)).entryList(QDir::Files).size(), 16);
    for (int n : {1, 2, 15, 16, 17})
        EXPECT_EQ(SavedBytes(album + u"照片%1.jpg"_s.arg(n, 2, 10, QChar(u'0'))), FakePicture(n)) << n;
    EXPECT_FALSE(QFile::exists(SavedFile(album + u"没有地址.jpg"_s)));
}
