#include "core/ExtraSettings.h"

#include <QSettings>

#include <algorithm>

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

namespace {
QString ServiceKey(int kind, const char* name)
{
    return u"service%1/%2"_s.arg(kind).arg(QLatin1String(name));
}
} // namespace

ServiceExtras CExtraSettings::Extras(int kind) const
{
    // A value that is no number or out of range reads as the default: nothing held back.
    const QSettings settings(m_path, QSettings::IniFormat);
    const auto number = [&](const char* name) { return std::max<qint64>(0, settings.value(ServiceKey(kind, name)).toLongLong()); };
    ServiceExtras extras;
    extras.sleepRequestMs = int(std::min<qint64>(number("sleepRequestMs"), ServiceExtras::kMaxSleepRequestMs));
    extras.maxPerHost = int(std::min<qint64>(number("maxPerHost"), ServiceExtras::kMaxPerHost));
    extras.limitRate = number("limitRate");
    extras.keepServerTimes = settings.value(ServiceKey(kind, "keepServerTimes")).toBool();
    extras.writeMetadata = settings.value(ServiceKey(kind, "writeMetadata")).toBool();
    return extras;
}

bool CExtraSettings::SetExtras(int kind, const ServiceExtras& extras)
{
    return SetValue(ServiceKey(kind, "sleepRequestMs"), extras.sleepRequestMs) &&
           SetValue(ServiceKey(kind, "maxPerHost"), extras.maxPerHost) &&
           SetValue(ServiceKey(kind, "limitRate"), qint64(extras.limitRate)) &&
           SetValue(ServiceKey(kind, "keepServerTimes"), extras.keepServerTimes) &&
           SetValue(ServiceKey(kind, "writeMetadata"), extras.writeMetadata);
}
