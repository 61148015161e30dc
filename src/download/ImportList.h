#pragma once

#include <QString>
#include <QStringList>

class CLumarexCore;

// The addresses of a download list file, one per line, GBK or UTF-8; blank lines skipped.
QStringList ReadDownList(const QString& path);

// "导入下载文件并开始下载": the list becomes one album named after the file and is downloaded
// into savePath with the pool and the current service's settings and naming rules. False when
// the list cannot be read or the save path is unusable.
bool ImportAndDownload(CLumarexCore& core, const QString& listPath, const QString& savePath);
