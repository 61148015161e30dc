#pragma once

#include "core/FileNames.h"
#include "core/Records.h"
#include "core/SoftData.h"

#include <QString>

#include <ctime>
#include <functional>
#include <optional>

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
// The first of candidate(0), candidate(1), ... that no picture of the list has in any letter
// case and that is not the name of the history mark or the metadata file, starting after the
// counters key took already; counter says which it is. Taking it is the caller's: TakeCounter
// once the picture is appended.
QString FreePictureName(const CDownList& list, const QString& key, const std::function<QString(unsigned)>& candidate,
                        unsigned& counter);
// The album's folder name ending with "/", or empty when the pictures go to the download root.
QString MakeAlbumDirName(const ST_PERLISTRECORD& album, const ST_NAMESET& names);
// The extension the first bytes of the file at path call for ("."-led), or oldExtension when
// they name no format the renaming knows; nothing when the file cannot be read.
std::optional<QString> ContentExtension(const QString& path, const QString& oldExtension);
// The path before the dot of its file name's extension; that extension, or empty, to extension.
QString SplitPathExtension(const QString& path, QString* extension);
// Renames a saved picture after what its first bytes say it is; path follows the new name.
void FixImageExtension(QString& path);
void FixPictureFormats(CDownList& list);
// Stamps the pictures a minute apart, newest first, so sorting by date keeps the list order.
void FixPictureOrder(const CDownList& list, std::time_t now);
void SetFileTimes(const QString& path, std::time_t t);
