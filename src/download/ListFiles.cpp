#include "download/ListFiles.h"

#include "MyCode/StringCtrl.h"

#include <QFile>

bool WriteDownList(const QString& path, const QStringList& urls)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QByteArray bytes;
    for (const QString& url : urls)
        bytes += CStringCtrl::WideToGbk(url) + "\r\n";
    file.write(bytes);
    return true;
}

void AppendPictureName(const QString& path, const QString& desc, bool firstPicture)
{
    QFile file(path);
    const QIODevice::OpenMode mode = firstPicture ? QIODevice::WriteOnly | QIODevice::Truncate
                                                  : QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly;
    if (!file.open(mode)) return;
    if (firstPicture) file.write("\xFF\xFE", 2);
    const QString line = desc + QStringLiteral("\r\n");
    file.write(reinterpret_cast<const char*>(line.utf16()), line.size() * 2);
}

std::optional<QStringList> ReadPictureNames(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(2) != "\xFF\xFE") return std::nullopt;
    const QByteArray bytes = file.readAll();
    QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    if (text.endsWith(QStringLiteral("\r\n"))) text.chop(2);
    return text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
}

bool IsListFileName(const QString& name)
{
    return name.endsWith(QStringLiteral(".lst"), Qt::CaseInsensitive) ||
           name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
}
