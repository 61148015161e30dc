#pragma once

#include "core/AdapterRun.h"
#include "core/Listing.h"

#include <QString>

#include <functional>
#include <vector>

class CAlbumDownload;
class CLumarexCore;

// What fills one album of a run: a photo lister, or an import's own list.
using AlbumFiller = std::function<void(CAlbumDownload& album, int index)>;
AlbumFiller FillWith(const PhotoLister& lister);

// The download run over the albums of a listing: checks and creates the save folder, then album
// by album lets fill list the album, hands it to the worker pool (or writes the list file),
// writes the history mark and applies the fix steps. False when the save path was unusable.
// The caller has begun the download state; the run ends it.
bool DownloadDriver(CLumarexCore& core, const CListing& listing, const QString& savePathText,
                    const std::vector<int>& selection, const AlbumFiller& fill);

// The ticked albums that exist, in the given order, counted as the run's selection; the message
// above when none is left.
std::vector<int> TakeSelection(CLumarexCore& core, const std::vector<int>& selection);
// The download root under the save path: the owner folder and sub-folder, created; empty, with
// a message, when it cannot be.
QString PrepareRoot(CLumarexCore& core, const CListing& listing, const QString& savePathText);
// Readies the next album of a run: an album that ended at its history mark gives way to the
// next; false when a stop was requested.
bool BeginAlbum(CLumarexCore& core);
