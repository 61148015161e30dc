#include "run/FileToolRun.h"

#include "download/FileTool.h"

#include <system_error>

CFileToolRun::~CFileToolRun()
{
    RequestStop();
    Wait();
}

bool CFileToolRun::Start(FileToolAction action, const QString& folder, FileToolReport report)
{
    if (m_busy) return false;
    Wait();
    m_stop = false;
    m_busy = true;
    try {
        m_thread = std::thread([this, action, folder, report = std::move(report)] {
            const FileToolTally tally = RunFileTool(action, folder, report, m_stop);
            // Idle before the last report: a front end that hears the end sees the run over.
            m_busy = false;
            if (report.finished) report.finished(tally);
        });
    } catch (const std::system_error&) {
        m_busy = false;
        return false;
    }
    return true;
}

void CFileToolRun::Wait()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}
