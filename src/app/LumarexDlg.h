#pragma once

#include "app/CookieSync.h"
#include "app/DlgWebOpen.h"
#include "app/FrontEndBridge.h"

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <vector>

class CAlbumView;
class CComboBox2;
class CDlgFind;
class CElidedLabel;
class CLumarexCore;
class CRunController;
class CMainMenu;
class CMyGridCtrl;
class CSplashWindow;
class CWindowPlaces;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSystemTrayIcon;

// The main window: the service chooser, the address and save-path boxes, the two buttons that
// start and stop getting albums and downloading, the album grid and the status texts. It owns the
// core and is its front end (through CFrontEndBridge); every control carries its id as its
// object name.
class CLumarexDlg : public QMainWindow {
    Q_OBJECT
public:
    // appDir: the application folder, ending with "/".
    explicit CLumarexDlg(const QString& appDir, QWidget* parent = nullptr);
    ~CLumarexDlg() override;

    // The start-up order: address from the clipboard, save path, settings and histories, splash;
    // the start-up work then loads the cookies, and the window fills the service list, recognises
    // the address, shows itself and becomes ready.
    void Start();

    CLumarexCore& Core() { return *m_core; }
    CRunController& Runs() { return *m_runs; }
    CAlbumView& AlbumView() { return *m_view; }
    CMyGridCtrl& Grid() { return *m_grid; }
    CCookieSync& Cookies() { return m_cookies; }
    CDlgFind* FindBox() const { return m_pFindDlg; }
    CDlgWebOpen* LoginBrowser() const { return m_pLoginDlg; }

    // Commands of the controls.
    void OnGetAlbums();
    void OnDownload();
    void OnBrowseSavePath();
    void OnOpenSavePath();
    void OnFindLink();
    // "重试失败的图集": downloads again the albums the last download left failed, short or
    // stopped; files already there are skipped, so only what is missing is fetched.
    void OnRetryFailed();
    bool CanRetryFailed() const;
    // A run the grid does not start (import, export) is coming: a download of the grid's albums
    // that never got going is not mistaken for it.
    void ForgetPendingDownload() { m_pendingRun.clear(); }
    // A folder chosen or dropped: into the save-path box, and into its history when new.
    void UseSavePath(QString path);
    // The first of the files or folders dropped on the window: a list file is offered for
    // import, anything else names the save folder.
    void OnPathDropped(const QString& path);
    // A web address dropped on the window is listed at once.
    void OnLinkDropped(const QString& url);
    // "导入下载文件并开始下载" of this list file, unless a run is busy.
    void ImportListFile(const QString& path);
    // Into the address box, recognised as if typed; nothing when empty.
    void UseAddress(const QString& address);
    // A later launch of the program: this window comes to the front with its address.
    void OnLaterLaunch(const QString& address);
    // A modeless login browser on url, replacing the one open.
    void OpenLoginBrowser(const QString& url);
    // The about box.
    void ShowAbout();

    // What the core asks of the window, on the GUI thread (see CFrontEndBridge).
    void ShowMessageBox(const QString& text);
    bool AskYesNoBox(const QString& text);
    void RunLoginPage(const QString& url);
    void ApplyStatusText(StatusLine line, const QString& text);
    void ApplyProgress(const RunProgress& progress);
    void ApplyGetListUi(bool running);
    void ApplyDownloadUi(bool running);
    // One album's pool has ended; the whole run has ended with this summary.
    void ApplyAlbumFinished(const DownSummary& album);
    void ApplyRunFinished(const DownSummary& run);
    // How often the window has asked for attention at the end of a run.
    int AttentionRequests() const { return m_attentionRequests; }
    void OpenFolder(const QString& path);
    QString AddressText() const;
    QString SavePathText() const;

    // Runs a dialog modally; the window closes it (as cancelled) when the window itself closes.
    int RunModal(QDialog& dialog);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* BuildInputs();
    QWidget* BuildAlbumFrame();
    QWidget* BuildStatusRow();
    void ConnectControls();
    // Keys for the commands a keyboard user reaches for, and Tab in reading order.
    void AddShortcuts();
    void SetTabOrder();
    // Enabled while a run can be stopped with it, or when idle with albums selected.
    void UpdateDownloadButton();
    // A close while a run is busy asks first; yes stops the run and waits for it.
    bool ConfirmClose();
    void TakeClipboardAddress();
    void ProposeSavePath();
    void FillHistories();
    void FinishStartup();
    void RecognizeAddress();
    void Shutdown();
    // Shows the progress bars, empty, for a run; hides them (keeping their place) at its end.
    void ShowProgress(bool running);
    // Downloads these albums of the grid, following them in the 状态 column.
    void StartDownload(const std::vector<int>& albums);
    void UpdateRetryButton();
    // A window in the background says that a long run has ended.
    void AskForAttention(const QString& summary);

    CFrontEndBridge m_bridge{*this};
    std::unique_ptr<CLumarexCore> m_core;
    std::unique_ptr<CRunController> m_runs;
    CCookieSync m_cookies;
    CWindowPlaces* m_places = nullptr;

    QLabel* m_header = nullptr;
    QComboBox* m_services = nullptr;
    CComboBox2* m_cbAddress = nullptr;
    QPushButton* m_getAlbums = nullptr;
    QPushButton* m_download = nullptr;
    CComboBox2* m_cbSavePath = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_openFolder = nullptr;
    QGroupBox* m_albumFrame = nullptr;
    CMyGridCtrl* m_grid = nullptr;
    QCheckBox* m_selectAll = nullptr;
    QCheckBox* m_previewBox = nullptr;
    QLabel* m_findLink = nullptr;
    CElidedLabel* m_phase = nullptr;
    CElidedLabel* m_counts = nullptr;
    CElidedLabel* m_speed = nullptr;
    QProgressBar* m_albumProgress = nullptr;
    QProgressBar* m_pictureProgress = nullptr;
    QPushButton* m_retryFailed = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QElapsedTimer m_runClock;
    int m_attentionRequests = 0;
    // The albums of a grid download asked for and not yet begun: its run takes them when it
    // switches the controls over.
    std::vector<int> m_pendingRun;
    // What the controls show: a listing, or a download (import, export) that the button stops.
    // The posted switches are what counts: a run's state may end before its last texts arrive.
    bool m_listingShown = false;
    bool m_downloadShown = false;

    std::unique_ptr<CAlbumView> m_view;
    CMainMenu* m_menu = nullptr;
    CDlgFind* m_pFindDlg = nullptr;
    QPointer<CDlgWebOpen> m_pLoginDlg;
    CSplashWindow* m_pSplash = nullptr;
    QList<QPointer<QDialog>> m_modalDialogs;
    bool m_closed = false;
};
