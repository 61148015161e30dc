#include "MyCode/StringCtrl.h"
#include "sources/Registry.h"
#include "sources/TaobaoRoutes.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString kItemReadError = u"获取信息出错(2),请将程序目录下的log.err文件发给作者,以便修改"_s;
const QString kShopReadError = u"获取信息出错,请将程序目录下的log.err文件发给作者,以便修改"_s;

QByteArray FixtureBytes(const QString& name)
{
    QFile file(FixturePath(u"taobao/"_s + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A diagnostic file as the lister leaves it: UTF-16LE with its byte-order mark.
QString ReadDiagnostic(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("\xFF\xFE")) return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
}

class TaobaoTest : public AdapterTest {
protected:
    TaobaoTest() { TaobaoFake::Serve(service); }

    qsizetype SearchRequests(const QByteArray& host) const { return service.RequestsFor(host, "/").size(); }
};
} // namespace

TEST_F(TaobaoTest, ShopPagesListTheItemsBetweenTheSortBarAndTheJumpButton)
{
    ASSERT_TRUE(GetAlbums(SK_TAOBAO, u"http://mengshop.taobao.com/"_s));
    // Items before the sort bar and after the jump button are none of the shop's list; items
    // without a link or a name are skipped; page 3 is a grid holding a list block of its own.
    EXPECT_EQ(AlbumNames(), (QStringList{u"碎花连衣裙"_s, u"亚麻衬衫"_s, u"草编帽"_s, u"帆布包"_s, u"遮阳伞"_s}));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"萌萌小店/"_s);
    EXPECT_EQ(core.Listing().m_strOwnerSubDir, u"所有分类夏季新款/"_s); // first page only

    const ST_PERLISTRECORD dress = core.m_pAlbumList->At(0);
    EXPECT_EQ(dress.strAlbumId, u"http://item.taobao.com/item.htm?id=1001"_s);
    EXPECT_EQ(dress.strCoverUrl, u"http://img01.taobaocdn.com/bao/uploaded/i1/1001.jpg_240x240.jpg"_s);
    EXPECT_EQ(dress.nParam2, 128); // the sales span, not the comment count after it
    EXPECT_EQ(dress.nPicCount, -1);
    const ST_PERLISTRECORD shirt = core.m_pAlbumList->At(1);
    EXPECT_EQ(shirt.strCoverUrl, u"http://img02.taobaocdn.com/bao/uploaded/i2/1002.jpg_240x240.jpg"_s);
    EXPECT_EQ(shirt.nParam2, 35); // from "<em>"
    EXPECT_EQ(core.m_pAlbumList->At(2).strCoverUrl, u"http://img01.taobaocdn.com/bao/uploaded/i1/1003.jpg_240x240.jpg"_s);
    EXPECT_EQ(core.m_pAlbumList->At(2).nParam2, 6);
    EXPECT_EQ(core.m_pAlbumList->At(3).nParam2, 12);
    EXPECT_EQ(core.m_pAlbumList->At(4).strAlbumId, u"http://item.taobao.com/item.htm?id=1005"_s);

    // Page 3's next link is disabled: there is no page 4.
    const QList<FakeRequest> requests = service.RequestsFor(TaobaoFake::kShopHost, "/");
    ASSERT_EQ(requests.size(), 3);
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(requests[page].target, TaobaoFake::SearchTarget(page + 1));
        EXPECT_EQ(requests[page].header("Accept-Encoding"), QByteArray("gzip, deflate"));
    }
}

TEST_F(TaobaoTest, ATypedSearchAddressKeepsItsOwnPageParametersUnderOtherNames)
{
    GetAlbums(SK_TAOBAO, u"http://mengshop.taobao.com/search.htm?pageNum=3&viewType=list"_s);
    const QList<FakeRequest> requests = service.RequestsFor(TaobaoFake::kShopHost, "/search.htm");
    ASSERT_FALSE(requests.isEmpty());
    EXPECT_STREQ(requests[0].target.constData(), "/search.htm?Zrv1=3&Zrv2=list&viewType=grid&pageNum=1");
}

TEST_F(TaobaoTest, SingleItemIsOneAlbumWithItsGalleryCutToFullPictures)
{
    ASSERT_TRUE(GetAlbums(SK_TAOBAO, u"http://item.taobao.com/item.htm?id=1001"_s));
    ASSERT_EQ(AlbumNames(), QStringList{u"碎花连衣裙-夏季"_s}); // cut before the last "-"
    const ST_PERLISTRECORD item = core.m_pAlbumList->At(0);
    EXPECT_EQ(item.strAlbumId, u"http://item.taobao.com/item.htm?id=1001"_s);
    EXPECT_TRUE(item.strCoverUrl.isEmpty());
    EXPECT_EQ(item.nPicCount, -1);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"萌萌小店/"_s);
    EXPECT_TRUE(core.Listing().m_strOwnerSubDir.isEmpty());
    EXPECT_EQ(service.RequestCount(), 1);

    ASSERT_TRUE(Download());
    // Lazy-load and source addresses lose their size suffix; an address without "_" and one
    // without the scheme are dropped, and nothing outside the thumbnail list is read.
    const QString album = u"萌萌小店/碎花连衣裙-夏季/"_s;
    EXPECT_EQ(SavedBytes(album + u"碎花连衣裙-夏季_价格89。00元.jpg"_s), FakePicture(11));
    EXPECT_EQ(SavedBytes(album + u"碎花连衣裙-夏季_价格89。00元 (1).jpg"_s), FakePicture(12));
    EXPECT_EQ(QDir(SavedFile(album)).entryList(QDir::Files).size(), 2);
    for (const FakeRequest& request : service.Requests()) {
        EXPECT_NE(request.host, QByteArray("img03.taobaocdn.com"));
        EXPECT_NE(request.host, QByteArray("img04.taobaocdn.com"));
        EXPECT_NE(request.host, QByteArray("img05.taobaocdn.com"));
        EXPECT_FALSE(request.target.contains("logo")) << request.target.constData();
    }
    EXPECT_TRUE(frontEnd.Messages().isEmpty());
}

TEST_F(TaobaoTest, AnUnreadableItemPageIsReportedAndTheNextItemIsDownloaded)
{
    ASSERT_TRUE(GetAlbums(SK_TAOBAO, u"http://mengshop.taobao.com/"_s));
    ASSERT_TRUE(Download({2, 1, 0}));

    // Item 1003 names no description host.
    EXPECT_EQ(frontEnd.Messages(), QStringList{kItemReadError});
    const QString log = ReadDiagnostic(appDir.path() + u"log.err"_s);
    EXPECT_TRUE(log.contains(u"宝贝已下架"_s)) << log.toStdString();
    EXPECT_FALSE(QFile::exists(saveRoot.path() + u"log.err"_s));
    EXPECT_FALSE(QFile::exists(QDir::currentPath() + u"/log.err"_s));

    // A gallery of background images, and the price from the price box.
    const QString root = u"萌萌小店/所有分类夏季新款/"_s;
    EXPECT_EQ(SavedBytes(root + u"亚麻衬衫/亚麻衬衫_价格35。50元.jpg"_s), FakePicture(21));
    EXPECT_EQ(SavedBytes(root + u"亚麻衬衫/亚麻衬衫_价格35。50元 (1).jpg"_s), FakePicture(22));
    EXPECT_EQ(SavedBytes(root + u"碎花连衣裙/碎花连衣裙_价格89。00元.jpg"_s), FakePicture(11));
    EXPECT_EQ(QDir(SavedFile(root)).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{u"亚麻衬衫"_s, u"碎花连衣裙"_s}));
}

TEST_F(TaobaoTest, ShopListingsEndOnTheirMarksAndOnPagesThatBringNothingNew)
{
    const auto listShop = [this](const QByteArray& host) {
        service.ClearRequests();
        GetAlbums(SK_TAOBAO, u"http://"_s + QString::fromLatin1(host) + u"/"_s);
        return SearchRequests(host);
    };
    const auto serveAnyPage = [this](const QByteArray& host, const QByteArray& body) {
        service.Route(host, "/", FakeReply::Ok(body, "text/html"));
    };

    // A service that ignores the page number: the same page again ends the listing.
    serveAnyPage("loopshop.taobao.com", FixtureBytes(u"shop-p2.html"_s));
    EXPECT_EQ(listShop("loopshop.taobao.com"), 2);
    EXPECT_EQ(AlbumNames(), (QStringList{u"草编帽"_s, u"帆布包"_s}));

    // The same items on a page that differs: they are not listed again, and the listing ends.
    auto served = std::make_shared<std::atomic<int>>(0);
    service.Route("echoshop.taobao.com", "/", [served](const FakeRequest&) {
        const int n = ++*served;
        return FakeReply::Ok(n > 5 ? QByteArray() : FixtureBytes(u"shop-p2.html"_s) + "<!-- " + QByteArray::number(n) + " -->",
                             "text/html");
    });
    EXPECT_EQ(listShop("echoshop.taobao.com"), 2);
    EXPECT_EQ(AlbumNames(), (QStringList{u"草编帽"_s, u"帆布包"_s}));

    // A page without a next link is the last one.
    QByteArray noLink = FixtureBytes(u"shop-p2.html"_s);
    noLink.replace(CStringCtrl::WideToGbk(u">下一页</a>"), CStringCtrl::WideToGbk(u">下一页</span>"));
    serveAnyPage("nolink.taobao.com", noLink);
    EXPECT_EQ(listShop("nolink.taobao.com"), 1);
    EXPECT_EQ(core.m_pAlbumList->Count(), 2);

    // "No next page" far enough into the page beats the next link.
    serveAnyPage("lastshop.taobao.com", FixtureBytes(u"shop-p2.html"_s) + CStringCtrl::WideToGbk(u"<p>没有下一页</p>"));
    EXPECT_EQ(listShop("lastshop.taobao.com"), 1);
    EXPECT_EQ(core.m_pAlbumList->Count(), 2);

    // No items found: the recommendations below the message are not the shop's.
    serveAnyPage("emptyshop.taobao.com", FixtureBytes(u"shop-empty.html"_s));
    EXPECT_EQ(listShop("emptyshop.taobao.com"), 1);
    EXPECT_EQ(core.m_pAlbumList->Count(), 0);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"空空店/"_s);

    // Without the jump button no item of the page is read, nor any later page.
    serveAnyPage("nobutton.taobao.com", FixtureBytes(u"shop-nobutton.html"_s));
    EXPECT_EQ(listShop("nobutton.taobao.com"), 1);
    EXPECT_EQ(core.m_pAlbumList->Count(), 0);
    EXPECT_EQ(core.Listing().m_strOwnerName, u"无按钮 店/"_s); // the quoted nickname form

    // A grid in neither form: the page goes to the application folder for the developer.
    serveAnyPage("newlook.taobao.com", FixtureBytes(u"shop-unreadable.html"_s));
    EXPECT_EQ(listShop("newlook.taobao.com"), 1);
    EXPECT_EQ(core.m_pAlbumList->Count(), 0);
    EXPECT_TRUE(ReadDiagnostic(appDir.path() + u"taobao.tmp"_s).contains(u"新版宝贝"_s));
    EXPECT_FALSE(QFile::exists(QDir::currentPath() + u"/taobao.tmp"_s));
    EXPECT_TRUE(frontEnd.Messages().isEmpty());
}

TEST_F(TaobaoTest, AShopAddressWithoutThePlainSchemeIsReportedWithoutListing)
{
    QString address = u"HTTP://mengshop.taobao.com/?search=y"_s;
    ListAlbumsOf(SK_TAOBAO, kNoVariant, address);
    EXPECT_EQ(core.m_pAlbumList->Count(), 0);
    EXPECT_EQ(frontEnd.Messages(), QStringList{kShopReadError});
    EXPECT_TRUE(ReadDiagnostic(appDir.path() + u"log.err"_s).contains(u"碎花连衣裙"_s));
}

TEST_F(TaobaoTest, StopRequestsEndBothListers)
{
    StopListing();
    QString address = u"http://mengshop.taobao.com/?search=y"_s;
    ListAlbumsOf(SK_TAOBAO, kNoVariant, address);
    EXPECT_EQ(core.m_pAlbumList->Count(), 1);
    EXPECT_EQ(SearchRequests(TaobaoFake::kShopHost), 1);

    StopDownload();
    ListPhotosOf(SK_TAOBAO, kNoVariant, 0);
    EXPECT_EQ(Pictures().Count(), 1);
}
