#pragma once

#include <QString>

class CLumarexCore;

// The get-albums run: clears the list, prepares the typed address for the current family,
// calls its album lister(s), then reports the count and records the address in the history.
// False when the address was unusable (the address prompt was shown).
bool GetAlbumList(CLumarexCore& core, const QString& addressText);

// The message shown when the address box holds no usable address.
QString AddressPrompt();
