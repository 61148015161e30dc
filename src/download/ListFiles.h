#pragma once

#include <QString>
#include <QStringList>

// The download list other download managers import: one address per line, GBK, CR LF.
bool WriteDownList(const QString& path, const QStringList& urls);

// The album's picture-name file: UTF-16LE with a byte-order mark, one description per line,
// CR LF. The first picture of an album starts the file anew.
void AppendPictureName(const QString& path, const QString& desc, bool firstPicture);
