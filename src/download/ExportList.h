#pragma once

#include "download/ImportList.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class CLumarexCore;

// The two list files an export writes: the input file of aria2 ("-i"; UTF-8, each address
// followed by indented "out=" and "header=" lines) or the plain ".lst" of Thunder (GBK, CR LF,
// addresses only).
enum class ExportFormat { Aria2, Thunder };

// Lists the selected albums through the service's photo listers without fetching a picture,
// exactly as a download would name them. Each entry's "out" is the path, relative to savePath,
// that a download would write. No value when the save path is unusable.
std::optional<std::vector<ImportEntry>> ListForExport(CLumarexCore& core, const QString& savePath,
                                                      const std::vector<int>& selection);

QByteArray Aria2ListText(const std::vector<ImportEntry>& entries);
// "-" writes to the standard output.
bool WriteAria2List(const QString& path, const std::vector<ImportEntry>& entries);

// "导出下载文件" / "导出迅雷下载列表": lists the selection and writes one file for all of it, with
// the download buttons' run state (the stop button stops the listing) and a closing message.
// False when nothing was written.
bool ExportDownList(CLumarexCore& core, const QString& savePath, const std::vector<int>& selection,
                    const QString& listPath, ExportFormat format);
