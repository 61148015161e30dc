#pragma once

#include "core/AdapterRun.h"

#include <QString>

// Renren: a member's albums (Renren.cpp, RenrenPhotos.cpp) and the stations (RenrenZhan.cpp).
void ListRenrenAlbums(CAlbumListing& run, QString& address);
void ListRenrenPhotos(CPhotoListing& run, int album);
void ListRenrenPhotosByLink(CPhotoListing& run, int album);
// The album page first, then picture page by picture page when it lists nothing.
void ListRenrenPhotosOrByLink(CPhotoListing& run, int album);
void ListRenrenZhanAlbums(CAlbumListing& run, QString& address);
void ListRenrenZhanPhotos(CPhotoListing& run, int album);
