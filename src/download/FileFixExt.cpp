#include "download/FileFixExt.h"

#include "core/FileNames.h"
#include "download/Naming.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
// The same format under another spelling is no mismatch: renaming "a.JPG" or "a.jpeg" would
// only disturb the user's names.
QString Spelling(const QString& extension)
{
    const QString lower = extension.toLower();
    if (lower == u".jpeg"_s) return u".jpg"_s;
    if (lower == u".tif"_s) return u".tiff"_s;
    return lower;
}

QString FreePath(const QString& base, const QString& extension)
{
    const qsizetype slash = base.lastIndexOf(u'/');
    const QString folder = base.left(slash + 1);
    const QString stem = base.mid(slash + 1);
    QString path = base + extension;
    for (unsigned counter = 1; QFileInfo::exists(path); ++counter)
        path = folder + FitFileName(stem, u" (%1)"_s.arg(counter) + extension);
    return path;
}
} // namespace

std::optional<FileFinding> FixExtensionFile(const QString& path)
{
    QString extension;
    const QString base = SplitPathExtension(path, &extension);
    const std::optional<QString> wanted = ContentExtension(path, extension);
    if (!wanted || Spelling(*wanted) == Spelling(extension)) return std::nullopt;
    const QString newPath = FreePath(base, *wanted);
    if (!QFile::rename(path, newPath)) return FileFinding{path, u"无法改名"_s};
    return FileFinding{path, u"改名为 %1"_s.arg(QFileInfo(newPath).fileName())};
}
