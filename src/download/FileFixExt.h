#pragma once

#include "core/FileToolReport.h"

#include <optional>

// Renames a file whose extension is not the one its first bytes call for (the fix-format
// table), never over an existing file: "name (1).png", "name (2).png" ... when "name.png" is
// taken. The old path and the new name; nothing when it kept its name.
std::optional<FileFinding> FixExtensionFile(const QString& path);
