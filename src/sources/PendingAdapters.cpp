// Families whose adapters are not built yet. Each lister here is a known gap: it lists nothing,
// so get-albums ends with 0 albums and the download driver skips the album. The registry,
// recognition and address preparation of these families are complete.
#include "sources/Listers.h"

#define TALVORIA_PENDING_ADAPTER(albums, photos)                                                                       \
    void albums(CLumarexCore&, QString&) {}                                                                            \
    void photos(CLumarexCore&, int) {}

TALVORIA_PENDING_ADAPTER(List51Albums, List51Photos)
TALVORIA_PENDING_ADAPTER(ListBabytreeHomeAlbums, ListBabytreeHomePhotos)
TALVORIA_PENDING_ADAPTER(ListBabytreeAlbums, ListBabytreePhotos)
