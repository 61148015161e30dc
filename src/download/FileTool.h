#pragma once

#include "core/FileToolReport.h"

#include <atomic>

// Runs one action of the file tool over folder and everything under it, reporting progress and
// findings as it goes; stop ends it between two files.
FileToolTally RunFileTool(FileToolAction action, const QString& folder, const FileToolReport& report,
                          const std::atomic<bool>& stop);
