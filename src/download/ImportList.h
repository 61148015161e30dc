#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include <vector>

class CLumarexCore;
struct CDownList;

// One address of an imported list, with the options an exported list gives it: the path under
// the save folder it goes to (empty: named from the address) and its extra request headers.
struct ImportEntry {
    QString url;
    QString out;
    QStringList headers;
};

// A download list file, GBK or UTF-8: one address per line, blank lines and "#" comments
// skipped. Indented "out=" and "header=" lines under an address (the input-file form of aria2)
// belong to it; other indented options are ignored, and so are Host, Content-Length and
// Transfer-Encoding headers. No value when the file cannot be read, or when a header line holds
// a carriage return: then the 1-based number of that line goes to refusedLine.
std::optional<std::vector<ImportEntry>> ReadImportList(const QString& path, int* refusedLine = nullptr);
// Only the addresses of ReadImportList (empty when unreadable).
QStringList ReadDownList(const QString& path);

// The file name a plain-list address is saved under: the last path segment of the address as
// it stands (query and fragment dropped, percent escapes decoded), cleaned of what a file name
// cannot hold; ".jpg" added when it has no image extension; the 1-based number n when nothing
// is left, or nothing but an extension.
QString ImportedPictureName(const QString& url, int n);
// An "out=" path made safe to join to the save folder: segments cleaned and shortened to fit
// (keeping an image extension), "", "." and ".." dropped, so the result never leaves the folder;
// empty when nothing usable is left.
QString SafeRelativePath(const QString& out);
// Appends an address of an import album to its download list under the name of its "out=" path
// (as SafeRelativePath gives it) or of ImportedPictureName, made unique in the album as
// "name (1).ext", "name (2).ext" ... and never the history mark's.
void AppendImportedPicture(CDownList& list, const ImportEntry& entry);

// "导入下载文件并开始下载": downloads every address of the list into savePath with the pool and
// the current service's settings. Addresses with an "out=" path go there (one album per folder);
// the others form one album named after the list file. False, with a message, when the list
// cannot be read or refused, holds no address, or the save path is unusable. An album whose
// folder cannot be made fails with that cause.
bool ImportAndDownload(CLumarexCore& core, const QString& listPath, const QString& savePath);
