#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class CLumarexDlg;
class QAction;
class QMenu;
class QMenuBar;

// Menu 129 of the main window: login pages, the settings of the current service and its option
// toggles, help. Every per-service command acts on the service current when it is chosen, and the
// check marks follow that service each time a menu opens.
class CMainMenu : public QObject {
    Q_OBJECT
public:
    CMainMenu(CLumarexDlg& window, QMenuBar& bar);

    // The command with that id (32772 to 32814); unknown ids do nothing.
    void OnMenuCommand(int id);
    // Sets the check marks and the enabled state of a pop-up's items for the current service.
    void OnMenuPopup(QMenu& popup);

private:
    QMenu* AddPopup(QMenuBar& bar, const QString& title);
    QAction* AddItem(QMenu& menu, int id, const QString& text);
    void ToggleOption(std::uint8_t bit);
    void EditDownParam();
    void EditNameSet();
    void OpenLogin(int id);
    // "文件处理", over the save folder unless another is chosen.
    void OpenFileTool();
    void ImportList();
    void ExportList(int id);
    // A list file chosen in a file dialog that starts in the folder of the previous choice;
    // empty when cancelled.
    QString ChooseListFile(bool forSaving, const QString& title, const QString& filter, const QString& name);

    CLumarexDlg& m_window;
    // The settings record keeps no list-file folder, so it is remembered for the session only.
    QString m_listFolder;
};
