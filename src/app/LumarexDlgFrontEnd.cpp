// What the core shows through the window: messages, questions and the state of the controls.
#include "app/LumarexDlg.h"

#include "app/AlbumGrid.h"
#include "app/AlbumView.h"
#include "app/ComboBox2.h"
#include "app/ElidedLabel.h"
#include "core/FrontEnd.h"
#include "core/LumarexCore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

using namespace Qt::StringLiterals;

void CLumarexDlg::ShowMessageBox(const QString& text)
{
    QMessageBox box(QMessageBox::Information, u"Talvoria"_s, text, QMessageBox::Ok, this);
    RunModal(box);
}

bool CLumarexDlg::AskYesNoBox(const QString& text)
{
    QMessageBox box(QMessageBox::Question, u"提示"_s, text, QMessageBox::Yes | QMessageBox::No, this);
    return RunModal(box) == QMessageBox::Yes;
}

QString CLumarexDlg::AddressText() const
{
    return m_cbAddress->currentText();
}

QString CLumarexDlg::SavePathText() const
{
    return m_cbSavePath->currentText();
}

void CLumarexDlg::UpdateDownloadButton()
{
    // A press with nothing selected would only begin a run to say so.
    const bool canStart = !m_listingShown && !m_grid->SelectedAlbums().empty();
    m_download->setEnabled(m_downloadShown || canStart);
}

void CLumarexDlg::ApplyStatusText(StatusLine line, const QString& text)
{
    switch (line) {
    case StatusLine::Counts:
        m_counts->SetFullText(text);
        break;
    case StatusLine::Phase:
        m_phase->SetFullText(text);
        break;
    case StatusLine::AlbumFrame:
        m_albumFrame->setTitle(text);
        break;
    }
}

void CLumarexDlg::ApplyGetListUi(bool running)
{
    m_services->setEnabled(!running);
    m_cbAddress->setEnabled(!running);
    m_previewBox->setEnabled(!running);
    m_listingShown = running;
    UpdateDownloadButton();
    m_getAlbums->setText(running ? u"终止获取"_s : u"获取相册"_s);
    UpdateRetryButton();
    if (running) {
        m_selectAll->setChecked(false);
        return;
    }
    // A listing that found albums has put its address at the top of the history.
    const QString newest = HistoryEntry(m_core->Soft(), History::Address, 0);
    if (!newest.isEmpty() && !m_cbAddress->Items().contains(newest)) m_cbAddress->AddItem(newest);
}

void CLumarexDlg::ApplyDownloadUi(bool running)
{
    m_download->setText(running ? u"终止下载"_s : u"下载"_s);
    m_downloadShown = running;
    UpdateDownloadButton();
    ShowProgress(running);
    if (running) m_view->Statuses().BeginRun(std::exchange(m_pendingRun, {}));
    UpdateRetryButton();
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_services, m_getAlbums, m_browse, m_cbAddress, m_cbSavePath})
        control->setEnabled(!running);
}
