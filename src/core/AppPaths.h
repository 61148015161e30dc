#pragma once

#include <QString>

// The application folder holds soft.dat, cookies.txt, the thumbnail folder and the diagnostic
// files: the --app-dir or $TALVORIA_HOME folder when given, else the per-user data folder.
// Created, for its user only, when missing; the result ends with "/".
QString ResolveAppDir(const QString& requested = {});

// The user's pictures folder plus "Talvoria/", ending with "/"; not created here.
QString DefaultSavePath();
