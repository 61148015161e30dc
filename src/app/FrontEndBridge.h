#pragma once

#include "core/FrontEnd.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class CLumarexDlg;

// The window's side of IFrontEnd. The core calls it from its worker threads; every call is carried
// over to the GUI thread, and the calls that answer or must be done before the worker goes on
// wait for it there. Once the window closes (Shutdown), waiting workers are released at once:
// questions answer No, login pages return, and nothing more reaches the window.
class CFrontEndBridge : public IFrontEnd {
public:
    explicit CFrontEndBridge(CLumarexDlg& window);

    void Shutdown();
    bool IsShutDown() const;

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    void OpenLoginPage(const QString& url) override;
    void SetStatusText(StatusLine line, const QString& text) override;
    void Progress(const RunProgress& progress) override;
    void SetGetListUi(bool running) override;
    void SetDownloadUi(bool running) override;
    void ResetAlbumView() override;
    void AlbumAdded(int index) override;
    void DownloadFinished(const DownSummary& album, const QString& folder) override;
    void RunFinished(const DownSummary& run) override;
    void OpenFolder(const QString& path) override;

private:
    // Runs call on the GUI thread without waiting (dropped after Shutdown).
    void Post(std::function<void()> call);
    // Runs call on the GUI thread and waits for its result; fallback after Shutdown.
    template <class Result> Result CallAndWait(std::function<Result()> call, Result fallback);

    CLumarexDlg& m_window;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_shutdown = false;
};
