#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The download list other download managers import: one address per line, GBK, CR LF.
bool WriteDownList(const QString& path, const QStringList& urls);

// The album's picture-name file: UTF-16LE with a byte-order mark, one description per line,
// CR LF. The first picture of an album starts the file anew.
void AppendPictureName(const QString& path, const QString& desc, bool firstPicture);
// The descriptions of a picture-name file; nothing when the file is not one (no UTF-16LE
// byte-order mark) or cannot be read.
std::optional<QStringList> ReadPictureNames(const QString& path);

// Whether a file of that name is one of the list files an album folder or an export holds
// (".lst" download lists, ".txt" picture-name files and aria2 inputs) rather than a picture.
bool IsListFileName(const QString& name);
