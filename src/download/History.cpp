#include "download/History.h"

#include "MyCode/AtomicFile.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {
const QString kMarkName = u".pic.zrv"_s;
const QString kWindowsMarkName = u"pic.zrv"_s;
// The mark is one address; only its first line is used, so a huge or foreign file in an album
// folder costs no more than this to read.
constexpr qint64 kMarkReadLimit = 8 * 1024;

QString ReadMarkFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.read(kMarkReadLimit);
    QString text(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    const qsizetype lineEnd = text.indexOf(u'\n');
    if (lineEnd >= 0) text.truncate(lineEnd);
    return text;
}
} // namespace

QString ReadHistoryMark(const QString& folder)
{
    if (QFile::exists(folder + kMarkName)) return ReadMarkFile(folder + kMarkName);
    return ReadMarkFile(folder + kWindowsMarkName);
}

void WriteHistoryMark(const QString& url, const QString& folder, bool flushFirst)
{
    if (flushFirst && !SyncFolderToDisk(folder)) return;
    CAtomicFile file(folder + kMarkName);
    if (file.Write(reinterpret_cast<const char*>(url.utf16()), url.size() * 2)) file.Commit(flushFirst);
}

bool IsHistoryMarkName(const QString& name)
{
    return name.compare(kMarkName, Qt::CaseInsensitive) == 0 ||
           name.compare(kWindowsMarkName, Qt::CaseInsensitive) == 0;
}
