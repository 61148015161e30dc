// Takes screenshots of the main window in list mode (listed, downloading, finished) and preview
// mode, its menu, the settings dialogs, the find box, the about box and the login browser, as an
// X server shows them. Run under
// xvfb-run by scripts/screenshots.sh; the pictures go to the folder given as the first argument.
#include "WindowTest.h"

#include "app/AlbumGrid.h"
#include "support/AdapterTest.h"
#include "app/AlbumView.h"
#include "app/ComboBox2.h"
#include "app/AppSetup.h"
#include "app/DlgFind.h"
#include "app/DlgWebOpen.h"
#include "app/MenuCommands.h"
#include "core/LumarexCore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWebEngineView>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
QString g_folder;

// What the X server shows in the rectangle, written as name.png.
void Shoot(const QString& name, const QRect& area)
{
    QTest::qWait(400); // let the window manager-less server and the widgets settle
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString path = g_folder + u'/' + name + u".png"_s;
    const bool saved = shot.save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    EXPECT_TRUE(saved);
}

void ShootWidget(const QString& name, const QWidget& widget)
{
    Shoot(name, widget.frameGeometry());
}

const QStringList kAlbumNames = {u"旅行 2012 夏天"_s, u"毕业照"_s,   u"家人"_s,     u"美食记录"_s, u"猫咪日常"_s,
                                 u"西湖风景"_s,       u"春节"_s,     u"同学聚会"_s, u"北京故宫"_s, u"海边日落"_s,
                                 u"宝宝成长"_s,       u"花草植物"_s, u"手机随拍"_s, u"婚礼现场"_s};

class Screenshots : public WindowTest {
protected:
    QAction* Item(int id) const { return window->menuBar()->findChild<QAction*>(QString::number(id)); }
    // Runs a menu command whose dialog is photographed and then closed.
    void ShootDialogOf(int id, const QString& name)
    {
        answerer.QueueDialogHandler([name](QDialog& dialog) {
            ShootWidget(name, dialog);
            dialog.reject();
        });
        Item(id)->trigger();
    }
};
} // namespace

TEST_F(Screenshots, WindowMenuDialogsAndLoginBrowser)
{
    ServeAlbums(kAlbumNames);
    ServeCovers();
    // The second picture of every album stops half-way for a while; the third is missing.
    const QByteArray second = FakePicture(2);
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/2.jpg",
                  FakeReply::Ok(second, "image/jpeg").PauseAt(second.size() / 2, 1500));
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/3.jpg", FakeReply::Status(404));
    service.Route(
        "user.qzone.qq.com", "/12345678",
        FakeReply::Ok(u"<html><body style='font-family:sans-serif'><h2>QQ空间登录</h2><p>账号：<input> "
                      "</p><p>密码：<input type=password></p><button>登 录</button></body></html>"_s.toUtf8()));
    StartWindow();
    window->move(20, 20);
    GetAlbums(u"http://user.qzone.qq.com/12345678"_s);
    window->Grid().selectRow(1);
    window->Core().EditSoft([](ST_SOFTDATA& soft) { soft.names[0].nOptions = OPT_FIX_ORDER | OPT_SKIP_OLD; });
    ShootWidget(u"main-list"_s, *window);

    // A download of two albums, caught while a picture is half-way, and then its end.
    window->Grid().selectRow(0);
    window->Grid().selectionModel()->select(window->Grid().model()->index(1, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Click(u"1005"_s);
    auto* pictures = window->findChild<QProgressBar*>(u"pictureProgress"_s);
    ASSERT_TRUE(WaitFor([pictures] { return pictures->isVisible() && pictures->value() >= 1; }));
    ShootWidget(u"main-downloading"_s, *window);
    // Closing now asks first; No (the answerer's default) keeps the run going.
    answerer.OnMessageBox([](QMessageBox& box) { ShootWidget(u"close-confirmation"_s, box); });
    window->close();
    answerer.OnMessageBox({});
    ASSERT_TRUE(WaitFor([this] { return Text(u"1006"_s).startsWith(u"已保存"_s); }, 30000));
    ShootWidget(u"main-finished"_s, *window);

    // The same two albums into a new folder, stopped while the second picture is half-way.
    Control<CComboBox2>(u"1000"_s)->setEditText(saveDir.file(u"stopped"_s) + u'/');
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([pictures] { return pictures->isVisible() && pictures->value() >= 100; }));
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return Text(u"1006"_s).startsWith(u"已保存"_s); }, 30000));
    ShootWidget(u"main-stopped"_s, *window);
    Control<CComboBox2>(u"1000"_s)->setEditText(saveDir.path());
    window->Grid().selectRow(1);

    window->OnFindLink();
    window->FindBox()->findChild<QLineEdit*>(u"1639"_s)->setText(u"春节"_s);
    window->FindBox()->FindNext();
    Shoot(u"find"_s, window->frameGeometry());
    window->FindBox()->hide();

    Click(u"1014"_s);
    ASSERT_TRUE(WaitFor([this] { return window->AlbumView().State() == PREVIEW_IDLE; }));
    ShootWidget(u"main-preview"_s, *window);

    QMenu* settings = nullptr;
    for (QMenu* popup : window->menuBar()->findChildren<QMenu*>())
        if (popup->actions().contains(Item(CMD_FIX_ORDER))) settings = popup;
    ASSERT_NE(settings, nullptr);
    const QRect settingsTitle = window->menuBar()->actionGeometry(settings->menuAction());
    settings->popup(window->menuBar()->mapToGlobal(settingsTitle.bottomLeft()));
    QTest::qWait(200);
    Shoot(u"menu"_s, window->frameGeometry().united(settings->geometry()));
    settings->hide();

    ShootDialogOf(CMD_DOWN_PARAM, u"dialog-download-settings"_s);
    ShootDialogOf(CMD_NAME_SET, u"dialog-name-settings"_s);
    ShootDialogOf(CMD_VERSION, u"dialog-about"_s);
    ShootDialogOf(CMD_IMPORT_LIST, u"dialog-file-chooser"_s); // Qt's own chooser, in Chinese

    // The file tool after a check of the download, beside which a page and a cut picture lie.
    QFile page(saveDir.file(u"保存的网页.jpg"_s));
    QFile cut(saveDir.file(u"不完整.jpg"_s));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly) && cut.open(QIODevice::WriteOnly));
    page.write("<!DOCTYPE html><html><body>404 Not Found</body></html>");
    cut.write(FakePicture(5).chopped(1024));
    page.close();
    cut.close();
    answerer.QueueDialogHandler([this](QDialog& dialog) {
        auto* start = dialog.findChild<QPushButton*>(u"fileToolStart"_s);
        start->click();
        ASSERT_TRUE(WaitFor([start] { return start->text() == u"开始"_s; }));
        ShootWidget(u"dialog-file-tool"_s, dialog);
        dialog.reject();
    });
    Item(CMD_FILE_TOOL)->trigger();

    TypeAddress(u"12345678"_s);
    Item(CMD_LOGIN_QZONE)->trigger();
    CDlgWebOpen* login = window->LoginBrowser();
    ASSERT_TRUE(WaitFor([login] { return login->Browser()->url().isValid() && !login->Browser()->title().isEmpty(); }));
    QTest::qWait(1500); // the page is drawn by the browser engine's own process
    ShootWidget(u"login-browser"_s, *login);
}

int main(int argc, char** argv)
{
    PrepareBrowserEngine();
    QApplication app(argc, argv);
    UseSystemProxySettings();
    UseChineseQtTexts();
    ::testing::InitGoogleTest(&argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"build/screenshots"_s;
    QDir().mkpath(g_folder);
    return RUN_ALL_TESTS();
}
