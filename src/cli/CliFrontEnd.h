#pragma once

#include "core/FrontEnd.h"

#include <QString>

#include <mutex>

// The command line's front end: messages and status texts go to stderr, questions are answered
// by --yes/--no or on the terminal, and download counts become a progress bar on a terminal.
class CCliFrontEnd : public IFrontEnd {
public:
    enum class Answer { Ask, Yes, No };

    CCliFrontEnd(Answer answer, QString address);

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    void OpenLoginPage(const QString& url) override;
    void SetStatusText(StatusCtrl ctrl, const QString& text) override;
    void SetGetListUi(bool running) override;
    void SetDownloadUi(bool running) override;
    void ResetAlbumView() override {}
    void AlbumAdded(int index) override;
    void DownloadFinished(const DownSummary& album) override;
    void RunFinished(const DownSummary& run) override;
    void OpenFolder(const QString& path) override;
    QString AddressText() override { return m_address; }

    // Ends a progress line still standing on the terminal.
    void EndProgressLine();
    // What the last download run reported at its end.
    DownSummary LastRun() const;

private:
    void PrintLine(const QString& text);
    void DrawProgress(int done, int total);

    const Answer m_answer;
    const QString m_address;
    const bool m_stderrIsTerminal;
    mutable std::mutex m_lock;
    bool m_progressShown = false;
    DownSummary m_lastRun;
};
