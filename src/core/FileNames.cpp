#include "core/FileNames.h"

#include "MyCode/StringCtrl.h"
#include "core/SoftData.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
constexpr qsizetype kMaxNameChars = 1000;
constexpr qsizetype kMaxNameBytes = 255; // one Linux file name

bool IsDeletedFromNames(QChar c)
{
    static const QString kDeleted = u"\\/:*?\"<>|"_s;
    // Controls (the bell and line breaks among them) would reach folder listings and terminals
    // raw, a bidirectional override would show a name other than the one on disk, and a
    // zero-width mark would tell apart names that look the same. The tab becomes "_" in the
    // next step.
    return kDeleted.contains(c) || (c != u'\t' && CStringCtrl::IsControlOrInvisible(c));
}

// The UTF-8 length of one unit that is no half of a pair; a lone surrogate counts as the
// replacement character it becomes when a name is cleaned.
qsizetype Utf8Bytes(QChar c)
{
    return c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
}
} // namespace

void SanitizeName(QString& text, int fallback, bool checkLength)
{
    CStringCtrl::DecodeEntities(text);
    while (text.contains(u"  "_s))
        text.replace(u"  "_s, u" "_s);
    text = text.trimmed();
    text.replace(u'.', QChar(0x3002));
    // Every lone surrogate reaches the disk as one and the same character, so names that differ
    // only there must already be equal here, where they are made unique.
    CStringCtrl::MakeValidUtf16(text);
    text.removeIf(IsDeletedFromNames);
    text.replace(u'\t', u'_');
    text = text.trimmed();
    if (checkLength && (text.isEmpty() || text.size() >= kMaxNameChars))
        text = fallback == kTimeStampFallback ? MakeTimeStamp(std::time(nullptr)) : u"pic%1"_s.arg(fallback);
}

QString MakeTimeStamp(std::time_t t)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(qint64(t));
    if (!local.isValid()) return {};
    return local.toString(u"yyyyMMddHHmmss"_s);
}

bool HasImageExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) return false;
    const QString ext = name.mid(dot).toLower();
    return ext == u".jpeg"_s || ext == u".jpg"_s || ext == u".bmp"_s || ext == u".gif"_s || ext == u".png"_s;
}

QString AlbumFolderName(QString name)
{
    SanitizeName(name, 0, false);
    if (name.isEmpty()) return {};
    // A long name is shortened in its middle: its end holds the counter that made the album
    // name unique and the folder suffix, and two albums must never share a folder.
    constexpr qsizetype kKeptEnd = kNameFieldMaxChars + 10;
    if (name.size() <= kKeptEnd) return FitFileName(name);
    return FitFileName(name.left(name.size() - kKeptEnd), name.right(kKeptEnd));
}

QString FitFileName(const QString& stem, const QString& tail)
{
    // One pass over the code points of stem, so that a name of megabytes costs no more than
    // reading it; the cut never falls inside a surrogate pair.
    qsizetype room = kMaxNameBytes - tail.toUtf8().size();
    qsizetype end = 0;
    while (end < stem.size()) {
        const bool pair = stem[end].isHighSurrogate() && end + 1 < stem.size() && stem[end + 1].isLowSurrogate();
        const qsizetype bytes = pair ? 4 : Utf8Bytes(stem[end]);
        if (bytes > room) break;
        room -= bytes;
        end += pair ? 2 : 1;
    }
    return stem.left(end) + tail;
}

bool MakeDirs(QString& path, QString* failedFolder, bool* madeLast)
{
    path = path.trimmed();
    if (!path.endsWith(u'/')) path += u'/';
    // Every prefix that ends at a "/" must exist or be made, from the left.
    for (qsizetype slash = path.indexOf(u'/', 1); slash >= 0; slash = path.indexOf(u'/', slash + 1)) {
        const QString folder = path.left(slash);
        if (madeLast) *madeLast = false;
        if (QFileInfo(folder).isDir()) continue;
        if (QDir().mkdir(folder)) {
            if (madeLast) *madeLast = true;
            continue;
        }
        if (failedFolder) *failedFolder = folder;
        return false;
    }
    return true;
}
