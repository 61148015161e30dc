#include "download/FileOrder.h"

#include "core/FileNames.h"
#include "core/Records.h"
#include "download/FileToolKit.h"
#include "download/ImportList.h"
#include "download/ListFiles.h"
#include "download/Naming.h"

#include <QFileInfo>
#include <QHash>

#include <ctime>

using namespace Qt::StringLiterals;

namespace {
// A picture's path under the list's folder without its extension, in any letter case: a
// fix-format may have changed the extension since the list was written.
QString Key(const QString& relativePath)
{
    QString extension;
    return SplitPathExtension(relativePath, &extension).toCaseFolded();
}

// The names a picture of the list may have been saved under, most likely first.
using Candidates = std::vector<QStringList>;

Candidates FromPictureNames(const QStringList& descriptions)
{
    Candidates candidates;
    for (QString name : descriptions) {
        SanitizeName(name, kTimeStampFallback, true);
        candidates.push_back({FitFileName(name, u".jpg"_s)});
    }
    return candidates;
}

Candidates FromDownList(const std::vector<ImportEntry>& entries)
{
    Candidates candidates;
    int plain = 0;
    for (const ImportEntry& entry : entries) {
        if (!entry.out.isEmpty()) {
            candidates.push_back({SafeRelativePath(entry.out)});
            continue;
        }
        // Fetched by an import or another download manager, or named from the address by a
        // download.
        QString fromAddress = entry.url.mid(entry.url.lastIndexOf(u'/') + 1);
        SanitizeName(fromAddress, kTimeStampFallback, true);
        candidates.push_back({ImportedPictureName(entry.url, ++plain), FitFileName(fromAddress, u".jpg"_s)});
    }
    return candidates;
}

Candidates ReadCandidates(const QString& listPath)
{
    if (const std::optional<QStringList> descriptions = ReadPictureNames(listPath)) return FromPictureNames(*descriptions);
    const std::optional<std::vector<ImportEntry>> entries = ReadImportList(listPath);
    return entries ? FromDownList(*entries) : Candidates();
}

// The pictures of the list in its order, relative to folder (ending with "/").
QStringList MatchPictures(const Candidates& candidates, const QString& folder, const QStringList& pictures)
{
    QHash<QString, QString> byKey;
    for (const QString& path : pictures)
        if (path.startsWith(folder)) byKey.insert(Key(path.mid(folder.size())), path.mid(folder.size()));
    QStringList matched;
    for (const QStringList& names : candidates)
        for (const QString& name : names)
            if (const QString found = byKey.take(Key(name)); !found.isEmpty()) {
                matched << found;
                break;
            }
    return matched;
}
} // namespace

FileToolTally RestoreListOrder(const QString& folder, const QStringList& pictures, const FileToolReport& report,
                               const std::atomic<bool>& stop)
{
    const auto restore = [&pictures](const QString& listPath) -> std::optional<FileFinding> {
        CDownList list;
        list.m_strSaveDir = QFileInfo(listPath).path() + u'/';
        for (const QString& name : MatchPictures(ReadCandidates(listPath), list.m_strSaveDir, pictures))
            list.Append({}, name, {});
        if (list.Count() == 0) return std::nullopt;
        FixPictureOrder(list, std::time(nullptr));
        return FileFinding{listPath, u"按列表顺序修正了%1个文件的时间"_s.arg(list.Count())};
    };
    return ForEachFile(ListFilesUnder(folder, stop), restore, report, stop);
}
