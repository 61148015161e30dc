#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The picture formats a body may be saved as. Videos are none of them: no service lists any.
enum class PictureFormat { None, Jpeg, Png, Gif, Bmp, WebP, Tiff, IcoCur, Tga, Heif };

// How many first bytes PictureFormatOf reads at most.
constexpr qsizetype kPictureHeadBytes = 64;

// The format whose signature the first bytes of a body are; None for anything else (a web page,
// a JSON or XML error, a word, noise).
PictureFormat PictureFormatOf(QByteArrayView head);

// The size a BMP or WebP states for itself in its head, in bytes; 0 for the other formats and
// for a head too short or whose stated size cannot be right.
quint64 StatedPictureSize(PictureFormat format, QByteArrayView head);
