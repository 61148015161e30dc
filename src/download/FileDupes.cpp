#include "download/FileDupes.h"

#include "download/FileToolKit.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <map>

using namespace Qt::StringLiterals;

namespace {
QByteArray ContentHash(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) return {};
    return hash.result();
}

// The files that share their size with another; empty files are no pictures, check names them.
QStringList SharingSize(const QStringList& files)
{
    QHash<qint64, QStringList> bySize;
    for (const QString& path : files)
        if (const qint64 size = QFileInfo(path).size(); size > 0) bySize[size] << path;
    QStringList shared;
    for (const QStringList& same : std::as_const(bySize))
        if (same.size() > 1) shared << same;
    shared.sort();
    return shared;
}
} // namespace

FileToolTally FindDuplicates(const QStringList& files, const FileToolReport& report, const std::atomic<bool>& stop)
{
    // Keyed by the first path of each content: the paths come sorted, so the groups are too.
    std::map<QString, QStringList> groups;
    QHash<QByteArray, QString> firstOf;
    const auto hash = [&](const QString& path) -> std::optional<FileFinding> {
        const QByteArray key = QByteArray::number(QFileInfo(path).size()) + ':' + ContentHash(path);
        if (key.endsWith(':')) return std::nullopt;
        const QString first = firstOf.value(key, path);
        firstOf.insert(key, first);
        groups[first] << path;
        return std::nullopt;
    };
    FileToolTally tally = ForEachFile(SharingSize(files), hash, report, stop);
    tally.files = int(files.size());
    for (const auto& [first, paths] : groups) {
        if (paths.size() < 2) continue;
        ++tally.groups;
        for (const QString& path : paths) {
            ++tally.findings;
            if (report.found) report.found({path, u"第%1组，%2个文件内容相同"_s.arg(tally.groups).arg(paths.size()), tally.groups});
        }
    }
    return tally;
}
