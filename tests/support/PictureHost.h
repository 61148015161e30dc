#pragma once

#include <QString>

// The fake picture host the download tests list their pictures on: picture i is /p/i.jpg.
inline constexpr char kPictureHost[] = "pics.example.com";

inline QString PictureUrl(int i)
{
    return QStringLiteral("http://pics.example.com/p/%1.jpg").arg(i);
}
