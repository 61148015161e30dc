#pragma once

#include <QString>

#include <ctime>

// What turns remote text into names on disk; adapters and the download engine both use it.

constexpr int kTimeStampFallback = 0xFFFF;

// Makes any text usable as one file or folder name: entities decoded, spaces folded and
// trimmed, dots turned into "。", path and reserved characters deleted. With the length check
// an empty or 1000-character name becomes the time stamp (fallback 0xFFFF) or "pic%d".
void SanitizeName(QString& text, int fallback, bool checkLength);

// Local time as "%Y%m%d%H%M%S"; empty when the time does not convert.
QString MakeTimeStamp(std::time_t t);

bool HasImageExtension(const QString& name);

// The folder that a composed folder name gives on disk, without the final "/"; also what tells
// two album names apart, since an album name is cleaned once more on its way to its folder.
QString AlbumFolderName(QString name);

// Shortens stem (never tail) until stem + tail fits a Linux file name of 255 UTF-8 bytes.
QString FitFileName(const QString& stem, const QString& tail = {});

// Creates every folder of the path; trims it and makes it end with "/". On failure reports the
// folder that could not be made; madeLast (when given) tells whether the last one was made now.
bool MakeDirs(QString& path, QString* failedFolder = nullptr, bool* madeLast = nullptr);
