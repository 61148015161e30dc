#pragma once

#include <QString>

class CLumarexCore;

// The get-albums run for the family kind: clears the list, prepares the typed address, calls
// the family's album lister(s), then reports the count, records the address in the history and
// leaves the listing's texts with the hub for the downloads of its albums. False when the
// address was unusable (the address prompt was shown). The caller has begun the listing state.
bool GetAlbumList(CLumarexCore& core, int kind, const QString& addressText);

// The message shown when the address box holds no usable address.
QString AddressPrompt();
