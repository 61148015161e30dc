#pragma once

#include "core/FrontEnd.h"

#include <QString>

#include <functional>
#include <vector>

class CLumarexCore;

// The download run: checks and creates the save folder, then album by album lets the photo
// lister fill the download list, hands it to the worker pool (or writes the list file), writes
// the history mark and applies the fix steps. False when the save path was unusable. A given
// lister, when given, lists every album instead of the service's photo lister.
using AlbumPictureLister = std::function<void(CLumarexCore& core, int album)>;
bool DownloadDriver(CLumarexCore& core, const QString& savePathText, const std::vector<int>& selection,
                    const AlbumPictureLister& lister = {});

// "已保存%d张，失败%d张，跳过%d张，用时%d秒": what a pool or a run did, as both front ends show it.
QString DownSummaryText(const DownSummary& summary);

// The message shown when no album is ticked.
QString NoAlbumSelectedMessage();

// The ticked albums that exist, in the given order, counted as the run's selection; the message
// above when none is left.
std::vector<int> TakeSelection(CLumarexCore& core, const std::vector<int>& selection);
// Readies the download list for the next album of a run, under root. An album that ended at its
// history mark gives way to the next; false when a stop was requested.
bool BeginAlbum(CLumarexCore& core, const QString& root);
