// The main window's commands: the two buttons, the save-path controls, dropped folders, the find
// box and the login browser.
#include "app/LumarexDlg.h"

#include "app/AboutBox.h"
#include "app/AlbumGrid.h"
#include "app/AlbumView.h"
#include "app/ComboBox2.h"
#include "app/DlgFind.h"
#include "app/DlgWebOpen.h"
#include "core/LumarexCore.h"
#include "run/RunController.h"

#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

using namespace Qt::StringLiterals;

void CLumarexDlg::OnGetAlbums()
{
    m_runs->OnGetAlbums(m_cbAddress->currentText());
}

void CLumarexDlg::OnDownload()
{
    StartDownload(m_grid->SelectedAlbums());
}

void CLumarexDlg::StartDownload(const std::vector<int>& albums)
{
    // A press while something runs starts nothing (it may stop the download).
    m_pendingRun.clear();
    if (!m_runs->IsBusy()) {
        const int count = m_core->m_pAlbumList->Count();
        for (int album : albums)
            if (album >= 0 && album < count) m_pendingRun.push_back(album);
    }
    m_runs->OnDownload(m_cbSavePath->currentText(), albums);
    if (!m_runs->IsBusy()) m_pendingRun.clear(); // its thread could not start
}

bool CLumarexDlg::CanRetryFailed() const
{
    return !m_runs->IsBusy() && !m_view->Statuses().AlbumsToRetry().empty();
}

void CLumarexDlg::OnRetryFailed()
{
    // Through the download button a press while running would stop the run.
    if (CanRetryFailed()) StartDownload(m_view->Statuses().AlbumsToRetry());
}

void CLumarexDlg::OnBrowseSavePath()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, u"请选择文件保存目录："_s, m_cbSavePath->currentText());
    if (!folder.isEmpty()) UseSavePath(folder);
}

void CLumarexDlg::UseSavePath(QString path)
{
    if (path.isEmpty()) return;
    if (!path.endsWith(u'/')) path += u'/';
    m_cbSavePath->setEditText(path);
    if (m_core->AddToHistory(History::SavePath, path)) m_cbSavePath->AddItem(path);
}

void CLumarexDlg::OnOpenSavePath()
{
    // While pictures are being saved the album's own folder is the interesting one.
    if (const QString poolFolder = m_core->PoolFolder(); !poolFolder.isEmpty()) {
        OpenFolder(poolFolder);
        return;
    }
    const QString typed = m_cbSavePath->currentText().trimmed();
    if (!typed.isEmpty()) OpenFolder(typed);
}

void CLumarexDlg::OpenFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void CLumarexDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CLumarexDlg::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    OnPathDropped(urls.first().toLocalFile());
    event->acceptProposedAction();
}

void CLumarexDlg::OnPathDropped(const QString& path)
{
    const QString dropped = QDir::cleanPath(path);
    // A dropped file stands for its folder. An existing path says itself what it is; a missing
    // one counts as a file when its last "." comes after its last "/".
    const QFileInfo info(dropped);
    const bool isFile = info.exists() ? !info.isDir() : dropped.lastIndexOf(u'.') > dropped.lastIndexOf(u'/');
    UseSavePath(isFile ? info.path() : dropped);
}

void CLumarexDlg::OnFindLink()
{
    if (!m_pFindDlg) m_pFindDlg = new CDlgFind(*m_grid, this);
    m_pFindDlg->ShowBesideGrid();
}

void CLumarexDlg::OpenLoginBrowser(const QString& url)
{
    if (m_pLoginDlg) m_pLoginDlg->deleteLater();
    m_pLoginDlg = new CDlgWebOpen(m_cookies, this);
    m_pLoginDlg->m_strStartUrl = url;
    m_pLoginDlg->show();
}

void CLumarexDlg::RunLoginPage(const QString& url)
{
    CDlgWebOpen login(m_cookies, this);
    login.m_strStartUrl = url;
    RunModal(login);
}

void CLumarexDlg::ShowAbout()
{
    CAboutBox about(this);
    RunModal(about);
}
