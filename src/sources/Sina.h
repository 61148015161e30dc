#pragma once

#include "core/AdapterRun.h"

#include <QString>

// Sina: blog albums and articles (SinaBlog.cpp) and Weibo photos (SinaWeibo.cpp).
void ListSinaBlogAlbums(CAlbumListing& run, QString& address);
void ListSinaBlogPhotos(CPhotoListing& run, int album);
void ListSinaBlogArticles(CAlbumListing& run, QString& address);
void ListSinaBlogArticlePhotos(CPhotoListing& run, int album);
void ListSinaWeiboAlbums(CAlbumListing& run, QString& address);
void ListSinaWeiboPhotos(CPhotoListing& run, int album);
