#pragma once

#include "core/FileToolReport.h"
#include "run/FileToolRun.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

// "文件处理": runs one action of the file tool over a folder and lists what it names. The work
// runs on the tool's own thread; every report is carried over to the GUI thread. Closing the
// dialog stops a run and waits for it.
class CDlgFileTool : public QDialog {
    Q_OBJECT
public:
    CDlgFileTool(const QString& folder, QWidget* parent = nullptr);

    // "开始", and "停止" while a run is under way.
    void OnStartOrStop();
    bool IsRunning() const { return m_running; }

private:
    void ChooseFolder();
    void SetRunning(bool running);
    void ShowFinding(const FileFinding& finding);
    void ShowEnd(const FileToolTally& tally);
    FileToolReport PostingReport();

    QLineEdit* m_folder;
    QComboBox* m_action;
    QPushButton* m_browse;
    QPushButton* m_start;
    QProgressBar* m_progress;
    QListWidget* m_results;
    QLabel* m_summary;
    QString m_runFolder;
    FileToolAction m_runAction = FileToolAction::Check;
    // From the start until its end has reached this thread: the tool's thread is idle a moment
    // earlier, when the end is still on its way.
    bool m_running = false;
    // Last: it stops and joins its thread before the widgets it posts to go.
    CFileToolRun m_run;
};
