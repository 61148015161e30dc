// Start-up and shutdown of the main window.
#include "app/LumarexDlg.h"

#include "MyCode/CookieStore.h"
#include "app/AlbumView.h"
#include "app/ComboBox2.h"
#include "app/SplashWindow.h"
#include "app/WindowPlaces.h"
#include "core/AppPaths.h"
#include "core/LumarexCore.h"
#include "run/RunController.h"
#include "run/Services.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {
constexpr int kMaxClipboardAddress = 199;
// A bare number is taken for a QQ number, which has 5 to 11 digits.
const QRegularExpression kQqNumber(u"^[0-9]{5,11}$"_s);
const QRegularExpression kSpace(u"\\s"_s);

// The clipboard holds whatever the user copied last: only an address some service recognises,
// or a QQ number, is worth putting into the address box.
bool IsOwnerAddress(const QString& text)
{
    if (text.isEmpty() || text.size() > kMaxClipboardAddress) return false;
    if (kQqNumber.match(text).hasMatch()) return true;
    return !text.contains(kSpace) && RecognizeService(text, -1) >= 0;
}
} // namespace

void CLumarexDlg::Start()
{
    TakeClipboardAddress();
    ProposeSavePath();
    m_core->LoadSoftData();
    FillHistories();

    m_pSplash = new CSplashWindow;
    m_pSplash->show();
    hide();
    // Reading the cookie file is the start-up work that may take a while.
    const QString cookiesFile = m_core->m_strAppDir + u"cookies.txt"_s;
    QThread* startup = QThread::create([cookiesFile] { CCookieStore::Instance().Load(cookiesFile); });
    connect(startup, &QThread::finished, this, &CLumarexDlg::FinishStartup);
    connect(startup, &QThread::finished, startup, &QObject::deleteLater);
    startup->start();
}

void CLumarexDlg::TakeClipboardAddress()
{
    const QString text = QGuiApplication::clipboard()->text().trimmed();
    if (IsOwnerAddress(text)) m_cbAddress->setEditText(text);
}

void CLumarexDlg::ProposeSavePath()
{
    m_cbSavePath->setEditText(DefaultSavePath());
}

void CLumarexDlg::FillHistories()
{
    const ST_SOFTDATA soft = m_core->Soft();
    for (int i = 0; i < kHistoryEntries; ++i) {
        const QString address = HistoryEntry(soft, History::Address, i);
        if (!address.isEmpty()) m_cbAddress->AddItem(address);
        const QString savePath = HistoryEntry(soft, History::SavePath, i);
        if (!savePath.isEmpty()) m_cbSavePath->AddItem(savePath);
    }
    // The folder of the last download started; else the newest one chosen.
    QString latest = m_places->LastSavePath();
    if (latest.isEmpty()) latest = HistoryEntry(soft, History::SavePath, 0);
    if (!latest.isEmpty()) m_cbSavePath->setEditText(latest);
}

void CLumarexDlg::FinishStartup()
{
    if (m_closed) return;
    for (int kind = 0; kind < kFamilyCount; ++kind)
        m_services->addItem(QString::fromUtf16(ServiceNameOf(kind).listText));
    m_services->setCurrentIndex(0);
    RecognizeAddress();
    if (m_pSplash) m_pSplash->FadeOut();
    m_pSplash = nullptr;
    show();
    m_places->FitToScreen(); // now with the window manager's frame
    m_core->m_bReady = true;
}

void CLumarexDlg::RecognizeAddress()
{
    if (m_services->count() == 0) return; // the service list is filled at the end of start-up
    const int kind = RecognizeService(m_cbAddress->currentText(), m_services->currentIndex());
    if (kind != m_services->currentIndex()) m_services->setCurrentIndex(kind);
}

int CLumarexDlg::RunModal(QDialog& dialog)
{
    if (m_closed) return QDialog::Rejected;
    m_modalDialogs.append(&dialog);
    const int result = dialog.exec();
    m_modalDialogs.removeAll(&dialog);
    return result;
}

void CLumarexDlg::OnLaterLaunch(const QString& address)
{
    UseAddress(address);
    if (!m_core->m_bReady) return; // the window shows itself when start-up ends
    showNormal();
    raise();
    activateWindow();
}

void CLumarexDlg::closeEvent(QCloseEvent* event)
{
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    Shutdown();
    QMainWindow::closeEvent(event);
}

bool CLumarexDlg::ConfirmClose()
{
    if (m_closed || !m_runs->IsBusy()) return true;
    const QString question =
        m_core->States().IsListing() ? u"正在获取相册列表，确定退出吗？"_s : u"正在下载，确定退出吗？"_s;
    if (!AskYesNoBox(question)) return false;
    // The run may have ended while the question stood; either way nothing is left running.
    Shutdown();
    m_runs->Wait();
    return true;
}

void CLumarexDlg::Shutdown()
{
    if (m_closed) return;
    m_closed = true;
    // Workers waiting for an answer are released first, so that nothing below waits on them.
    m_bridge.Shutdown();
    for (const QPointer<QDialog>& dialog : m_modalDialogs)
        if (dialog) dialog->reject();
    m_runs->RequestStop();
    m_view->Shutdown();
    m_cookies.SaveNow();
    if (m_pLoginDlg) m_pLoginDlg->close();
}
