#include "app/DlgFileTool.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CDlgFileTool::CDlgFileTool(const QString& folder, QWidget* parent) : QDialog(parent)
{
    setObjectName(u"fileTool"_s);
    setWindowTitle(u"文件处理"_s);
    m_folder = new QLineEdit(folder.trimmed(), this);
    m_folder->setObjectName(u"fileToolFolder"_s);
    m_browse = new QPushButton(u"浏览..."_s, this);
    m_browse->setObjectName(u"fileToolBrowse"_s);
    m_action = new QComboBox(this);
    m_action->setObjectName(u"fileToolAction"_s);
    for (const FileToolActionName& name : FileToolActions())
        m_action->addItem(QString::fromUtf16(name.label), int(name.action));
    m_start = new QPushButton(u"开始"_s, this);
    m_start->setObjectName(u"fileToolStart"_s);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(u"fileToolProgress"_s);
    m_progress->setValue(0);
    m_results = new QListWidget(this);
    m_results->setObjectName(u"fileToolResults"_s);
    m_summary = new QLabel(this);
    m_summary->setObjectName(u"fileToolSummary"_s);
    auto* close = new QPushButton(u"关闭"_s, this);
    close->setObjectName(u"fileToolClose"_s);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(u"文件夹："_s, this));
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browse);
    auto* actionRow = new QHBoxLayout;
    actionRow->addWidget(new QLabel(u"操作："_s, this));
    actionRow->addWidget(m_action, 1);
    actionRow->addWidget(m_start);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_summary, 1);
    bottomRow->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folderRow);
    layout->addLayout(actionRow);
    layout->addWidget(m_progress);
    layout->addWidget(m_results, 1);
    layout->addLayout(bottomRow);
    resize(560, 380);

    connect(m_browse, &QPushButton::clicked, this, &CDlgFileTool::ChooseFolder);
    connect(m_start, &QPushButton::clicked, this, &CDlgFileTool::OnStartOrStop);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CDlgFileTool::ChooseFolder()
{
    QFileDialog dialog(this, u"选择文件夹"_s, m_folder->text().trimmed());
    dialog.setObjectName(u"fileToolFolderDialog"_s);
    // The Qt dialog, so that it behaves the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_folder->setText(QDir::toNativeSeparators(dialog.selectedFiles().front()));
}

void CDlgFileTool::OnStartOrStop()
{
    if (m_running) {
        m_run.RequestStop();
        m_start->setEnabled(false);
        return;
    }
    m_runFolder = QDir::cleanPath(m_folder->text().trimmed());
    m_runAction = FileToolAction(m_action->currentData().toInt());
    m_results->clear();
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_summary->setText(u"正在处理......"_s);
    if (!m_run.Start(m_runAction, m_runFolder, PostingReport())) {
        m_summary->setText(u"无法开始处理"_s);
        return;
    }
    SetRunning(true);
}

FileToolReport CDlgFileTool::PostingReport()
{
    // Each call comes from the tool's thread and runs on the GUI thread; calls still queued when
    // the dialog goes are dropped with it.
    FileToolReport report;
    report.progress = [this](int done, int total) {
        QMetaObject::invokeMethod(
            this,
            [this, done, total] {
                m_progress->setRange(0, std::max(total, 1));
                m_progress->setValue(total > 0 ? done : 1);
            },
            Qt::QueuedConnection);
    };
    report.found = [this](const FileFinding& finding) {
        QMetaObject::invokeMethod(this, [this, finding] { ShowFinding(finding); }, Qt::QueuedConnection);
    };
    report.finished = [this](const FileToolTally& tally) {
        QMetaObject::invokeMethod(this, [this, tally] { ShowEnd(tally); }, Qt::QueuedConnection);
    };
    return report;
}

void CDlgFileTool::ShowFinding(const FileFinding& finding)
{
    const QString shown = QDir(m_runFolder).relativeFilePath(finding.path);
    auto* item = new QListWidgetItem(u"%1    %2"_s.arg(QDir::toNativeSeparators(shown), finding.reason), m_results);
    item->setToolTip(QDir::toNativeSeparators(finding.path));
}

void CDlgFileTool::ShowEnd(const FileToolTally& tally)
{
    m_summary->setText(FileToolSummaryText(m_runAction, tally));
    SetRunning(false);
}

void CDlgFileTool::SetRunning(bool running)
{
    m_running = running;
    m_start->setText(running ? u"停止"_s : u"开始"_s);
    m_start->setEnabled(true);
    m_folder->setEnabled(!running);
    m_browse->setEnabled(!running);
    m_action->setEnabled(!running);
}
