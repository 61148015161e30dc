#include "app/MainMenu.h"

#include "app/DlgDownSet.h"
#include "app/DlgFileTool.h"
#include "app/DlgSaveSet.h"
#include "app/HelpWindows.h"
#include "app/AlbumGrid.h"
#include "app/LumarexDlg.h"
#include "app/MenuCommands.h"
#include "core/LumarexCore.h"
#include "core/SourceKind.h"
#include "run/RunController.h"
#include "run/Services.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

CMainMenu::CMainMenu(CLumarexDlg& window, QMenuBar& bar) : QObject(&window), m_window(window)
{
    bar.setObjectName(u"129"_s);
    QMenu* login = AddPopup(bar, u"<登录>(&L)"_s);
    for (const LoginCommand& command : LoginCommands())
        AddItem(*login, command.id, QString::fromUtf16(command.text));

    QMenu* settings = AddPopup(bar, u"<设置>(&S)"_s);
    AddItem(*settings, CMD_DOWN_PARAM, u"下载参数设置"_s);
    AddItem(*settings, CMD_NAME_SET, u"文件名设置"_s);
    for (const OptionCommand& command : OptionCommands()) {
        if (command.separatorBefore) settings->addSeparator();
        AddItem(*settings, command.id, QString::fromUtf16(command.text))->setCheckable(true);
    }

    QMenu* transfer = AddPopup(bar, u"<导入/导出>(&I)"_s);
    AddItem(*transfer, CMD_IMPORT_LIST, u"导入下载文件并开始下载"_s);
    transfer->addSeparator();
    AddItem(*transfer, CMD_EXPORT_LIST, u"导出下载文件"_s);
    AddItem(*transfer, CMD_EXPORT_THUNDER, u"导出迅雷下载列表"_s);
    transfer->addSeparator();
    AddItem(*transfer, CMD_RETRY_FAILED, u"重试失败的图集"_s);

    QMenu* tools = AddPopup(bar, u"<辅助功能>(&T)"_s);
    AddItem(*tools, CMD_FILE_TOOL, u"文件处理"_s);

    QMenu* help = AddPopup(bar, u"<帮助>(&H)"_s);
    AddItem(*help, CMD_USAGE, u"使用说明"_s);
    AddItem(*help, CMD_ENQUIRY, u"软件咨询"_s);
    AddItem(*help, CMD_FEEDBACK, u"问题反馈"_s);
    help->addSeparator();
    AddItem(*help, CMD_VERSION, u"版本信息"_s);
}

QMenu* CMainMenu::AddPopup(QMenuBar& bar, const QString& title)
{
    QMenu* popup = bar.addMenu(title);
    connect(popup, &QMenu::aboutToShow, this, [this, popup] { OnMenuPopup(*popup); });
    return popup;
}

QAction* CMainMenu::AddItem(QMenu& menu, int id, const QString& text)
{
    QAction* action = menu.addAction(text);
    action->setObjectName(QString::number(id));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { OnMenuCommand(id); });
    return action;
}

void CMainMenu::OnMenuPopup(QMenu& popup)
{
    const CLumarexCore& core = m_window.Core();
    const std::uint8_t options = core.NameSet(core.m_nSourceKind).nOptions;
    for (QAction* action : popup.actions()) {
        const int id = action->data().toInt();
        if (const OptionCommand* option = FindOptionCommand(id)) action->setChecked(options & option->bit);
        if (id == CMD_TAOBAO_MAIN) action->setEnabled(core.m_nSourceKind == SK_TAOBAO);
        if (id == CMD_RETRY_FAILED) action->setEnabled(m_window.CanRetryFailed());
    }
}

void CMainMenu::OnMenuCommand(int id)
{
    if (const OptionCommand* option = FindOptionCommand(id)) {
        ToggleOption(option->bit);
        return;
    }
    if (FindLoginCommand(id)) {
        OpenLogin(id);
        return;
    }
    switch (id) {
    case CMD_DOWN_PARAM:
        EditDownParam();
        break;
    case CMD_NAME_SET:
        EditNameSet();
        break;
    case CMD_VERSION:
        m_window.ShowAbout();
        break;
    case CMD_USAGE:
    case CMD_ENQUIRY:
        // The enquiries are answered by the guide's questions.
        if (!ShowGuide(m_window, id == CMD_ENQUIRY ? u"faq"_s : QString()))
            m_window.ShowMessageBox(u"找不到使用说明"_s);
        break;
    case CMD_FEEDBACK:
        ShowFeedback(m_window, m_window.Core().m_strAppDir);
        break;
    case CMD_FILE_TOOL:
        OpenFileTool();
        break;
    case CMD_IMPORT_LIST:
        ImportList();
        break;
    case CMD_EXPORT_LIST:
    case CMD_EXPORT_THUNDER:
        ExportList(id);
        break;
    case CMD_RETRY_FAILED:
        m_window.OnRetryFailed();
        break;
    default:
        break;
    }
}

QString CMainMenu::ChooseListFile(bool forSaving, const QString& title, const QString& filter, const QString& name)
{
    const QString folder = m_listFolder.isEmpty() ? m_window.SavePathText().trimmed() : m_listFolder;
    QFileDialog dialog(&m_window, title, folder, filter);
    dialog.setObjectName(forSaving ? u"exportListDialog"_s : u"importListDialog"_s);
    // The Qt dialog, so that it behaves the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (forSaving) dialog.selectFile(name);
    if (m_window.RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().front();
    m_listFolder = QFileInfo(path).absolutePath();
    return path;
}

void CMainMenu::ImportList()
{
    // Asked before the file dialog, so that a busy run does not cost the user a choice.
    if (m_window.Runs().IsBusy()) {
        m_window.ShowMessageBox(u"请等待当前任务结束"_s);
        return;
    }
    const QString path = ChooseListFile(false, u"导入下载文件"_s, u"下载文件 (*.lst *.txt);;所有文件 (*)"_s, {});
    if (!path.isEmpty()) m_window.ImportListFile(path);
}

void CMainMenu::ExportList(int id)
{
    if (m_window.Runs().IsBusy()) {
        m_window.ShowMessageBox(u"请等待当前任务结束"_s);
        return;
    }
    const std::vector<int> selection = m_window.Grid().SelectedAlbums();
    if (selection.empty()) {
        m_window.ShowMessageBox(NoAlbumSelectedMessage());
        return;
    }
    const bool thunder = id == CMD_EXPORT_THUNDER;
    const QString ownerFolder = m_window.Core().Listing().m_strOwnerName.section(u'/', 0, 0);
    const QString owner = ownerFolder.isEmpty() ? u"下载列表"_s : ownerFolder;
    const QString path = thunder
                             ? ChooseListFile(true, u"导出迅雷下载列表"_s, u"迅雷下载列表 (*.lst)"_s, owner + u".lst"_s)
                             : ChooseListFile(true, u"导出下载文件"_s, u"aria2 下载文件 (*.txt)"_s, owner + u".txt"_s);
    if (path.isEmpty()) return;
    const QString savePath = m_window.SavePathText();
    const ExportFormat format = thunder ? ExportFormat::Thunder : ExportFormat::Aria2;
    m_window.ForgetPendingDownload();
    m_window.Runs().OnExport(savePath, selection, path, format);
}

void CMainMenu::ToggleOption(std::uint8_t bit)
{
    CLumarexCore& core = m_window.Core();
    const int kind = core.m_nSourceKind;
    core.EditSoft([kind, bit](ST_SOFTDATA& soft) { soft.names[kind].nOptions ^= bit; });
}

void CMainMenu::EditDownParam()
{
    CLumarexCore& core = m_window.Core();
    const int kind = core.m_nSourceKind;
    ST_DOWNPARAM param = core.DownParam(kind);
    ServiceExtras extras = core.Extras(kind);
    CDlgDownSet dialog(param, extras, QString::fromUtf16(ServiceNameOf(kind).listText), &m_window);
    if (m_window.RunModal(dialog) != QDialog::Accepted) return;
    core.EditSoft([kind, &param](ST_SOFTDATA& soft) { soft.down[kind] = param; });
    if (!core.SetExtras(kind, extras))
        m_window.ShowMessageBox(u"无法保存设置文件：%1"_s.arg(core.m_strAppDir + u"talvoria.ini"_s));
}

void CMainMenu::EditNameSet()
{
    CLumarexCore& core = m_window.Core();
    const int kind = core.m_nSourceKind;
    ST_NAMESET nameSet = core.NameSet(kind);
    CDlgSaveSet dialog(nameSet, QString::fromUtf16(ServiceNameOf(kind).listText), &m_window);
    if (m_window.RunModal(dialog) != QDialog::Accepted) return;
    // Only what the dialog edits is taken: the option bits may have changed meanwhile.
    core.EditSoft([kind, &nameSet](ST_SOFTDATA& soft) {
        nameSet.nOptions = soft.names[kind].nOptions;
        nameSet.nReserved = soft.names[kind].nReserved;
        soft.names[kind] = nameSet;
    });
}

void CMainMenu::OpenLogin(int id)
{
    m_window.OpenLoginBrowser(LoginStartPage(id, m_window.AddressText()));
}

void CMainMenu::OpenFileTool()
{
    CDlgFileTool dialog(m_window.SavePathText(), &m_window);
    m_window.RunModal(dialog);
}
