// What a desktop user expects of the window beyond its buttons: the clipboard, keys, drops,
// closing while busy and a second launch.
#include "WindowTest.h"

#include "app/ComboBox2.h"
#include "app/DlgFind.h"
#include "app/SingleInstance.h"
#include "core/LumarexCore.h"
#include "core/SourceKind.h"
#include "run/RunController.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
class WindowHabitsTest : public WindowTest {
protected:
    bool Listed() { return !window->Runs().IsBusy() && Text(u"1011"_s) == u"相册列表(共5个)"_s; }
};
} // namespace

TEST_F(WindowHabitsTest, OnlyAnAddressOrANumberIsTakenFromTheClipboard)
{
    const struct {
        QString copied, taken;
    } cases[] = {
        {u"会议纪要：周五讨论 http://user.qzone.qq.com/123"_s, QString()},
        {u"/home/me/相册/说明.txt"_s, QString()},
        {u" 12345678 "_s, u"12345678"_s},
        {u"https://photo.163.com/someone"_s, u"https://photo.163.com/someone"_s},
    };
    for (const auto& c : cases) {
        QGuiApplication::clipboard()->setText(c.copied);
        StartWindow();
        EXPECT_EQ(Text(u"1001"_s), c.taken) << c.copied.toStdString();
        window.reset();
    }
    QGuiApplication::clipboard()->clear();
}

TEST_F(WindowHabitsTest, EnterListsAndCtrlFFindsAndCtrlQQuits)
{
    StartWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLineEdit* address = Control<QComboBox>(u"1001"_s)->lineEdit();
    TypeAddress(u"12345678"_s);
    QTest::keyClick(address, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([this] { return Listed(); }));
    // Where the screen has room beside the window, the box goes there, off the rows.
    window->move(-500, 0);
    ASSERT_TRUE(WaitFor([this] { return window->frameGeometry().x() == -500; }));
    QTest::keyClick(address, Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(window->FindBox(), nullptr);
    EXPECT_TRUE(window->FindBox()->isVisible());
    EXPECT_FALSE(window->FindBox()->frameGeometry().intersects(window->frameGeometry()));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(address, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowHabitsTest, ClosingDuringADownloadAsksAndYesStopsTheRun)
{
    ServeSlowPictures();
    StartWindow();
    GetAlbums();
    ASSERT_NO_FATAL_FAILURE(DownloadAllUntilPicturesCome());
    answerer.QueueAnswer(QMessageBox::No);
    window->close();
    EXPECT_EQ(answerer.Texts().last(), u"正在下载，确定退出吗？"_s);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Runs().IsBusy());
    answerer.QueueAnswer(QMessageBox::Yes);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->Runs().IsBusy()); // stopped and waited for before the close
}

TEST_F(WindowHabitsTest, DropsListLinksOfferListsForImportAndSetFolders)
{
    StartWindow();
    window->OnLinkDropped(u"http://user.qzone.qq.com/12345678"_s);
    ASSERT_TRUE(WaitFor([this] { return Listed(); }));

    const QByteArray picture = "http://b1.photo.store.qq.com/psb?/V10pub/1.jpg\n";
    const struct {
        QString name;
        QByteArray text;
        bool isList;
    } cases[] = {
        {u"a.lst"_s, picture, true},
        {u"aria2.txt"_s, picture + "  out=x/1.jpg\n", true},
        {u"note.txt"_s, picture, false},
    };
    const QString folder = saveDir.path();
    for (const auto& c : cases) {
        const QString path = appDir.file(c.name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.text) == c.text.size());
        file.close();
        const qsizetype asked = answerer.Texts().size();
        window->OnPathDropped(path); // answered No
        EXPECT_EQ(answerer.Texts().size(), asked + (c.isList ? 1 : 0)) << c.name.toStdString();
        EXPECT_EQ(Text(u"1000"_s), c.isList ? folder : appDir.path()) << c.name.toStdString();
        Control<CComboBox2>(u"1000"_s)->setEditText(folder);
    }
    EXPECT_EQ(answerer.Texts().first(), u"导入下载列表 %1 ？"_s.arg(appDir.file(u"a.lst"_s)));
    answerer.QueueAnswer(QMessageBox::Yes);
    window->OnPathDropped(appDir.file(u"aria2.txt"_s));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(folder + u"x/1.jpg"_s) && !window->Runs().IsBusy(); }));
}

TEST_F(WindowHabitsTest, ASecondLaunchHandsItsAddressToTheFirst)
{
    StartWindow();
    CSingleInstance first(appDir.path());
    // A launch that crashed left its socket behind: nobody answers there.
    QFile stale(QDir::tempPath() + u'/' + first.ServerName());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    ASSERT_FALSE(first.HandOver(QString()));
    ASSERT_TRUE(first.Listen());
    QObject::connect(&first, &CSingleInstance::LaterLaunch, window.get(), &CLumarexDlg::OnLaterLaunch);
    EXPECT_TRUE(CSingleInstance(appDir.path()).HandOver(u"http://photo.163.com/someone"_s));
    EXPECT_TRUE(WaitFor([this] { return Text(u"1001"_s) == u"http://photo.163.com/someone"_s; }));
    EXPECT_EQ(window->Core().m_nSourceKind, SK_NETEASE);
}
