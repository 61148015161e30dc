#pragma once

#include "core/FileToolReport.h"

#include <QStringList>

#include <atomic>

// Groups the files of the same content: by size first, so that only files sharing a size are
// read, then by a hash of the content. Every member of a group of two or more is a finding,
// the group's number in it; groups are in the order of their first paths. Nothing is deleted.
FileToolTally FindDuplicates(const QStringList& files, const FileToolReport& report, const std::atomic<bool>& stop);
