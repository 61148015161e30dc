#pragma once

#include "core/AdapterRun.h"
#include "core/ExportFormat.h"
#include "core/Listing.h"
#include "download/ImportList.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class CLumarexCore;

// Lists the selected albums of a listing through its photo lister without fetching a picture,
// exactly as a download would name them. Each entry's "out" is the path, relative to savePath,
// that a download would write. No value when the save path is unusable.
std::optional<std::vector<ImportEntry>> ListForExport(CLumarexCore& core, const CListing& listing,
                                                      const QString& savePath, const std::vector<int>& selection,
                                                      const PhotoLister& lister);

QByteArray Aria2ListText(const std::vector<ImportEntry>& entries);
// "-" writes to the standard output.
bool WriteAria2List(const QString& path, const std::vector<ImportEntry>& entries);

// "导出下载文件" / "导出迅雷下载列表": lists the selection and writes one file for all of it, with
// the download buttons' run state (the stop button stops the listing) and a closing message.
// False when nothing was written.
bool ExportDownList(CLumarexCore& core, const CListing& listing, const QString& savePath,
                    const std::vector<int>& selection, const PhotoLister& lister, const QString& listPath,
                    ExportFormat format);
