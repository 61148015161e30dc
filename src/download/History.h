#pragma once

#include <QString>

// The history mark of an album folder holds the address of the first picture of its last
// completed download (UTF-16LE, no byte-order mark, no terminator). A later listing with the
// skip option stops when it reaches that address. The mark is the hidden dot file ".pic.zrv";
// a "pic.zrv" copied over from Windows is read as well. Reading takes the first line of at most
// the first 8 KB.
QString ReadHistoryMark(const QString& folder);
// With flushFirst the folder's pictures reach the disk before the mark, and the mark before its
// name: a power cut can then never leave a mark above pictures that were lost.
void WriteHistoryMark(const QString& url, const QString& folder, bool flushFirst = false);
// Whether a file of that name in an album folder is, or could be read as, its mark: letter case
// aside, since a folder on a file system that folds case holds one file for both. No picture
// may take that name.
bool IsHistoryMarkName(const QString& name);
