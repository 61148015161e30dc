#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// Settings soft.dat has no slot for (its layout is fixed): the window's remembered places, in
// "talvoria.ini" beside it. Every change is written at once, so a process that is killed keeps
// what was set before.
class CExtraSettings {
public:
    // appDir: the application folder, ending with "/".
    explicit CExtraSettings(const QString& appDir);

    QByteArray WindowGeometry() const;
    bool SetWindowGeometry(const QByteArray& geometry);
    // The save folder of the last download started; empty when none was.
    QString LastSavePath() const;
    bool SetLastSavePath(const QString& path);

    QString FilePath() const { return m_path; }

private:
    QVariant Value(const QString& key) const;
    bool SetValue(const QString& key, const QVariant& value);

    QString m_path;
};
