#include "app/HelpWindows.h"

#include "app/LumarexDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

QString GuideFile()
{
    const QString installed = QCoreApplication::applicationDirPath() + u"/../share/talvoria/guide.html"_s;
    for (const QString& candidate : {installed, QStringLiteral(TALVORIA_SOURCE_GUIDE)})
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    return {};
}

bool ShowGuide(CLumarexDlg& window, const QString& anchor)
{
    const QString file = GuideFile();
    if (file.isEmpty()) return false;
    QUrl url = QUrl::fromLocalFile(file);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    if (QDesktopServices::openUrl(url)) return true;
    QDialog guide(&window);
    guide.setObjectName(u"guideWindow"_s);
    guide.setWindowTitle(u"使用说明"_s);
    auto* browser = new QTextBrowser(&guide);
    browser->setOpenExternalLinks(true);
    browser->setSource(url);
    auto* layout = new QVBoxLayout(&guide);
    layout->addWidget(browser);
    guide.resize(720, 560);
    window.RunModal(guide);
    return true;
}

QString FeedbackDetails(const QString& appDir)
{
    return u"Talvoria %1\n系统：%2（%3 %4，%5）\nQt：%6，界面平台 %7\n应用程序文件夹：%8"_s.arg(
        QStringLiteral(TALVORIA_VERSION), QSysInfo::prettyProductName(), QSysInfo::kernelType(),
        QSysInfo::kernelVersion(), QSysInfo::currentCpuArchitecture(), QString::fromLatin1(qVersion()),
        QGuiApplication::platformName(), appDir);
}

void ShowFeedback(CLumarexDlg& window, const QString& appDir)
{
    QDialog feedback(&window);
    feedback.setObjectName(u"feedbackWindow"_s);
    feedback.setWindowTitle(u"问题反馈"_s);
    auto* intro = new QLabel(u"请复制下面的信息，连同问题的经过（网址、服务、出错的提示）一起发给开发者。\n"
                             "应用程序文件夹里的诊断文件也有助于找到原因。"_s,
                             &feedback);
    auto* details = new QPlainTextEdit(FeedbackDetails(appDir), &feedback);
    details->setObjectName(u"feedbackDetails"_s);
    details->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &feedback);
    QPushButton* copy = buttons->addButton(u"复制"_s, QDialogButtonBox::ActionRole);
    QPushButton* folder = buttons->addButton(u"打开文件夹"_s, QDialogButtonBox::ActionRole);
    QObject::connect(copy, &QPushButton::clicked, details,
                     [details] { QGuiApplication::clipboard()->setText(details->toPlainText()); });
    QObject::connect(folder, &QPushButton::clicked, &window, [&window, appDir] { window.OpenFolder(appDir); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &feedback, &QDialog::reject);
    auto* layout = new QVBoxLayout(&feedback);
    layout->addWidget(intro);
    layout->addWidget(details);
    layout->addWidget(buttons);
    feedback.resize(560, 260);
    window.RunModal(feedback);
}
