#pragma once

#include "core/FileToolReport.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

// The files the tool works on: every file under folder, in path order, except the albums'
// history marks and the list files the program writes.
QStringList ToolFiles(const QString& folder, const std::atomic<bool>& stop);
// The list files under folder, in path order.
QStringList ListFilesUnder(const QString& folder, const std::atomic<bool>& stop);

// Reports progress as work is done, each percent once: a folder of 100,000 files should not
// flood the front end with 100,000 calls.
class CProgressSteps {
public:
    CProgressSteps(const FileToolReport& report, int total);
    void Done(int done);

private:
    const FileToolReport& m_report;
    const int m_total;
    int m_lastStep = -1;
};

// Looks at each file in turn and names what look returns, until stop is set.
FileToolTally ForEachFile(const QStringList& files, const std::function<std::optional<FileFinding>(const QString&)>& look,
                          const FileToolReport& report, const std::atomic<bool>& stop);
