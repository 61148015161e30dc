// The main window driven as a user drives it, against the fake QQ Zone.
#include "WindowTest.h"

#include "app/AlbumGrid.h"
#include "app/AlbumView.h"
#include "app/ComboBox2.h"
#include "core/LumarexCore.h"
#include "sources/Registry.h"
#include "support/AdapterTest.h"

#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

using namespace Qt::StringLiterals;

namespace {
int SavedPictures(const QString& root)
{
    int count = 0;
    for (QDirIterator it(root, {u"*.jpg"_s}, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
        ++count;
    return count;
}

class MainWindowTest : public WindowTest {};
} // namespace

TEST_F(MainWindowTest, StartsWithTheClipboardAddressRecognisedAndTheServicesListed)
{
    QGuiApplication::clipboard()->setText(u"  http://photo.163.com/someone  "_s);
    StartWindow();
    EXPECT_EQ(Text(u"1001"_s), u"http://photo.163.com/someone"_s);
    auto* services = Control<QComboBox>(u"1002"_s);
    EXPECT_EQ(services->count(), int(kFamilyCount));
    EXPECT_EQ(services->currentIndex(), int(SK_NETEASE));
    EXPECT_EQ(window->Core().m_nSourceKind, SK_NETEASE);
    EXPECT_FALSE(Control<QPushButton>(u"1005"_s)->isEnabled()); // no album list yet
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), u"Talvoria"_s);

    // Typing an address of another family selects it.
    TypeAddress(u"http://www.renren.com/12345"_s);
    EXPECT_EQ(window->Core().m_nSourceKind, SK_RENREN);
    QGuiApplication::clipboard()->clear();
}

TEST_F(MainWindowTest, GetAlbumsFillsTheGridAndTheHistory)
{
    StartWindow();
    GetAlbums(u"http://user.qzone.qq.com/12345678"_s);
    EXPECT_EQ(Text(u"1011"_s), u"相册列表(共5个)"_s);
    EXPECT_EQ(Text(u"1009"_s), u"获取相册列表完成，共5个"_s);
    EXPECT_TRUE(Control<QLabel>(u"1013"_s)->isVisible()); // the hint keeps its band filled
    // 下载 waits for something to download.
    auto* download = Control<QPushButton>(u"1005"_s);
    EXPECT_FALSE(download->isEnabled());
    window->Grid().selectRow(2);
    EXPECT_TRUE(download->isEnabled());
    window->Grid().clearSelection();
    EXPECT_FALSE(download->isEnabled());

    const QAbstractItemModel* model = window->Grid().model();
    ASSERT_EQ(model->rowCount(), 5);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), u"名称"_s);
    const QStringList first{model->index(0, 0).data().toString(), model->index(0, 1).data().toString(),
                            model->index(0, 2).data().toString(), model->index(0, 3).data().toString()};
    EXPECT_EQ(first, (QStringList{u"0001"_s, u"旅行 2012"_s, u"   3"_s, QString()}));
    EXPECT_EQ(model->index(1, 3).data().toString(), u"加密相册"_s);
    EXPECT_TRUE(window->Grid().isColumnHidden(4));
    EXPECT_EQ(Control<CComboBox2>(u"1001"_s)->Items(), QStringList{u"http://user.qzone.qq.com/12345678"_s});
}

TEST_F(MainWindowTest, ASecondPressStopsTheListing)
{
    // The album list arrives slowly, so the second press lands while it is being fetched.
    QFile fixture(FixturePath(u"qzone/albums.jsonp"_s));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2",
                  FakeReply::Ok(fixture.readAll()).PauseAt(0, 800));
    StartWindow();
    TypeAddress(u"12345678"_s);
    Click(u"1004"_s);
    ASSERT_TRUE(WaitFor([this] { return Text(u"1004"_s) == u"终止获取"_s; }));
    EXPECT_FALSE(Control<QPushButton>(u"1005"_s)->isEnabled());
    EXPECT_FALSE(Control<QWidget>(u"1014"_s)->isEnabled());
    Click(u"1004"_s);
    EXPECT_TRUE(window->Core().States().ListingStopRequested());
    ASSERT_TRUE(
        WaitFor([this] { return !window->Core().States().IsListing() && Text(u"1004"_s) == u"获取相册"_s; }));
    // The stop ends the request in flight.
    EXPECT_EQ(window->Core().m_pAlbumList->Count(), 0);
    EXPECT_EQ(Text(u"1011"_s), u"相册列表(共0个)"_s);
    EXPECT_TRUE(Control<QWidget>(u"1014"_s)->isEnabled());
    EXPECT_TRUE(Control<QWidget>(u"1002"_s)->isEnabled());
}

TEST_F(MainWindowTest, SelectAllAndDownloadFetchesEveryPicture)
{
    StartWindow();
    GetAlbums();
    Click(u"1012"_s);
    EXPECT_EQ(window->Grid().SelectedAlbums(), (std::vector<int>{0, 1, 2, 3, 4}));
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] {
        return !window->Core().States().IsDownloading() && Text(u"1009"_s) == u"下载完毕"_s &&
               Text(u"1005"_s) == u"下载"_s && Text(u"1006"_s).startsWith(u"已保存"_s);
    }));
    // The run's end says what became of every picture.
    EXPECT_TRUE(Text(u"1006"_s).startsWith(u"已保存15张，失败0张，跳过0张，用时"_s)) << Text(u"1006"_s).toStdString();
    EXPECT_EQ(SavedPictures(saveDir.path()), 15);
    QFile first(saveDir.file(u"12345678/旅行 2012/日落.jpg"_s));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), FakePicture(2));
    EXPECT_TRUE(answerer.Texts().isEmpty()) << answerer.Texts().join(u'|').toStdString();
}

TEST_F(MainWindowTest, StoppingADownloadReturnsTheControlsToIdle)
{
    // Pictures trickle in, so the download is still running when the stop comes.
    ServeSlowPictures();
    StartWindow();
    GetAlbums();
    ASSERT_NO_FATAL_FAILURE(DownloadAllUntilPicturesCome());
    EXPECT_EQ(Text(u"1005"_s), u"终止下载"_s);
    EXPECT_FALSE(Control<QWidget>(u"1004"_s)->isEnabled());
    EXPECT_FALSE(Control<QWidget>(u"1000"_s)->isEnabled());
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return !window->Core().States().IsDownloading() && Text(u"1005"_s) == u"下载"_s; }));
    for (const char* id : {"1002", "1004", "1007", "1001", "1000"})
        EXPECT_TRUE(Control<QWidget>(QString::fromLatin1(id))->isEnabled()) << id;
    EXPECT_LT(SavedPictures(saveDir.path()), 15);
}

TEST_F(MainWindowTest, AnEmptySavePathIsReportedAndTheButtonWorksAgain)
{
    StartWindow();
    GetAlbums();
    Control<CComboBox2>(u"1000"_s)->setEditText(QString());
    Click(u"1012"_s);
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return answerer.Texts().contains(u"请先设置保存路径"_s); }));
    ASSERT_TRUE(WaitFor([this] { return !window->Core().States().IsDownloading(); }));
    EXPECT_EQ(Text(u"1005"_s), u"下载"_s);
    EXPECT_TRUE(Control<QWidget>(u"1005"_s)->isEnabled());
}

TEST_F(MainWindowTest, DroppedFilesAndFoldersSetTheSavePathOnce)
{
    StartWindow();
    QDir(saveDir.path()).mkpath(u"pics.2013"_s);
    const auto drop = [this](const QString& path) { window->OnPathDropped(path); };
    drop(saveDir.file(u"a.jpg"_s));
    EXPECT_EQ(Text(u"1000"_s), saveDir.path());
    drop(saveDir.path());
    EXPECT_EQ(Control<CComboBox2>(u"1000"_s)->Items(), QStringList{saveDir.path()});
    // A folder whose name has a dot is still a folder.
    drop(saveDir.file(u"pics.2013"_s));
    EXPECT_EQ(Text(u"1000"_s), saveDir.file(u"pics.2013/"_s));
    EXPECT_EQ(HistoryEntry(window->Core().Soft(), History::SavePath, 0), saveDir.file(u"pics.2013/"_s));
    EXPECT_EQ(HistoryEntry(window->Core().Soft(), History::SavePath, 1), saveDir.path());
}

TEST_F(MainWindowTest, ALoginRequestShowsTheBrowserModallyAndTheListerGoesOn)
{
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2",
                  FakeReply::File(FixturePath(u"qzone/albums-locked.jsonp"_s)));
    StartWindow();
    QString loginTitle;
    answerer.QueueAnswer(QMessageBox::Yes);
    answerer.QueueDialogHandler([&loginTitle](QDialog& login) {
        loginTitle = login.windowTitle() + u' ' + login.findChild<QLineEdit*>(u"1001"_s)->text();
        login.reject();
    });
    GetAlbums(u"333"_s);
    ASSERT_FALSE(answerer.Texts().isEmpty());
    EXPECT_EQ(answerer.Texts()[0], u"加密或非公开空间，是否进行身份验证?\n(验证成功后请重新获取相册列表)"_s);
    EXPECT_EQ(answerer.DialogsSeen(), int(answerer.Texts().size()) + 1); // and the login browser once
    EXPECT_EQ(loginTitle, u"登录成功后手动关闭对话框 http://user.qzone.qq.com/333"_s);
}

TEST_F(MainWindowTest, ClosingWhileAWorkerWaitsForAnAnswerDoesNotHang)
{
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2",
                  FakeReply::File(FixturePath(u"qzone/albums-locked.jsonp"_s)));
    StartWindow();
    bool asked = false;
    answerer.QueueAnswer(QMessageBox::Yes); // to the close's own question, asked from inside the hook
    answerer.OnMessageBox([this, &asked](QMessageBox&) {
        if (std::exchange(asked, true)) return;
        window->close(); // the user closes the main window while the question stands
    });
    TypeAddress(u"333"_s);
    const auto started = std::chrono::steady_clock::now();
    Click(u"1004"_s);
    ASSERT_TRUE(WaitFor([&asked] { return asked; }));
    // The close waits for the listing, which must have been answered No.
    ASSERT_TRUE(WaitFor([this] { return !window->isVisible(); }));
    window.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}
