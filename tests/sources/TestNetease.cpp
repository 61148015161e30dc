#include "sources/Netease.h"
#include "sources/NeteaseRoutes.h"
#include "sources/Registry.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace NeteaseFake;

namespace {
const QString kVerifyQuestion = u"为非公开相册,是否进行验证？\n\n验证成功后请手动关闭验证框"_s;
const QByteArray kCallHead = "callCount=1&scriptSessionId=%24%7BscriptSessionId%7D187&c0-scriptName=AlbumBean"
                             "&c0-methodName=getAlbumData&c0-id=0&c0-param0=";

class NeteaseTest : public AdapterTest {
protected:
    NeteaseTest() { ServeAlice(service); }

    void ListAlice() { ASSERT_TRUE(GetAlbums(SK_NETEASE, u"http://photo.163.com/alice/"_s)); }

    // The photo lister alone, as the download driver calls it for one album.
    void ListPhotos(int album)
    {
        ListNeteasePhotos(PhotoRun(), album);
    }

    QList<FakeRequest> AlbumDataCalls() const { return service.RequestsFor(kAlbumHost, kAlbumDataPath); }
};
} // namespace

TEST(NeteaseAddresses, ImageHostFollowsServerNumberAndPhotoPath)
{
    EXPECT_EQ(NeteaseImageAddress(u"3/photo/Zq8Ab==/1.jpg"_s), u"http://img3.bimg.126.net/photo/Zq8Ab==/1.jpg"_s);
    EXPECT_EQ(NeteaseImageAddress(u"12/Zq8Ab==/1.jpg"_s), u"http://img12.ph.126.net/Zq8Ab==/1.jpg"_s);
    EXPECT_EQ(NeteaseImageAddress(u"/Zq8Ab==/1.jpg"_s), u"http://img.ph.126.net/Zq8Ab==/1.jpg"_s);
    // A leading "/" names no server, yet "/photo/" still picks family A.
    EXPECT_EQ(NeteaseImageAddress(u"/photo/x/1.jpg"_s), u"http://img.bimg.126.net/photo/x/1.jpg"_s);
    EXPECT_EQ(NeteaseImageAddress(QString()), QString());
}

TEST_F(NeteaseTest, ListsAlbumsWithScriptsAccessCodesAndPlaceholders)
{
    ListAlice();
    EXPECT_EQ(AlbumNames(),
              (QStringList{u"夏天的海"_s, u"空的"_s, u"问答相册"_s, u"密码相册"_s, u"好友相册"_s, u"私密相册"_s}));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"alice/"_s); // photo163HostName wins over hostName
    EXPECT_EQ(core.Listing().m_nSubKind, -1);

    // A script address in the list: no call, privacy 0 whatever the access code (16 here).
    const ST_PERLISTRECORD withScript = core.m_pAlbumList->At(0);
    EXPECT_EQ(withScript.strAlbumId, u"s2.ph.126.net/photo/alice/photos-101.js"_s);
    EXPECT_EQ(withScript.strParam1, u"101"_s);
    EXPECT_EQ(withScript.strParam2, u"海边\r\n第二行"_s);
    EXPECT_EQ(withScript.strCoverUrl, u"http://img3.bimg.126.net/photo/Zq8Ab==/cover101.jpg"_s);
    EXPECT_EQ(withScript.nPicCount, 3);
    EXPECT_EQ(withScript.nPrivacy, 0);

    // Count 0 shows the empty-album picture although the entry has a cover.
    EXPECT_EQ(core.m_pAlbumList->At(1).strCoverUrl, u"http://st.ph.126.net/image/default/none160.gif"_s);
    EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 0);

    // Access code 8: a question album, kept by its id without a call.
    const ST_PERLISTRECORD question = core.m_pAlbumList->At(2);
    EXPECT_EQ(question.strAlbumId, u"103"_s);
    EXPECT_EQ(question.nPrivacy, PRIVACY_PASSWORD);
    EXPECT_EQ(question.strCoverUrl, u"http://st.ph.126.net/image/default/fwxqa.gif"_s);

    // Code 16: the lock picture replaces a cover; the call names no script, so the id stays.
    const ST_PERLISTRECORD locked = core.m_pAlbumList->At(3);
    EXPECT_EQ(locked.strAlbumId, u"104"_s);
    EXPECT_EQ(locked.nPrivacy, PRIVACY_PASSWORD);
    EXPECT_EQ(locked.strCoverUrl, u"http://st.ph.126.net/photo/image/default/fwxmm.gif"_s);

    // Code 4 (with blanks) and an empty cover; the call's answer is read as UTF-8.
    const ST_PERLISTRECORD friends = core.m_pAlbumList->At(4);
    EXPECT_EQ(friends.nPrivacy, PRIVACY_FRIENDS);
    EXPECT_EQ(friends.strCoverUrl, u"http://st.ph.126.net/image/default/fwxhy.gif"_s);
    EXPECT_EQ(friends.strAlbumId, u"s2.ph.126.net/photo/alice/相册-105.js"_s);

    // Code 2 keeps its cover. Album 106, whose call answered nothing, is dropped.
    const ST_PERLISTRECORD privateAlbum = core.m_pAlbumList->At(5);
    EXPECT_EQ(privateAlbum.nPrivacy, PRIVACY_PRIVATE);
    EXPECT_EQ(privateAlbum.strCoverUrl, u"http://img.ph.126.net/Pr7==/cover107.jpg"_s);
    EXPECT_EQ(privateAlbum.strAlbumId, u"s2.ph.126.net/photo/alice/photos-107.js"_s);

    const QList<FakeRequest> calls = AlbumDataCalls();
    ASSERT_EQ(calls.size(), 4); // 104, 105, 106, 107
    EXPECT_EQ(calls[1].query(), kCallHead + "number%3A105&c0-param1=string%3A&c0-param2=string%3A"
                                            "&c0-param3=number%3A24881696&c0-param4=boolean%3Afalse&batchId=530377");
    for (const FakeRequest& call : calls)
        EXPECT_EQ(call.header("Accept-Encoding"), QByteArray("gzip, deflate"));
}

TEST_F(NeteaseTest, OwnerNameFallbackAndAlbumHomes)
{
    ServeFixture(service, "bob.blog.163.com", "/", "owner-bob.html");
    ServeFixture(service, "pp.163.com", "/bob/", "owner-bob.html");
    ServeFixture(service, kAlbumHost, "/bob", "home-bob.html");
    ServeFixture(service, "bob.pp.163.com", "/album/", "home-bob.html");
    ServeFixture(service, kScriptHost, "/photo/bob/albums.js", "albums-bob.js");

    // The typed page names only "hostName" and no list script: the album home names it.
    ASSERT_TRUE(GetAlbums(SK_NETEASE, u"http://bob.blog.163.com/"_s));
    EXPECT_EQ(AlbumNames(), QStringList{u"鲍勃的相册"_s});
    EXPECT_EQ(core.Listing().m_strOwnerName, u"bob/"_s);
    EXPECT_EQ(service.RequestsFor(kAlbumHost, "/bob").size(), 1);

    // The PP fragment in the typed address sends the home request to the owner's PP host.
    service.ClearRequests();
    ASSERT_TRUE(GetAlbums(SK_NETEASE, u"http://pp.163.com/bob/"_s));
    EXPECT_EQ(core.Listing().m_nSubKind, -1);
    EXPECT_EQ(AlbumNames(), QStringList{u"鲍勃的相册"_s});
    EXPECT_EQ(service.RequestsFor("bob.pp.163.com", "/album/").size(), 1);
    EXPECT_TRUE(service.RequestsFor(kAlbumHost, "/bob").isEmpty());
}

TEST_F(NeteaseTest, PageWithoutOwnerNameIsExplainedAndNothingElseIsAsked)
{
    ServeFixture(service, "www.163.com", "/", "not-an-album.html");
    GetAlbums(SK_NETEASE, u"http://www.163.com/"_s);
    EXPECT_EQ(frontEnd.Messages(), QStringList{u"输入网址有误，应该输入相册网址或首页网址"_s});
    EXPECT_EQ(service.RequestCount(), 1);
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
}

TEST_F(NeteaseTest, StopRequestsEndBothListers)
{
    StopListing();
    QString address = u"http://photo.163.com/alice/"_s;
    ListNeteaseAlbums(AlbumRun(), address);
    EXPECT_EQ(core.m_pAlbumList->Count(), 1);

    StopDownload();
    ListNeteasePhotos(PhotoRun(), 0);
    EXPECT_EQ(Pictures().Count(), 1);
}

TEST_F(NeteaseTest, DownloadTakesFullMediumAndSmallAddressesAndGoesOnAfterNo)
{
    ListAlice();
    frontEnd.QueueAnswer(false); // the question album, downloaded first
    ASSERT_TRUE(Download({2, 0}));
    EXPECT_EQ(frontEnd.Questions(), QStringList{kVerifyQuestion});
    EXPECT_TRUE(frontEnd.LoginPages().isEmpty());
    EXPECT_FALSE(QFile::exists(SavedFile(u"alice/问答相册"_s)));

    const QString album = u"alice/夏天的海/"_s;
    EXPECT_EQ(SavedBytes(album + u"海浪.jpg"_s), FakePicture(1));       // full size
    EXPECT_EQ(SavedBytes(album + u"夏天的海.jpg"_s), FakePicture(2));   // medium, album name as description
    EXPECT_EQ(SavedBytes(album + u"小图.jpg"_s), FakePicture(3));       // small, server-less family B
    EXPECT_EQ(QDir(SavedFile(album)).entryList(QDir::Files).size(), 3); // the entry without an address is skipped
    EXPECT_EQ(frontEnd.Status(StatusLine::Phase), u"下载完毕"_s);
}

TEST_F(NeteaseTest, ShortScriptIsAskedAgainWithTheTextForm)
{
    ListAlice();
    ListPhotos(1);
    EXPECT_EQ(Pictures().m_arrUrls, QStringList{u"http://img12.bimg.126.net/photo/Yp3cQ==/9201.jpg"_s});
    const QList<FakeRequest> calls = AlbumDataCalls();
    ASSERT_EQ(calls.size(), 5);
    EXPECT_EQ(calls.back().query(), kCallHead + "string%3A102&c0-param1=string%3A&c0-param2=string%3A"
                                                "&c0-param3=number%3A24881696&c0-param4=boolean%3Afalse"
                                                "&batchId=530377");
    EXPECT_EQ(service.RequestsFor(kScriptHost, "/photo/alice/photos-102-full.js").size(), 1);
}

TEST_F(NeteaseTest, QuestionAlbumIsVerifiedInTheLoginBrowser)
{
    ListAlice();
    service.ClearRequests();
    frontEnd.QueueAnswer(false);
    ListPhotos(2);
    EXPECT_EQ(Pictures().Count(), 0);
    EXPECT_EQ(service.RequestCount(), 0);

    frontEnd.QueueAnswer(true);
    ListPhotos(2);
    EXPECT_EQ(frontEnd.Questions(), (QStringList{kVerifyQuestion, kVerifyQuestion}));
    // The owner as the service spells it, not the owner folder name.
    EXPECT_EQ(frontEnd.LoginPages(), QStringList{u"http://photo.163.com/alice/list/#aid=103&m=1&p=1"_s});
    const QList<FakeRequest> calls = AlbumDataCalls();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].query(), kCallHead + "number%3A103&c0-param1=string%3A&c0-param2=string%3Afromblog"
                                            "&c0-param3=string%3A24881696&c0-param4=boolean%3Afalse&batchId=530377");
    EXPECT_EQ(Pictures().m_arrUrls,
              (QStringList{u"http://img.ph.126.net/Qa==/9301.jpg"_s, u"http://img.ph.126.net/Qa==/9302.jpg"_s}));
}

TEST_F(NeteaseTest, AlbumWithoutAnyAddressIsExplained)
{
    ST_PERLISTRECORD album;
    album.strName = u"无地址"_s;
    core.m_pAlbumList->Append(album);
    ListPhotos(0);
    EXPECT_EQ(frontEnd.Messages(),
              QStringList{u"该相册为非公开,如果该相册为私密相册,登录帐号后重新获取相册列表可下载"_s});
    EXPECT_TRUE(frontEnd.Questions().isEmpty());
    EXPECT_EQ(service.RequestCount(), 0);
}
