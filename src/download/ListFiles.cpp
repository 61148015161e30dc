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
