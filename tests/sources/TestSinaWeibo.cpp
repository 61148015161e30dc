#include "sources/Sina.h"
#include "MyCode/CookieStore.h"
#include "sources/AdapterKit.h"
#include "sources/Registry.h"
#include "support/CliTest.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrlQuery>

#include <functional>

using namespace Qt::StringLiterals;

namespace {
constexpr char kPhotoHost[] = "photo.weibo.com";
const QString kHome = u"http://weibo.com/u/1234567890"_s;
const QString kNoAlbumMessage = u"没有获取到相册，请在登录菜单里登录新浪(微博)帐号后重试,登录时勾上下次自动登录"_s;
// The photo list of the 33-photo album, without its page number.
constexpr char kFirstAlbumTarget[] = "/photos/get_all?uid=1234567890&album_id=3558776954281134&count=32&type=3&page=";
const QString kFirstAlbumList = u"http://photo.weibo.com"_s + QLatin1StringView(kFirstAlbumTarget);

QByteArray FixtureBytes(const QString& name)
{
    QFile file(FixturePath(u"sinaweibo/"_s + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString QueryValue(const FakeRequest& request, const QString& key)
{
    return QUrlQuery(QString::fromLatin1(request.query())).queryItemValue(key);
}

// The photo interface: the 33-photo album over two pages, the profile-picture album, and an
// empty list for every other album.
FakeReply PhotoPage(const FakeRequest& request)
{
    const QString album = QueryValue(request, u"album_id"_s);
    QString fixture = u"photos-none.json"_s;
    if (album == u"3558776954281134"_s)
        fixture = QueryValue(request, u"page"_s) == u"1"_s ? u"photos-p1.json"_s : u"photos-p2.json"_s;
    else if (album == u"3558776954281135"_s)
        fixture = u"photos-avatar.json"_s;
    return FakeReply::Ok(FixtureBytes(fixture), "application/json; charset=utf-8");
}

struct PictureRoute {
    const char* host;
    const char* target;
};
// Where the fixture photos live, in the order of their fake bytes' seeds 1 to 6.
constexpr PictureRoute kPictures[] = {
    {"ww1.sinaimg.cn", "/large/a1.jpg"},          {"ww2.sinaimg.cn", "/large/b2.jpg"},
    {"ww3.sinaimg.cn", "/large/c3.jpg"},          {"tp1.sinaimg.cn", "/1234567890/180/d4.jpg"},
    {"tp2.sinaimg.cn", "/1234567890/180/e5.jpg"}, {"ww4.sinaimg.cn", "/large/f6.jpg"},
};

void ServeWeibo(FakeService& service)
{
    service.Route("weibo.com", "/u/1234567890", FakeReply::Ok(FixtureBytes(u"home-spaced.html"_s)));
    service.Route(kPhotoHost, "/albums/get_all",
                  FakeReply::Ok(FixtureBytes(u"albums.json"_s), "application/json; charset=utf-8"));
    service.Route(kPhotoHost, "/photos/get_all", PhotoPage);
    for (int i = 0; i < 6; ++i)
        service.Route(kPictures[i].host, kPictures[i].target, FakeReply::Ok(FakePicture(i + 1), "image/jpeg"));
}

// The diagnostic copy the adapter leaves: a UTF-16LE byte-order mark and the text.
QByteArray DumpedBytes(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar unit : text)
        bytes.append(char(unit.unicode() & 0xFF)).append(char(unit.unicode() >> 8));
    return bytes;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SinaWeiboTest : public AdapterTest {
protected:
    SinaWeiboTest() { ServeWeibo(service); }

    // Lists one album's pictures as the download driver does, without fetching them.
    QStringList ListPhotos(int album)
    {
        ListSinaWeiboPhotos(PhotoRun(), album);
        return Pictures().m_arrUrls;
    }
    QStringList PageRequests() const
    {
        QStringList pages;
        for (const FakeRequest& request : service.RequestsFor(kPhotoHost, "/photos/get_all"))
            pages << QueryValue(request, u"album_id"_s).right(2) + u':' + QueryValue(request, u"page"_s);
        return pages;
    }
};
} // namespace

TEST_F(SinaWeiboTest, ListsTheAlbumsOfTheOwnerNamedOnTheHomePage)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, kHome));
    EXPECT_EQ(core.Listing().m_nSubKind, 2);
    EXPECT_EQ(core.Listing().m_strSourceArg1, u"1234567890"_s);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"小明 Ming/"_s);
    // The piece without an album id is skipped; the escaped captions are decoded.
    EXPECT_EQ(AlbumNames(), (QStringList{u"微博配图"_s, u"头像相册"_s, u"未知"_s, u"Cover first"_s}));
    const ST_PERLISTRECORD first = core.m_pAlbumList->At(0);
    EXPECT_EQ(first.strAlbumId, kFirstAlbumList);
    EXPECT_EQ(first.strCoverUrl, u"http://ww1.sinaimg.cn/thumb300/cover1.jpg"_s);
    EXPECT_EQ(first.nPicCount, 33);
    EXPECT_EQ(first.nPrivacy, 0);
    EXPECT_TRUE(core.m_pAlbumList->At(1).strAlbumId.contains(u"&type=18&page="_s));
    EXPECT_EQ(core.m_pAlbumList->At(1).nPicCount, 0);
    EXPECT_EQ(core.m_pAlbumList->At(2).nPicCount, -1);
    // A cover written before the type and caption is passed by the walk through the piece.
    EXPECT_EQ(core.m_pAlbumList->At(3).strCoverUrl, QString());
    EXPECT_EQ(core.m_pAlbumList->At(3).nPicCount, 4);
    EXPECT_TRUE(frontEnd.Messages().isEmpty());
    EXPECT_EQ(frontEnd.Status(StatusLine::AlbumFrame), u"相册列表(共4个)"_s);

    const QList<FakeRequest> home = service.RequestsFor("weibo.com", "/u/1234567890");
    ASSERT_EQ(home.size(), 1);
    EXPECT_EQ(home[0].header("Accept-Encoding"), QByteArray("gzip, deflate"));
    const QList<FakeRequest> list = service.RequestsFor(kPhotoHost, "/albums/get_all");
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].query(), QByteArray("uid=1234567890&count=65535"));
    // The home page as read is left in the application folder.
    EXPECT_EQ(FileBytes(appDir.file(u"1.tmp"_s)), DumpedBytes(QString::fromUtf8(FixtureBytes(u"home-spaced.html"_s))));
}

TEST_F(SinaWeiboTest, CompactScriptAndEmbeddedJsonAlsoNameTheOwner)
{
    service.Route("weibo.com", "/compact", FakeReply::Ok(FixtureBytes(u"home-compact.html"_s)));
    ASSERT_TRUE(GetAlbums(SK_SINA, u"http://weibo.com/compact"_s));
    EXPECT_EQ(core.Listing().m_strSourceArg1, u"2233445566"_s);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"紧凑/"_s);

    service.Route("weibo.com", "/json", FakeReply::Ok(FixtureBytes(u"home-json.html"_s)));
    ASSERT_TRUE(GetAlbums(SK_SINA, u"http://weibo.com/json"_s));
    EXPECT_EQ(core.Listing().m_strSourceArg1, u"3344556677"_s);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"Json Owner/"_s);

    const QList<FakeRequest> lists = service.RequestsFor(kPhotoHost, "/albums/get_all");
    ASSERT_EQ(lists.size(), 2);
    EXPECT_EQ(QueryValue(lists[0], u"uid"_s), u"2233445566"_s);
    EXPECT_EQ(QueryValue(lists[1], u"uid"_s), u"3344556677"_s);
}

TEST_F(SinaWeiboTest, PagesWithoutOwnerOrAnswerListNothingAndTheDriverExplains)
{
    // No owner on the page: the album list is not asked for; the name falls back to a time stamp.
    service.Route("weibo.com", "/anonymous", FakeReply::Ok(FixtureBytes(u"home-anonymous.html"_s)));
    GetAlbums(SK_SINA, u"http://weibo.com/anonymous"_s);
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
    EXPECT_TRUE(QRegularExpression(u"^\\d{14}/$"_s).match(core.Listing().m_strOwnerName).hasMatch())
        << core.Listing().m_strOwnerName.toStdString();
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/albums/get_all").isEmpty());

    // An empty home page and a home page cut short.
    service.Route("weibo.com", "/empty", FakeReply::Ok(""));
    GetAlbums(SK_SINA, u"http://weibo.com/empty"_s);
    service.Route("weibo.com", "/cut", [](const FakeRequest&) { return FakeReply::Ok("x").AnnounceLength(500); });
    GetAlbums(SK_SINA, u"http://weibo.com/cut"_s);
    EXPECT_TRUE(service.RequestsFor(kPhotoHost, "/albums/get_all").isEmpty());

    // An owner with an empty album list.
    service.Route(kPhotoHost, "/albums/get_all", FakeReply::Ok(""));
    GetAlbums(SK_SINA, kHome);
    EXPECT_TRUE(core.m_pAlbumList->IsEmpty());
    EXPECT_EQ(service.RequestsFor(kPhotoHost, "/albums/get_all").size(), 1);
    // Where a request brought nothing, its cause comes first.
    EXPECT_EQ(frontEnd.Messages(),
              (QStringList{kNoAlbumMessage, u"无法获取：weibo.com（空的应答）\n"_s + kNoAlbumMessage,
                           u"无法获取：weibo.com（传输中断）\n"_s + kNoAlbumMessage,
                           u"无法获取：photo.weibo.com（空的应答）\n"_s + kNoAlbumMessage}));
    EXPECT_TRUE(frontEnd.Questions().isEmpty());
}

TEST_F(SinaWeiboTest, MainSiteCookiesGoToTheAlbumListButNotToPhotoPages)
{
    // A login cookie of the main host only: the photo host gets it because the adapter sends it.
    QNetworkCookie login("SUB", "_2AkMlogin");
    ASSERT_TRUE(CCookieStore::Instance().SetCookie(login, QUrl(u"http://weibo.com/"_s)));
    ASSERT_TRUE(GetAlbums(SK_SINA, kHome));
    const QList<FakeRequest> list = service.RequestsFor(kPhotoHost, "/albums/get_all");
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].header("Cookie"), QByteArray("SUB=_2AkMlogin"));
    EXPECT_EQ(service.RequestsFor("weibo.com", "/u/1234567890")[0].header("Cookie"), QByteArray("SUB=_2AkMlogin"));

    ListPhotos(2);
    const QList<FakeRequest> pages = service.RequestsFor(kPhotoHost, "/photos/get_all");
    ASSERT_EQ(pages.size(), 1);
    EXPECT_FALSE(pages[0].hasHeader("Cookie"));
    EXPECT_EQ(pages[0].header("Accept-Encoding"), QByteArray("gzip, deflate"));
}

TEST_F(SinaWeiboTest, PhotoPagesFollowThePictureCount)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, kHome));
    // 33 photos: two pages of 32. Full-size addresses are taken as given; a caption that is only
    // tags gives way to the album name.
    EXPECT_EQ(ListPhotos(0),
              (QStringList{u"http://ww1.sinaimg.cn/large/a1.jpg"_s, u"http://ww2.sinaimg.cn/large/b2.jpg"_s,
                           u"http://ww3.sinaimg.cn/large/c3.jpg"_s}));
    EXPECT_EQ(Pictures().m_arrNames, (QStringList{u"海边.jpg"_s, u"微博配图.jpg"_s, u"日落.jpg"_s}));
    EXPECT_EQ(service.RequestsFor(kPhotoHost, "/photos/get_all")[0].target, QByteArray(kFirstAlbumTarget) + '1');
    // 0 and -1 photos still ask for the first page, and only for it.
    ListPhotos(1);
    ListPhotos(2);
    EXPECT_EQ(PageRequests(), (QStringList{u"34:1"_s, u"34:2"_s, u"35:1"_s, u"36:1"_s}));
    // The last page read is left in the application folder.
    EXPECT_EQ(FileBytes(appDir.file(u"sinawb.tmp"_s)),
              DumpedBytes(QString::fromUtf8(FixtureBytes(u"photos-none.json"_s))));
}

TEST_F(SinaWeiboTest, PhotosWithoutFullSizeAddressAreBuiltFromHostAndName)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, kHome));
    // Type 0 is a profile picture kept under the owner's id, whether or not the host ends with
    // a slash; any other type, 10 included, is the large picture.
    EXPECT_EQ(ListPhotos(1),
              (QStringList{u"http://tp1.sinaimg.cn/1234567890/180/d4.jpg"_s,
                           u"http://tp2.sinaimg.cn/1234567890/180/e5.jpg"_s, u"http://ww4.sinaimg.cn/large/f6.jpg"_s}));
    EXPECT_EQ(Pictures().m_arrNames, (QStringList{u"旧头像.jpg"_s, u"头像相册.jpg"_s, u"礼物.jpg"_s}));
}

TEST_F(SinaWeiboTest, AbsurdNegativeCountAsksForOnePageOnly)
{
    ST_PERLISTRECORD album;
    album.strName = u"odd"_s;
    album.strAlbumId = kFirstAlbumList;
    album.nPicCount = -100;
    {
        CListing listing = core.Listing();
        listing.m_strSourceArg1 = u"1234567890"_s;
        core.SetListing(listing);
    }
    core.AddAlbum(album);
    EXPECT_EQ(ListPhotos(0).size(), 2);
    EXPECT_EQ(PageRequests(), QStringList{u"34:1"_s});
}

TEST_F(SinaWeiboTest, FailedOrEmptyPageEndsTheAlbumKeepingEarlierPictures)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, kHome));
    service.Route(kPhotoHost, QByteArray(kFirstAlbumTarget) + '1', FakeReply::Ok(""));
    EXPECT_TRUE(ListPhotos(0).isEmpty());
    EXPECT_EQ(PageRequests(), QStringList{u"34:1"_s});

    // A page that never arrives whole is tried three times, then the album ends with what it has.
    service.ClearRequests();
    service.Route(kPhotoHost, QByteArray(kFirstAlbumTarget) + '1', FakeReply::Ok(FixtureBytes(u"photos-p1.json"_s)));
    service.Route(kPhotoHost, QByteArray(kFirstAlbumTarget) + '2',
                  [](const FakeRequest&) { return FakeReply::Ok("{\"result\":").AnnounceLength(900); });
    EXPECT_EQ(ListPhotos(0).size(), 2);
    EXPECT_EQ(PageRequests(), (QStringList{u"34:1"_s, u"34:2"_s, u"34:2"_s, u"34:2"_s}));
}

TEST_F(SinaWeiboTest, DownloadStopsAtTheHistoryMark)
{
    ASSERT_TRUE(GetAlbums(SK_SINA, kHome));
    ASSERT_TRUE(Download({0}));
    EXPECT_EQ(SavedBytes(u"小明 Ming/微博配图/日落.jpg"_s), FakePicture(3));
    SetOptions(OPT_SKIP_OLD);
    service.ClearRequests();
    Download({0});
    // The newest picture is the one already downloaded, so the second page is not asked for.
    EXPECT_EQ(PageRequests(), QStringList{u"34:1"_s});
}

TEST(SinaWeiboDump, WritesAByteOrderMarkAndTheTextIntoTheFolder)
{
    TempFolder folder;
    AdapterKit::DumpText(folder.path(), u"page.tmp"_s, u"long text 页面"_s);
    AdapterKit::DumpText(folder.path(), u"page.tmp"_s, u"短"_s);
    EXPECT_EQ(FileBytes(folder.file(u"page.tmp"_s)), QByteArray("\xFF\xFE\xED\x77", 4)); // truncated first
    AdapterKit::DumpText(folder.path(), {}, u"a"_s);
    EXPECT_EQ(FileBytes(folder.file(u"1.txt"_s)), QByteArray("\xFF\xFE"
                                                             "a\0",
                                                             4));
    // A folder that is not there is skipped without a word.
    AdapterKit::DumpText(folder.file(u"missing/"_s), u"x.tmp"_s, u"a"_s);
    EXPECT_FALSE(QFile::exists(folder.file(u"missing/x.tmp"_s)));
}

namespace {
class SinaWeiboStopTest : public AdapterTest {
protected:
    SinaWeiboStopTest()
    {
        ServeWeibo(service);
        core.m_nSourceKind = SK_SINA;
    }
};
} // namespace

TEST_F(SinaWeiboStopTest, StopRequestsEndAfterTheCurrentAlbumOrPicture)
{
    // The stop lands at the moment an album, then a picture, is added.
    frontEnd.OnAlbumAdded([this] { core.States().RequestListingStop(); });
    core.States().BeginListing();
    QString address = kHome;
    ListSinaWeiboAlbums(AlbumRun(SK_SINA), address);
    ASSERT_EQ(core.m_pAlbumList->Count(), 1);

    frontEnd.OnAlbumAdded({});
    CAlbumDownload& run = PhotoRun();
    frontEnd.OnStatus([this](StatusLine line, const QString&) {
        if (line == StatusLine::Counts) core.States().RequestDownloadStop();
    });
    ListSinaWeiboPhotos(run, 0);
    EXPECT_EQ(Pictures().Count(), 1);
    EXPECT_EQ(service.RequestsFor(kPhotoHost, "/photos/get_all").size(), 1);
}

namespace {
class CliSinaWeiboTest : public CliTest {
protected:
    CliSinaWeiboTest() { ServeWeibo(service); }
};
} // namespace

TEST_F(CliSinaWeiboTest, ListsAlbumsAsJsonThenDownloadsTwoAlbums)
{
    const QJsonArray albums = AlbumsJson(kHome);
    ASSERT_EQ(albums.size(), 4);
    const QJsonObject first = albums[0].toObject();
    EXPECT_EQ(first[u"name"_s].toString(), u"微博配图"_s);
    EXPECT_EQ(first[u"id"_s].toString(), kFirstAlbumList);
    EXPECT_EQ(first[u"cover"_s].toString(), u"http://ww1.sinaimg.cn/thumb300/cover1.jpg"_s);
    EXPECT_EQ(first[u"count"_s].toInt(), 33);
    EXPECT_EQ(albums[1].toObject()[u"name"_s].toString(), u"头像相册"_s);

    const ChildResult run = Cli({u"download"_s, kHome, u"--albums"_s, u"1-2"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString owner = saveDir.path() + u"小明 Ming/"_s;
    const QStringList expected{u"微博配图/海边.jpg"_s,   u"微博配图/微博配图.jpg"_s, u"微博配图/日落.jpg"_s,
                               u"头像相册/旧头像.jpg"_s, u"头像相册/头像相册.jpg"_s, u"头像相册/礼物.jpg"_s};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(FileBytes(owner + expected[i]), FakePicture(i + 1)) << expected[i].toStdString();
    EXPECT_EQ(QDir(owner + u"微博配图"_s).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(owner + u"头像相册"_s).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(QFile::exists(appDir.file(u"sinawb.tmp"_s)));
    EXPECT_TRUE(run.err.contains("下载完毕"));
}

namespace {
// An album of 96 photos, three pages by its count, with the owner known as after a listing.
class SinaWeiboPagingTest : public SinaWeiboTest {
protected:
    SinaWeiboPagingTest()
    {
        CListing listing = core.Listing();
        listing.m_strSourceArg1 = u"1234567890"_s;
        core.SetListing(listing);
        ST_PERLISTRECORD album;
        album.strName = u"多页"_s;
        album.strAlbumId = kFirstAlbumList;
        album.nPicCount = 96;
        core.AddAlbum(album);
    }
    void ServePage(char page, const QByteArray& body)
    {
        service.Route(kPhotoHost, QByteArray(kFirstAlbumTarget) + page,
                      FakeReply::Ok(body, "application/json; charset=utf-8"));
    }
};
} // namespace

TEST_F(SinaWeiboPagingTest, APageWithoutPhotosDoesNotEndTheAlbumBeforeItsCount)
{
    ServePage('1', FixtureBytes(u"photos-p1.json"_s));
    ServePage('2', FixtureBytes(u"photos-none.json"_s));
    ServePage('3', FixtureBytes(u"photos-p2.json"_s));
    EXPECT_EQ(ListPhotos(0),
              (QStringList{u"http://ww1.sinaimg.cn/large/a1.jpg"_s, u"http://ww2.sinaimg.cn/large/b2.jpg"_s,
                           u"http://ww3.sinaimg.cn/large/c3.jpg"_s}));
    EXPECT_EQ(PageRequests(), (QStringList{u"34:1"_s, u"34:2"_s, u"34:3"_s}));
}

TEST_F(SinaWeiboPagingTest, AServiceRepeatingItsPhotosEndsTheAlbumBeforeItsCount)
{
    // Every page number answers the first page's photos: first word for word, then with the page
    // number echoed. Page 2 adds nothing either way, so page 3 is never asked for.
    ServePage('1', FixtureBytes(u"photos-p1.json"_s));
    ServePage('2', FixtureBytes(u"photos-p1.json"_s));
    ServePage('3', FixtureBytes(u"photos-p2.json"_s));
    EXPECT_EQ(ListPhotos(0).size(), 2);
    EXPECT_EQ(PageRequests(), (QStringList{u"34:1"_s, u"34:2"_s}));

    service.ClearRequests();
    for (char page : {'1', '2', '3'})
        service.Route(kPhotoHost, QByteArray(kFirstAlbumTarget) + page, [](const FakeRequest& request) {
            QByteArray text = FixtureBytes(u"photos-p1.json"_s);
            text.replace("\"total\"", "\"page\":" + QueryValue(request, u"page"_s).toLatin1() + ",\"total\"");
            return FakeReply::Ok(text, "application/json; charset=utf-8");
        });
    EXPECT_EQ(ListPhotos(0).size(), 2);
    EXPECT_EQ(PageRequests(), (QStringList{u"34:1"_s, u"34:2"_s}));
}
