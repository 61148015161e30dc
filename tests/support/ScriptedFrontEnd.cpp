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

void ScriptedFrontEnd::SetStatusText(StatusCtrl ctrl, const QString& text)
{
    std::lock_guard guard(m_lock);
    m_status[ctrl] << text;
}

void ScriptedFrontEnd::SetGetListUi(bool) {}
void ScriptedFrontEnd::SetDownloadUi(bool) {}

void ScriptedFrontEnd::ResetAlbumView()
{
    std::lock_guard guard(m_lock);
    ++m_viewResets;
}

QString ScriptedFrontEnd::AddressText()
{
    std::lock_guard guard(m_lock);
    return m_addressText;
}

void ScriptedFrontEnd::SetAddressText(const QString& text)
{
    std::lock_guard guard(m_lock);
    m_addressText = text;
}

int ScriptedFrontEnd::ViewResets() const
{
    std::lock_guard guard(m_lock);
    return m_viewResets;
}

void ScriptedFrontEnd::AlbumAdded(int)
{
    std::lock_guard guard(m_lock);
    ++m_albumsAdded;
}

void ScriptedFrontEnd::DownloadFinished(const DownSummary&)
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

QStringList ScriptedFrontEnd::StatusHistory(StatusCtrl ctrl) const
{
    std::lock_guard guard(m_lock);
    const auto it = m_status.find(ctrl);
    return it == m_status.end() ? QStringList() : it->second;
}

QString ScriptedFrontEnd::Status(StatusCtrl ctrl) const
{
    const QStringList history = StatusHistory(ctrl);
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
