#pragma once

#include "core/FileToolReport.h"

#include <QStringList>

#include <atomic>

// Gives the pictures a download list names the times the fix-order step gives them, newest
// first in list order, so that sorting by date shows the list order again. Each list file
// under folder (a ".lst" or exported list, or a picture-name file) is matched against the
// pictures of its own folder and below by name, whatever extension a fix-format gave them;
// pictures holds every picture under folder. A list that matched pictures is a finding.
FileToolTally RestoreListOrder(const QString& folder, const QStringList& pictures, const FileToolReport& report,
                               const std::atomic<bool>& stop);
