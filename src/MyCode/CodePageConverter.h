#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Conversions between UTF-16 and the code pages the services use (936, 950, 51949, 65001),
// through glibc's iconv. Characters a code page cannot hold become "?" when encoding; byte
// sequences that do not decode become U+FFFD.
namespace CodePageConverter {
QByteArray Encode(QStringView text, int codePage);
QString Decode(QByteArrayView bytes, int codePage);
} // namespace CodePageConverter
