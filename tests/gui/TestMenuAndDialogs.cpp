// Menu 129, the option toggles and the two settings dialogs.
#include "WindowTest.h"

#include "app/ComboBox2.h"
#include "app/DlgWebOpen.h"
#include "app/HelpWindows.h"
#include "app/MenuCommands.h"
#include "core/LumarexCore.h"
#include "run/Services.h"
#include "sources/Registry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
class MenuTest : public WindowTest {
protected:
    QAction* Item(int id) const { return window->menuBar()->findChild<QAction*>(QString::number(id)); }
    QMenu* PopupOf(int id) const
    {
        for (QMenu* popup : window->menuBar()->findChildren<QMenu*>())
            if (popup->actions().contains(Item(id))) return popup;
        return nullptr;
    }
    // Opens the pop-up holding the item, as a click on the menu bar would, and closes it again.
    void OpenPopupOf(int id)
    {
        QMenu* popup = PopupOf(id);
        ASSERT_NE(popup, nullptr);
        Q_EMIT popup->aboutToShow();
    }
    void SelectService(int kind) { Control<QComboBox>(u"1002"_s)->setCurrentIndex(kind); }
    std::uint8_t StoredOptions(int kind) const
    {
        const QByteArray soft = SoftDataBytes();
        return std::uint8_t(
            soft[int(offsetof(ST_SOFTDATA, names) + kind * sizeof(ST_NAMESET) + offsetof(ST_NAMESET, nOptions))]);
    }
    static void SetEdit(QDialog& dialog, const char* id, const QString& text)
    {
        dialog.findChild<QLineEdit*>(QString::fromLatin1(id))->setText(text);
    }
    static void PressOk(QDialog& dialog) { dialog.findChild<QPushButton*>(u"1023"_s)->click(); }
};
} // namespace

TEST_F(MenuTest, EveryPopupAndItemIsThere)
{
    StartWindow();
    QStringList titles;
    for (QAction* action : window->menuBar()->actions())
        titles << action->text();
    // The titles follow each other as on any menu bar, each with its Alt letter: no blank item
    // pushes 帮助 along.
    EXPECT_EQ(titles, (QStringList{u"<登录>(&L)"_s, u"<设置>(&S)"_s, u"<导入/导出>(&I)"_s, u"<辅助功能>(&T)"_s,
                                   u"<帮助>(&H)"_s}));
    EXPECT_EQ(Item(32781)->text(), u"QQ（绑定的QQ不用在下载器里登录）"_s);
    QStringList settings;
    for (QAction* action : PopupOf(32778)->actions())
        settings << (action->isSeparator() ? u"-"_s : action->objectName());
    EXPECT_EQ(settings, (QStringList{u"32778"_s, u"32779"_s, u"-"_s, u"32802"_s, u"32804"_s, u"-"_s, u"32799"_s,
                                     u"32800"_s, u"32774"_s, u"32812"_s, u"-"_s, u"32808"_s}));
    EXPECT_EQ(Item(32775)->text(), u"版本信息"_s);
}

TEST_F(MenuTest, AToggleFlipsOnlyTheCurrentServicesBitAndTheChecksFollowTheService)
{
    StartWindow();
    SelectService(SK_BAIDU);
    Item(CMD_FIX_ORDER)->trigger();
    EXPECT_EQ(StoredOptions(SK_BAIDU), OPT_FIX_ORDER);
    EXPECT_EQ(StoredOptions(SK_TENCENT), 0);
    Item(CMD_SKIP_OLD)->trigger();
    EXPECT_EQ(StoredOptions(SK_BAIDU), OPT_FIX_ORDER | OPT_SKIP_OLD);

    OpenPopupOf(CMD_FIX_ORDER);
    EXPECT_TRUE(Item(CMD_FIX_ORDER)->isChecked());
    EXPECT_FALSE(Item(CMD_FIX_FORMAT)->isChecked());
    EXPECT_FALSE(Item(CMD_TAOBAO_MAIN)->isEnabled());
    SelectService(SK_TENCENT);
    OpenPopupOf(CMD_FIX_ORDER);
    EXPECT_FALSE(Item(CMD_FIX_ORDER)->isChecked());
    SelectService(SK_TAOBAO);
    OpenPopupOf(CMD_FIX_ORDER);
    EXPECT_TRUE(Item(CMD_TAOBAO_MAIN)->isEnabled());

    SelectService(SK_BAIDU);
    Item(CMD_FIX_ORDER)->trigger(); // and off again
    EXPECT_EQ(StoredOptions(SK_BAIDU), OPT_SKIP_OLD);

    // A settings file that cannot be written is told, not passed over.
    ASSERT_TRUE(QFile::remove(appDir.file(u"soft.dat"_s)));
    ASSERT_TRUE(QDir(appDir.path()).mkdir(u"soft.dat"_s));
    Item(CMD_FIX_FORMAT)->trigger();
    EXPECT_EQ(answerer.Texts(), QStringList{u"无法保存设置文件："_s + appDir.file(u"soft.dat"_s)});
}

TEST_F(MenuTest, ARefusedOrCancelledDownloadDialogWritesNothing)
{
    StartWindow();
    SelectService(SK_RENREN);
    const QByteArray before = SoftDataBytes();
    const QDateTime written = QFileInfo(appDir.file(u"soft.dat"_s)).lastModified();
    answerer.QueueDialogHandler([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), u"设置"_s);
        // Which service's settings these are is said inside.
        const QString service = QString::fromUtf16(ServiceNameOf(SK_RENREN).listText);
        const QList<QGroupBox*> groups = dialog.findChildren<QGroupBox*>();
        EXPECT_TRUE(std::any_of(groups.begin(), groups.end(),
                                [&](const QGroupBox* group) { return group->title().contains(service); }))
            << service.toStdString();
        EXPECT_EQ(dialog.findChild<QLineEdit*>(u"1002"_s)->text(), u"5"_s);
        SetEdit(dialog, "1002", u"16"_s);
        PressOk(dialog); // refused, the field named; the dialog stays open
    });
    // The dialog comes back after the message: now it is closed without OK.
    answerer.QueueDialogHandler([](QDialog& dialog) { dialog.reject(); });
    Item(CMD_DOWN_PARAM)->trigger();
    EXPECT_EQ(answerer.Texts(), QStringList{u"参数错误：线程数 应为 1~15"_s});
    EXPECT_EQ(SoftDataBytes(), before);
    EXPECT_EQ(QFileInfo(appDir.file(u"soft.dat"_s)).lastModified(), written);

    answerer.QueueDialogHandler([](QDialog& dialog) {
        SetEdit(dialog, "1002", u"9"_s);
        SetEdit(dialog, "1003", u"9"_s);
        PressOk(dialog); // a time-out of 9 is refused
    });
    answerer.QueueDialogHandler([](QDialog& dialog) {
        SetEdit(dialog, "1003", u"10"_s);
        SetEdit(dialog, "1000", u"20"_s);
        PressOk(dialog);
    });
    Item(CMD_DOWN_PARAM)->trigger();
    const ST_DOWNPARAM stored = window->Core().DownParam(SK_RENREN);
    EXPECT_EQ(stored.nThreads, 9);
    EXPECT_EQ(stored.nTimeout, 10);
    EXPECT_EQ(stored.nMinKB, 20);
    EXPECT_EQ(window->Core().DownParam(SK_TENCENT).nThreads, 5);
    EXPECT_NE(SoftDataBytes(), before);

    // The restraint rows go to talvoria.ini; one out of range is refused like the others.
    answerer.QueueDialogHandler([](QDialog& dialog) {
        SetEdit(dialog, "sleepRequest", u"0.5"_s);
        SetEdit(dialog, "maxPerHost", u"16"_s);
        PressOk(dialog);
    });
    answerer.QueueDialogHandler([](QDialog& dialog) {
        SetEdit(dialog, "maxPerHost", u"2"_s);
        SetEdit(dialog, "limitRate", u"500"_s);
        for (const char* box : {"keepServerTimes", "writeMetadata"})
            dialog.findChild<QCheckBox*>(QLatin1String(box))->setChecked(true);
        PressOk(dialog);
    });
    Item(CMD_DOWN_PARAM)->trigger();
    EXPECT_EQ(answerer.Texts().last(), u"参数错误：每个主机的连接数 应为 0~15"_s);
    const ServiceExtras extras = CExtraSettings(window->Core().m_strAppDir).Extras(SK_RENREN);
    EXPECT_EQ(extras.sleepRequestMs, 500);
    EXPECT_EQ(extras.maxPerHost, 2);
    EXPECT_EQ(extras.limitRate, 500 * 1024);
    EXPECT_TRUE(extras.keepServerTimes);
    EXPECT_TRUE(extras.writeMetadata);
    EXPECT_EQ(window->Core().Extras(SK_TENCENT).sleepRequestMs, 0);
}

TEST_F(MenuTest, TheNameDialogStoresThirtyEightCharactersAndTheChoices)
{
    StartWindow();
    SelectService(SK_YUPOO);
    const QByteArray before = SoftDataBytes();
    answerer.QueueDialogHandler([](QDialog& dialog) {
        SetEdit(dialog, "1000", u"never stored"_s);
        // The explanation link opens the explanation.
        Q_EMIT dialog.findChild<QLabel*>(u"1010"_s)->linkActivated(u"#"_s);
        dialog.reject();
    });
    Item(CMD_NAME_SET)->trigger();
    EXPECT_EQ(SoftDataBytes(), before);
    ASSERT_EQ(answerer.Texts().size(), 1);
    EXPECT_TRUE(answerer.Texts()[0].startsWith(u"前缀和后缀里可以用：?1 相册名"_s)) << answerer.Texts()[0].toStdString();

    const QString fifty = QString(50, u'前');
    answerer.QueueDialogHandler([&fifty](QDialog& dialog) {
        SetEdit(dialog, "1000", fifty);
        SetEdit(dialog, "1003", u"?2"_s);
        dialog.findChild<QRadioButton*>(u"1018"_s)->setChecked(true);
        dialog.findChild<QRadioButton*>(u"1020"_s)->setChecked(true);
        PressOk(dialog);
    });
    Item(CMD_NAME_SET)->trigger();
    const ST_NAMESET stored = window->Core().NameSet(SK_YUPOO);
    EXPECT_EQ(FieldText(stored.szPrefix), fifty.left(38));
    EXPECT_EQ(FieldText(stored.szDirSuffix), u"?2"_s);
    EXPECT_EQ(stored.nNameSource, 2);
    EXPECT_EQ(stored.nDirSource, 1);
    EXPECT_EQ(window->Core().NameSet(SK_TENCENT).nNameSource, 0);
}

TEST_F(MenuTest, LoginItemsOpenTheirStartPagesAndReplaceTheOpenBrowser)
{
    EXPECT_EQ(LoginStartPage(CMD_LOGIN_QZONE, u" 12345 "_s), u"http://user.qzone.qq.com/12345"_s);
    EXPECT_EQ(LoginStartPage(CMD_LOGIN_QZONE, u"someone"_s), u"http://user.qzone.qq.com/"_s);
    EXPECT_EQ(LoginStartPage(CMD_LOGIN_MOKO, u"12345"_s),
              u"http://www.moko.cc/jsps/common/login.jsp?tourl=http%3A%2F%2Fwww.moko.cc%2F"_s);
    EXPECT_EQ(LoginStartPage(CMD_LOGIN_YUPOO, {}), u"http://www.yupoo.com/account/login/"_s);

    StartWindow();
    TypeAddress(u"12345"_s);
    Item(CMD_LOGIN_QZONE)->trigger();
    QPointer<CDlgWebOpen> first = window->LoginBrowser();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(first->findChild<QLineEdit*>(u"1001"_s)->text(), u"http://user.qzone.qq.com/12345"_s);
    Item(CMD_LOGIN_RENREN)->trigger();
    ASSERT_TRUE(WaitFor([&first] { return first.isNull(); }));
    EXPECT_EQ(window->LoginBrowser()->findChild<QLineEdit*>(u"1001"_s)->text(), u"http://www.renren.com/"_s);
}

TEST_F(MenuTest, TheAboutBoxShowsTheVersion)
{
    StartWindow();
    QString version;
    answerer.QueueDialogHandler([&version](QDialog& about) {
        version = about.windowTitle() + u' ' + about.findChild<QLabel*>(u"1014"_s)->text();
        about.accept();
    });
    Item(CMD_VERSION)->trigger();
    EXPECT_EQ(version, u"关于 版本号：13.10.21.01"_s);
}

TEST(QtTextsTest, QtsOwnButtonsReadChinese)
{
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Open |
                         QDialogButtonBox::Save);
    const std::pair<QDialogButtonBox::StandardButton, QString> expected[] = {
        {QDialogButtonBox::Ok, u"确定"_s},
        {QDialogButtonBox::Cancel, u"取消"_s},
        {QDialogButtonBox::Open, u"打开"_s},
        {QDialogButtonBox::Save, u"保存"_s},
    };
    for (const auto& [button, text] : expected)
        EXPECT_TRUE(box.button(button)->text().contains(text)) << box.button(button)->text().toStdString();
}

TEST_F(MenuTest, FeedbackShowsTheDetailsToCopyAndAMissingFolderIsSaid)
{
    StartWindow();
    EXPECT_TRUE(GuideFile().endsWith(u"guide.html"_s)) << GuideFile().toStdString();
    QString details;
    answerer.QueueDialogHandler([&details](QDialog& dialog) {
        details = dialog.findChild<QPlainTextEdit*>(u"feedbackDetails"_s)->toPlainText();
        dialog.reject();
    });
    Item(CMD_FEEDBACK)->trigger();
    EXPECT_TRUE(details.startsWith(u"Talvoria "_s + QStringLiteral(TALVORIA_VERSION))) << details.toStdString();
    EXPECT_TRUE(details.contains(QString::fromLatin1(qVersion()))) << details.toStdString();
    EXPECT_TRUE(details.contains(window->Core().m_strAppDir)) << details.toStdString();

    const QString missing = saveDir.file(u"nowhere"_s);
    Control<CComboBox2>(u"1000"_s)->setEditText(missing);
    Click(u"1008"_s);
    EXPECT_EQ(answerer.Texts(), QStringList{u"文件夹不存在：%1"_s.arg(missing)});
}

TEST_F(MenuTest, FileToolChecksTheSaveFolderOffTheGuiThreadAndListsWhatItFound)
{
    StartWindow();
    QFile page(saveDir.file(u"album/page.jpg"_s));
    ASSERT_TRUE(QDir().mkpath(saveDir.file(u"album"_s)) && page.open(QIODevice::WriteOnly));
    page.write("<html><body>404</body></html>");
    page.close();
    QFile::copy(FixturePath(u"pictures/tiny.jpg"_s), saveDir.file(u"album/good.jpg"_s));

    QStringList results;
    QString summary;
    answerer.QueueDialogHandler([&](QDialog& dialog) {
        auto* start = dialog.findChild<QPushButton*>(u"fileToolStart"_s);
        start->click();
        EXPECT_EQ(start->text(), u"停止"_s);
        auto* list = dialog.findChild<QListWidget*>(u"fileToolResults"_s);
        WaitFor([start] { return start->text() == u"开始"_s; });
        for (int i = 0; i < list->count(); ++i)
            results << list->item(i)->text();
        summary = dialog.findChild<QLabel*>(u"fileToolSummary"_s)->text();
        dialog.reject();
    });
    Item(CMD_FILE_TOOL)->trigger();
    EXPECT_EQ(results, (QStringList{u"album/page.jpg    不是图片（网页，29字节）"_s}));
    EXPECT_EQ(summary, u"检查了2个文件，1个有问题"_s);
}
