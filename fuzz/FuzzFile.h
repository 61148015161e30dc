#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

// The readers under test take a path; each input is written to one file in a folder of the
// process's own, ending with "/" as the engine's folder texts do.
inline const QString& FuzzFolder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path() + u'/';
    return path;
}

inline QString WriteFuzzFile(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = FuzzFolder() + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    if (file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) std::abort();
    return path;
}
