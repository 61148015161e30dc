#include "sources/Home51Routes.h"
#include "sources/Registry.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {
class Home51Test : public AdapterTest {
protected:
    Home51Test() { Home51Fake::Serve(service); }

    void SetNameSource(std::uint8_t source)
    {
        core.EditSoft([source](ST_SOFTDATA& soft) { soft.names[SK_51].nNameSource = source; });
    }
    qsizetype PicturePageRequests() const
    {
        qsizetype n = 0;
        for (const FakeRequest& request : service.Requests())
            n += request.path().startsWith("/xiaomei/photo/view/") ? 1 : 0;
        return n;
    }
    QStringList FilesIn(const QString& folder) const
    {
        QStringList files = QDir(SavedFile(folder)).entryList(QDir::Files);
        files.sort();
        return files;
    }
};

const QString kAddress = u"http://home.51.com/xiaomei/photo"_s;
const QString kQuestion = u"加密相册,是否输入密码"_s;
} // namespace

TEST_F(Home51Test, GroupListIsCutDecodedAndMarked)
{
    ASSERT_TRUE(GetAlbums(SK_51, kAddress));
    EXPECT_EQ(core.Listing().m_strOwnerName, u"xiaomei/"_s);
    EXPECT_EQ(core.Listing().m_strSourceArg1, u"xiaomei"_s);
    // The nameless group is left out, and nothing after the group array's end is read.
    ASSERT_EQ(AlbumNames(), (QStringList{u"旅行"_s, u"私密"_s, u"朋友"_s, u"家人"_s}));
    struct Expected {
        const char16_t* id;
        int count;
        int privacy;
    };
    // Only "hide" 2 means a password; 1 does not.
    const Expected expected[] = {
        {u"301", 3, 0}, {u"302", 2, PRIVACY_PASSWORD}, {u"303", 1, 0}, {u"305", 1, PRIVACY_PASSWORD}};
    for (int i = 0; i < 4; ++i) {
        const ST_PERLISTRECORD group = core.m_pAlbumList->At(i);
        EXPECT_EQ(group.strAlbumId, QString::fromUtf16(expected[i].id));
        EXPECT_EQ(group.nPicCount, expected[i].count) << i;
        EXPECT_EQ(group.nPrivacy, expected[i].privacy) << i;
        EXPECT_TRUE(group.strCoverUrl.isEmpty());
    }
}

TEST_F(Home51Test, DecliningThePasswordSkipsOnlyThatGroup)
{
    ASSERT_TRUE(GetAlbums(SK_51, kAddress));
    frontEnd.QueueAnswer(false);
    ASSERT_TRUE(Download({1, 3, 2}));
    // Group 305 is hidden too but its page asks for no password: one question, for 302.
    EXPECT_EQ(frontEnd.Questions(), QStringList{kQuestion});
    EXPECT_TRUE(frontEnd.LoginPages().isEmpty());
    EXPECT_FALSE(QDir(SavedFile(u"xiaomei/私密/"_s)).exists());
    EXPECT_EQ(service.RequestsFor(Home51Fake::kPictureHost, "/photo/5201.jpg").size(), 0);
    EXPECT_EQ(SavedBytes(u"xiaomei/家人/全家福.jpg"_s), FakePicture(501));
    // Group 303's service answers page 1 for every page: the repeat ends the group.
    EXPECT_EQ(FilesIn(u"xiaomei/朋友/"_s), QStringList{u"聚会.jpg"_s});
    EXPECT_EQ(SavedBytes(u"xiaomei/朋友/聚会.jpg"_s), FakePicture(301));
    // The groups call, then 302 once, 305 twice (the second has no rows), 303 twice.
    EXPECT_EQ(service.RequestsFor(Home51Fake::kHomeHost, "/").size(), 1 + 1 + 2 + 2);
}

TEST_F(Home51Test, AcceptingThePasswordOpensTheGroupPageThenListsIt)
{
    ASSERT_TRUE(GetAlbums(SK_51, kAddress));
    frontEnd.QueueAnswer(true);
    ASSERT_TRUE(Download({1}));
    EXPECT_EQ(frontEnd.LoginPages(), QStringList{u"http://home.51.com/xiaomei/photo/group/302"_s});
    // The open group's pages still flag the password: only page 1 asks.
    EXPECT_EQ(frontEnd.Questions(), QStringList{kQuestion});
    EXPECT_EQ(SavedBytes(u"xiaomei/私密/日记.jpg"_s), FakePicture(201));
    EXPECT_EQ(SavedBytes(u"xiaomei/私密/旧信.jpg"_s), FakePicture(202));
}

TEST_F(Home51Test, ShortenedTitlesAreCompletedFromThePicturePage)
{
    ASSERT_TRUE(GetAlbums(SK_51, kAddress));
    ASSERT_TRUE(Download({0}));
    // 5001's page has the whole title (GBK page); 5003's page has an empty one and keeps the
    // shortened title; the untitled 5002 takes the group's name.
    const QStringList files = FilesIn(u"xiaomei/旅行/"_s);
    ASSERT_EQ(files.size(), 3) << files.join(u' ').toStdString();
    EXPECT_EQ(SavedBytes(u"xiaomei/旅行/西湖日出的早晨.jpg"_s), FakePicture(1));
    EXPECT_EQ(SavedBytes(u"xiaomei/旅行/旅行.jpg"_s), FakePicture(2));
    EXPECT_TRUE(files.contains(u"雷峰塔。。.jpg"_s)) << files.join(u' ').toStdString();
    EXPECT_EQ(PicturePageRequests(), 2);                                      // only the shortened ones
    EXPECT_EQ(service.RequestsFor(Home51Fake::kHomeHost, "/").size(), 1 + 3); // groups call, three pages

    // Named by sequence number, no title is needed and no picture page is fetched.
    SetNameSource(1);
    service.ClearRequests();
    ASSERT_TRUE(Download({0}));
    EXPECT_EQ(PicturePageRequests(), 0);
    EXPECT_EQ(service.RequestsFor(Home51Fake::kPictureHost, "/photo/5003.jpg").size(), 1);
}
