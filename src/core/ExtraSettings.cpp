#include "core/ExtraSettings.h"

#include <QSettings>

using namespace Qt::StringLiterals;

CExtraSettings::CExtraSettings(const QString& appDir) : m_path(appDir + u"talvoria.ini"_s) {}

QVariant CExtraSettings::Value(const QString& key) const
{
    return QSettings(m_path, QSettings::IniFormat).value(key);
}

bool CExtraSettings::SetValue(const QString& key, const QVariant& value)
{
    QSettings settings(m_path, QSettings::IniFormat);
    if (settings.value(key) == value) return true;
    settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QByteArray CExtraSettings::WindowGeometry() const
{
    return Value(u"window/geometry"_s).toByteArray();
}

bool CExtraSettings::SetWindowGeometry(const QByteArray& geometry)
{
    return SetValue(u"window/geometry"_s, geometry);
}

QString CExtraSettings::LastSavePath() const
{
    return Value(u"window/lastSavePath"_s).toString();
}

bool CExtraSettings::SetLastSavePath(const QString& path)
{
    return SetValue(u"window/lastSavePath"_s, path);
}
