#include "download/Naming.h"

#include "MyCode/StringCtrl.h"
#include "download/AlbumMetadata.h"
#include "download/History.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
void ReplacePlaceholder(QString& name, const char16_t* placeholder, const QString& value)
{
    name.replace(QString::fromUtf16(placeholder), value);
}
} // namespace

QString MakePictureName(const QString& url, const QString& desc, const ST_PERLISTRECORD& album, int n,
                        const NamingContext& context)
{
    const ST_NAMESET& names = context.names;
    QString base;
    const qsizetype slash = url.lastIndexOf(u'/');
    if (names.nNameSource == 0)
        base = desc;
    else if (names.nNameSource == 2 && slash > 0)
        base = url.mid(slash + 1);
    else
        base = QString::number(n + 1);

    QString name = FieldText(names.szPrefix) + base + FieldText(names.szSuffix);
    ReplacePlaceholder(name, u"?1", album.strName);
    ReplacePlaceholder(name, u"?2", QString::number(n + 1));
    ReplacePlaceholder(name, u"?3", QString::number(album.nIndex + 1));
    ReplacePlaceholder(name, u"?4", QString::number(album.nParam1));
    ReplacePlaceholder(name, u"?5", QString::number(album.nParam2));
    ReplacePlaceholder(name, u"?6", QString::number(context.selCount));
    ReplacePlaceholder(name, u"?7", QString::number(context.albumCount));
    ReplacePlaceholder(name, u"?8", context.ownerName);
    CStringCtrl::ReplaceList(name, FieldText(names.szReplaceFrom), FieldText(names.szReplaceTo));
    SanitizeName(name, kTimeStampFallback, true);
    return name;
}

QString FreePictureName(const CDownList& list, const QString& key, const std::function<QString(unsigned)>& candidate,
                        unsigned& counter)
{
    counter = list.FirstFreeCounter(key);
    QString name = candidate(counter);
    while (list.FindName(name) >= 0 || IsHistoryMarkName(name) || IsAlbumMetadataName(name))
        name = candidate(++counter);
    return name;
}

QString MakeAlbumDirName(const ST_PERLISTRECORD& album, const ST_NAMESET& names)
{
    QString name = names.nDirSource == 0 ? album.strName : QString();
    name = FieldText(names.szDirPrefix) + name + FieldText(names.szDirSuffix);
    ReplacePlaceholder(name, u"?1", album.strName);
    ReplacePlaceholder(name, u"?2", QString::number(album.nIndex + 1));
    name = AlbumFolderName(name);
    return name.isEmpty() ? QString() : name + u'/';
}

namespace {
QString ExtensionFromContent(const QByteArray& head, const QString& oldExtension)
{
    unsigned char b[7] = {};
    for (qsizetype i = 0; i < head.size() && i < 7; ++i)
        b[i] = static_cast<unsigned char>(head[i]);
    if (b[0] == 0xFF && b[1] == 0xD8) return u".jpg"_s;
    if (b[0] == 0x89 && b[1] == 0x50) return u".png"_s;
    if (b[0] == 0x47 && b[1] == 0x49 && b[2] == 0x46) return u".gif"_s;
    if (b[0] == 0x42 && b[1] == 0x4D) return u".bmp"_s;
    if (b[0] == 0 && b[1] == 0 && (b[2] == 0x02 || b[2] == 0x10) && b[3] == 0 && b[4] == 0) return u".tga"_s;
    if (b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0 && b[4] == 1) return u".ico"_s;
    if (b[0] == 0 && b[1] == 0 && b[2] == 2 && b[3] == 0 && b[4] == 1) return u".cur"_s;
    if ((b[0] == 0x49 && b[1] == 0x49) || (b[0] == 0x4D && b[1] == 0x4D)) return u".tiff"_s;
    return oldExtension;
}
} // namespace

std::optional<QString> ContentExtension(const QString& path, const QString& oldExtension)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return ExtensionFromContent(file.read(7), oldExtension);
}

QString SplitPathExtension(const QString& path, QString* extension)
{
    // Only a dot inside the file name starts its extension, never one in a folder name.
    const qsizetype dot = path.lastIndexOf(u'.');
    const bool hasExtension = dot > path.lastIndexOf(u'/');
    *extension = hasExtension ? path.mid(dot) : QString();
    return hasExtension ? path.left(dot) : path;
}

void FixImageExtension(QString& path)
{
    QString extension;
    const QString base = SplitPathExtension(path, &extension);
    const std::optional<QString> wanted = ContentExtension(path, extension);
    if (!wanted) return;
    const QString newPath = base + *wanted;
    // An existing file of that name is never replaced, and the path only follows a rename that
    // happened: otherwise the list would point at that other file.
    if (newPath != path && !QFileInfo::exists(newPath) && QFile::rename(path, newPath)) path = newPath;
}

void FixPictureFormats(CDownList& list)
{
    for (QString& name : list.m_arrNames) {
        QString path = list.m_strSaveDir + name;
        FixImageExtension(path);
        name = path.mid(path.lastIndexOf(u'/') + 1);
    }
}

void FixPictureOrder(const CDownList& list, std::time_t now)
{
    std::time_t t = now;
    for (const QString& name : list.m_arrNames) {
        SetFileTimes(list.m_strSaveDir + name, t);
        t -= 60;
    }
}

void SetFileTimes(const QString& path, std::time_t t)
{
    if (t <= 0) return;
    // Linux has no settable creation time: access and modification times carry the order.
    const struct timespec times[2] = {{t, 0}, {t, 0}};
    utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}
