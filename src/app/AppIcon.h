#pragma once

#include <QIcon>

// The program's icon, drawn in code after talvoria.svg (installed for the desktop), so that the
// window needs no image plug-in to show it.
QIcon AppIcon();
