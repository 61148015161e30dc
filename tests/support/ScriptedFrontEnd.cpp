#include "support/ScriptedFrontEnd.h"

void ScriptedFrontEnd::ShowMessage(const QString& text)
{
    std::lock_guard guard(m_lock);
    m_messages << text;
}

bool ScriptedFrontEnd::AskYesNo(const QString& text)
{
    std::lock_guard guard(m_lock);
    m_questions << text;
    if (m_answers.empty()) return false;
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

void ScriptedFrontEnd::OpenLoginPage(const QString& url)
{
    std::lock_guard guard(m_lock);
    m_loginPages << url;
}

void ScriptedFrontEnd::SetStatusText(StatusLine line, const QString& text)
{
    std::function<void(StatusLine, const QString&)> hook;
    {
        std::lock_guard guard(m_lock);
        m_status[line] << text;
        hook = m_statusHook;
    }
    if (hook) hook(line, text);
}

void ScriptedFrontEnd::Progress(const RunProgress& progress)
{
    {
        std::lock_guard guard(m_lock);
        m_progress.push_back(progress);
    }
    if (progress.Listing()) {
        SetStatusText(StatusLine::Phase, AlbumPhaseText(progress));
        SetStatusText(StatusLine::Counts, QStringLiteral("......"));
    } else {
        SetStatusText(StatusLine::Counts, PictureCountText(progress));
    }
}

std::vector<RunProgress> ScriptedFrontEnd::ProgressHistory() const
{
    std::lock_guard guard(m_lock);
    return m_progress;
}

void ScriptedFrontEnd::OnStatus(std::function<void(StatusLine line, const QString& text)> hook)
{
    std::lock_guard guard(m_lock);
    m_statusHook = std::move(hook);
}

void ScriptedFrontEnd::SetGetListUi(bool) {}
void ScriptedFrontEnd::SetDownloadUi(bool) {}

void ScriptedFrontEnd::ResetAlbumView()
{
    std::lock_guard guard(m_lock);
    ++m_viewResets;
}

int ScriptedFrontEnd::ViewResets() const
{
    std::lock_guard guard(m_lock);
    return m_viewResets;
}

void ScriptedFrontEnd::AlbumAdded(int)
{
    std::function<void()> hook;
    {
        std::lock_guard guard(m_lock);
        ++m_albumsAdded;
        hook = m_albumHook;
    }
    if (hook) hook();
}

void ScriptedFrontEnd::OnAlbumAdded(std::function<void()> hook)
{
    std::lock_guard guard(m_lock);
    m_albumHook = std::move(hook);
}

void ScriptedFrontEnd::DownloadFinished(const DownSummary&, const QString&)
{
    std::lock_guard guard(m_lock);
    ++m_finishedPools;
}

void ScriptedFrontEnd::RunFinished(const DownSummary& run)
{
    std::lock_guard guard(m_lock);
    m_lastRun = run;
}

DownSummary ScriptedFrontEnd::LastRun() const
{
    std::lock_guard guard(m_lock);
    return m_lastRun;
}

void ScriptedFrontEnd::OpenFolder(const QString& path)
{
    std::lock_guard guard(m_lock);
    m_openedFolders << path;
}

void ScriptedFrontEnd::QueueAnswer(bool yes)
{
    std::lock_guard guard(m_lock);
    m_answers.push_back(yes);
}

QStringList ScriptedFrontEnd::Messages() const
{
    std::lock_guard guard(m_lock);
    return m_messages;
}

QStringList ScriptedFrontEnd::Questions() const
{
    std::lock_guard guard(m_lock);
    return m_questions;
}

QStringList ScriptedFrontEnd::LoginPages() const
{
    std::lock_guard guard(m_lock);
    return m_loginPages;
}

QStringList ScriptedFrontEnd::StatusHistory(StatusLine line) const
{
    std::lock_guard guard(m_lock);
    const auto it = m_status.find(line);
    return it == m_status.end() ? QStringList() : it->second;
}

QString ScriptedFrontEnd::Status(StatusLine line) const
{
    const QStringList history = StatusHistory(line);
    return history.isEmpty() ? QString() : history.back();
}

QStringList ScriptedFrontEnd::OpenedFolders() const
{
    std::lock_guard guard(m_lock);
    return m_openedFolders;
}

int ScriptedFrontEnd::AlbumsAdded() const
{
    std::lock_guard guard(m_lock);
    return m_albumsAdded;
}

int ScriptedFrontEnd::FinishedPools() const
{
    std::lock_guard guard(m_lock);
    return m_finishedPools;
}
