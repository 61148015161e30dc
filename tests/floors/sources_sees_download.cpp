// An adapter may not see the download engine beside it.
#include "download/AlbumDownload.h"
