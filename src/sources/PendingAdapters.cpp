// Families whose adapters are not built yet. Each lister here is a known gap: it lists nothing,
// so get-albums ends with 0 albums and the download driver skips the album. The registry,
// recognition and address preparation of these families are complete.
#include "sources/Listers.h"

#define TALVORIA_PENDING_ADAPTER(albums, photos)                                                                       \
    void albums(CLumarexCore&, QString&) {}                                                                            \
    void photos(CLumarexCore&, int) {}

TALVORIA_PENDING_ADAPTER(ListQqGroupAlbums, ListQqGroupPhotos)
TALVORIA_PENDING_ADAPTER(ListTencentWeiboAlbums, ListTencentWeiboPhotos)
TALVORIA_PENDING_ADAPTER(ListBaiduAlbums, ListBaiduPhotos)
TALVORIA_PENDING_ADAPTER(ListSinaBlogAlbums, ListSinaBlogPhotos)
TALVORIA_PENDING_ADAPTER(ListSinaBlogArticles, ListSinaBlogArticlePhotos)
TALVORIA_PENDING_ADAPTER(List56PhotoAlbums, List56PhotoPhotos)
TALVORIA_PENDING_ADAPTER(ListPocoAlbums, ListPocoPhotos)
TALVORIA_PENDING_ADAPTER(ListPocoSetAlbums, ListPocoSetPhotos)
TALVORIA_PENDING_ADAPTER(ListYupooAlbums, ListYupooPhotos)
TALVORIA_PENDING_ADAPTER(ListZolAlbums, ListZolPhotos)
TALVORIA_PENDING_ADAPTER(ListPchomeAlbums, ListPchomePhotos)
TALVORIA_PENDING_ADAPTER(ListTaobaoItems, ListTaobaoPhotos)
TALVORIA_PENDING_ADAPTER(ListMokoAlbums, ListMokoPhotos)
TALVORIA_PENDING_ADAPTER(ListPconlineAlbums, ListPconlinePhotos)
