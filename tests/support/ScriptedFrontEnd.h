#pragma once

#include "core/FrontEnd.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <map>
#include <mutex>

// A front end for tests: records everything the core tells it and answers questions from a
// script (No once the script is used up).
class ScriptedFrontEnd : public IFrontEnd {
public:
    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    void OpenLoginPage(const QString& url) override;
    void SetStatusText(StatusCtrl ctrl, const QString& text) override;
    void SetGetListUi(bool running) override;
    void SetDownloadUi(bool running) override;
    void ResetAlbumView() override;
    void AlbumAdded(int index) override;
    void DownloadFinished(const DownSummary& album) override;
    void RunFinished(const DownSummary& run) override;
    void OpenFolder(const QString& path) override;
    QString AddressText() override;

    void SetAddressText(const QString& text);

    void QueueAnswer(bool yes);

    QStringList Messages() const;
    QStringList Questions() const;
    QStringList LoginPages() const;
    QStringList StatusHistory(StatusCtrl ctrl) const;
    QString Status(StatusCtrl ctrl) const;
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
    std::map<int, QStringList> m_status;
    QString m_addressText;
    int m_albumsAdded = 0;
    int m_viewResets = 0;
    int m_finishedPools = 0;
    DownSummary m_lastRun;
};
