#pragma once

#include "core/SoftData.h"
#include "download/Records.h"

#include <QString>

#include <ctime>

constexpr int kTimeStampFallback = 0xFFFF;

// Makes any text usable as one file or folder name: entities decoded, spaces folded and
// trimmed, dots turned into "。", path and reserved characters deleted. With the length check
// an empty or 1000-character name becomes the time stamp (fallback 0xFFFF) or "pic%d".
void SanitizeName(QString& text, int fallback, bool checkLength);

// Local time as "%Y%m%d%H%M%S"; empty when the time does not convert.
QString MakeTimeStamp(std::time_t t);

bool HasImageExtension(const QString& name);

// What a picture name's placeholders draw on besides the album record.
struct NamingContext {
    const ST_NAMESET& names;
    QString ownerName;  // "?8"
    int selCount = 0;   // "?6"
    int albumCount = 0; // "?7"
};

// The picture's file name before the extension step; n is its 0-based number in the album.
QString MakePictureName(const QString& url, const QString& desc, const ST_PERLISTRECORD& album, int n,
                        const NamingContext& context);
// The album's folder name ending with "/", or empty when the pictures go to the download root.
QString MakeAlbumDirName(const ST_PERLISTRECORD& album, const ST_NAMESET& names);
// The folder that a composed folder name gives on disk, without the final "/"; also what tells
// two album names apart, since an album name is cleaned once more on its way to its folder.
QString AlbumFolderName(QString name);

// Shortens stem (never tail) until stem + tail fits a Linux file name of 255 UTF-8 bytes.
QString FitFileName(const QString& stem, const QString& tail = {});

// Creates every folder of the path; trims it and makes it end with "/". On failure reports the
// folder that could not be made.
bool MakeDirs(QString& path, QString* failedFolder = nullptr);

// Renames a saved picture after what its first bytes say it is; path follows the new name.
void FixImageExtension(QString& path);
void FixPictureFormats(CDownList& list);
// Stamps the pictures a minute apart, newest first, so sorting by date keeps the list order.
void FixPictureOrder(const CDownList& list, std::time_t now);
void SetFileTimes(const QString& path, std::time_t t);
