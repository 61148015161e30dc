#include "core/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString WithSlash(QString path)
{
    if (!path.endsWith(u'/')) path += u'/';
    return path;
}
} // namespace

QString ResolveAppDir(const QString& requested)
{
    QString dir = requested;
    if (dir.isEmpty()) dir = qEnvironmentVariable("TALVORIA_HOME");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/talvoria");
    dir = QDir(dir).absolutePath();
    // The login cookies live here: a folder the program makes is its user's alone, as browsers
    // keep their profiles. One that exists keeps what its user gave it.
    QDir().mkpath(QFileInfo(dir).path());
    QDir().mkdir(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return WithSlash(dir);
}

QString DefaultSavePath()
{
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty()) pictures = QDir::homePath();
    return WithSlash(pictures) + QStringLiteral("Talvoria/");
}
