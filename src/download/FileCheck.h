#pragma once

#include "core/FileToolReport.h"

#include <optional>

// A saved file that is no picture (a web page, a JSON error, noise), or a JPEG, PNG or GIF cut
// before its end: the file and why. Nothing for a whole picture.
std::optional<FileFinding> CheckPictureFile(const QString& path);
