#pragma once

#include "core/FileToolReport.h"

#include <QString>

#include <atomic>
#include <thread>

// The file tool as both front ends start it: one action over a folder on a thread of its own,
// reporting through report (from that thread) and ending with report.finished.
class CFileToolRun {
public:
    CFileToolRun() = default;
    // Requests the stop and waits for the thread.
    ~CFileToolRun();
    CFileToolRun(const CFileToolRun&) = delete;
    CFileToolRun& operator=(const CFileToolRun&) = delete;

    // False while an action runs, or when its thread cannot be made. Not from report's calls.
    bool Start(FileToolAction action, const QString& folder, FileToolReport report);
    void RequestStop() { m_stop = true; }
    void Wait();
    bool IsBusy() const { return m_busy; }

private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_busy{false};
};
