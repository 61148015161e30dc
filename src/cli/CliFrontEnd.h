#pragma once

#include "core/FrontEnd.h"

#include <QJsonObject>
#include <QString>

#include <mutex>
#include <vector>

// The command line's front end: messages and status texts go to stderr, questions are answered
// by --yes/--no or on the terminal, and download counts become a progress bar on a terminal.
class CCliFrontEnd : public IFrontEnd {
public:
    enum class Answer { Ask, Yes, No };

    // quiet: only errors (messages, questions, failed pictures) are printed.
    CCliFrontEnd(Answer answer, bool quiet = false);

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    void OpenLoginPage(const QString& url) override;
    void SetStatusText(StatusLine line, const QString& text) override;
    void Progress(const RunProgress& progress) override;
    void SetGetListUi(bool running) override;
    void SetDownloadUi(bool running) override;
    void ResetAlbumView() override {}
    void AlbumAdded(int index) override;
    void DownloadFinished(const DownSummary& album, const QString& folder) override;
    void RunFinished(const DownSummary& run) override;
    void OpenFolder(const QString& path) override;

    // done of total as a progress bar on a terminal; nothing in a log.
    void ShowCount(int done, int total);
    // Ends a progress line still standing on the terminal.
    void EndProgressLine();
    // What the last download run reported at its end.
    DownSummary LastRun() const;
    // The last run and each of its albums as one JSON object (see --json in the help).
    QJsonObject RunJson() const;
    // One line of --verbose: a request hop and its status.
    void ShowRequest(const QByteArray& method, const QByteArray& url, long status);

private:
    void PrintLine(const QString& text);
    void DrawProgress(int done, int total);

    const Answer m_answer;
    const bool m_stderrIsTerminal;
    const bool m_quiet;
    std::vector<std::pair<QString, DownSummary>> m_albums; // folder and counts, this run
    mutable std::mutex m_lock;
    bool m_progressShown = false;
    DownSummary m_lastRun;
};
