#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh folder for one test, removed with it; its path ends with "/" as the engine's folder
// texts do.
class TempFolder {
public:
    QString path() const { return m_dir.path() + u'/'; }
    QString file(const QString& name) const { return path() + name; }

private:
    QTemporaryDir m_dir;
};
