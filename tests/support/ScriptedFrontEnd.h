#pragma once

#include "core/FrontEnd.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

// A front end for tests: records everything the core tells it and answers questions from a
// script (No once the script is used up).
class ScriptedFrontEnd : public IFrontEnd {
public:
    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    void OpenLoginPage(const QString& url) override;
    void SetStatusText(StatusLine line, const QString& text) override;
    // Recorded, and shown as the window shows it: the phase and count texts follow the numbers.
    void Progress(const RunProgress& progress) override;
    void SetGetListUi(bool running) override;
    void SetDownloadUi(bool running) override;
    void ResetAlbumView() override;
    void AlbumAdded(int index) override;
    void DownloadFinished(const DownSummary& album, const QString& folder) override;
    void RunFinished(const DownSummary& run) override;
    void OpenFolder(const QString& path) override;
    void QueueAnswer(bool yes);

    QStringList Messages() const;
    QStringList Questions() const;
    QStringList LoginPages() const;
    QStringList StatusHistory(StatusLine line) const;
    QString Status(StatusLine line) const;
    std::vector<RunProgress> ProgressHistory() const;
    // Called with each status text as it is set, on the setting thread (a test's way to act at
    // one moment of a run).
    void OnStatus(std::function<void(StatusLine line, const QString& text)> hook);
    // Likewise with each album drawn.
    void OnAlbumAdded(std::function<void()> hook);
    QStringList OpenedFolders() const;
    int AlbumsAdded() const;
    int ViewResets() const;
    int FinishedPools() const;
    // What the last run reported at its end.
    DownSummary LastRun() const;

private:
    mutable std::mutex m_lock;
    std::deque<bool> m_answers;
    QStringList m_messages, m_questions, m_loginPages, m_openedFolders;
    std::map<StatusLine, QStringList> m_status;
    std::vector<RunProgress> m_progress;
    std::function<void(StatusLine, const QString&)> m_statusHook;
    std::function<void()> m_albumHook;
    int m_albumsAdded = 0;
    int m_viewResets = 0;
    int m_finishedPools = 0;
    DownSummary m_lastRun;
};
