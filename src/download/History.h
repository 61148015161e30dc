#pragma once

#include <QString>

// The history mark of an album folder holds the address of the first picture of its last
// completed download (UTF-16LE, no byte-order mark, no terminator). A later listing with the
// skip option stops when it reaches that address. The mark is the hidden dot file ".pic.zrv";
// a "pic.zrv" copied over from Windows is read as well. Reading takes the first line of at most
// the first 8 KB.
QString ReadHistoryMark(const QString& folder);
void WriteHistoryMark(const QString& url, const QString& folder);
