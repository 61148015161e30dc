// The main window's commands: the two buttons, the save-path controls, dropped links, lists and
// folders, the find box and the login browser.
#include "app/LumarexDlg.h"

#include "app/AboutBox.h"
#include "app/AlbumGrid.h"
#include "app/AlbumView.h"
#include "app/ComboBox2.h"
#include "app/DlgFind.h"
#include "app/DlgWebOpen.h"
#include "app/WindowPlaces.h"
#include "core/LumarexCore.h"
#include "run/RunController.h"

#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
// How much of a dropped text file is read to tell a download list from any other text.
constexpr qint64 kListSniffBytes = 64 * 1024;

bool IsWebLink(const QUrl& url)
{
    return url.scheme() == u"http"_s || url.scheme() == u"https"_s;
}

// What the import reads: a ".lst" list, or an aria2 input file, whose addresses carry indented
// "out=" or "header=" lines.
bool IsDownloadList(const QFileInfo& file)
{
    if (!file.isFile()) return false;
    if (file.suffix().compare(u"lst"_s, Qt::CaseInsensitive) == 0) return true;
    if (file.suffix().compare(u"txt"_s, Qt::CaseInsensitive) != 0) return false;
    QFile text(file.filePath());
    if (!text.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : text.read(kListSniffBytes).split('\n')) {
        const QByteArray option = line.trimmed();
        const bool indented = !line.isEmpty() && (line[0] == ' ' || line[0] == '\t');
        if (indented && (option.startsWith("out=") || option.startsWith("header="))) return true;
    }
    return false;
}
} // namespace

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
    const bool wasBusy = m_runs->IsBusy();
    if (!wasBusy) {
        const int count = m_core->m_pAlbumList->Count();
        for (int album : albums)
            if (album >= 0 && album < count) m_pendingRun.push_back(album);
    }
    const QString savePath = m_cbSavePath->currentText();
    m_runs->OnDownload(savePath, albums);
    if (!m_runs->IsBusy()) {
        m_pendingRun.clear(); // its thread could not start
        return;
    }
    // A folder typed and used is kept like one chosen.
    if (!wasBusy && !savePath.trimmed().isEmpty()) {
        m_places->RememberSavePath(savePath);
        if (m_core->AddToHistory(History::SavePath, savePath)) m_cbSavePath->AddItem(savePath);
    }
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
    if (!QFileInfo(path).isDir()) {
        ShowMessageBox(u"文件夹不存在：%1"_s.arg(path));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) ShowMessageBox(u"无法打开文件夹：%1"_s.arg(path));
}

void CLumarexDlg::dragEnterEvent(QDragEnterEvent* event)
{
    // Only what a drop can use is accepted, so the cursor tells the truth.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && (urls.first().isLocalFile() || IsWebLink(urls.first()))) event->acceptProposedAction();
}

void CLumarexDlg::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty()) return;
    if (IsWebLink(urls.first()))
        OnLinkDropped(urls.first().toString());
    else if (urls.first().isLocalFile())
        OnPathDropped(urls.first().toLocalFile());
    else
        return;
    event->acceptProposedAction();
}

void CLumarexDlg::OnLinkDropped(const QString& url)
{
    if (m_runs->IsBusy()) return;
    UseAddress(url);
    OnGetAlbums();
}

void CLumarexDlg::UseAddress(const QString& address)
{
    if (!address.trimmed().isEmpty()) m_cbAddress->setEditText(address.trimmed());
}

void CLumarexDlg::ImportListFile(const QString& path)
{
    if (m_runs->IsBusy()) {
        ShowMessageBox(u"请等待当前任务结束"_s);
        return;
    }
    const QString savePath = SavePathText();
    ForgetPendingDownload();
    m_runs->OnImport(path, savePath);
}

void CLumarexDlg::OnPathDropped(const QString& path)
{
    const QString dropped = QDir::cleanPath(path);
    if (IsDownloadList(QFileInfo(dropped))) {
        if (AskYesNoBox(u"导入下载列表 %1 ？"_s.arg(dropped))) ImportListFile(dropped);
        return;
    }
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
