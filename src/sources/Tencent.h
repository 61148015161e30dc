#pragma once

#include "core/AdapterRun.h"

#include <QString>

#include <cstdint>

// The g_tk token of QQ Zone requests, from the "skey" login cookie (5381 when logged out).
std::uint32_t CalcGTK(const QString& skey);

// The listers of the three variants, each in a file of its own.
void ListQzoneAlbums(CAlbumListing& run, QString& address);
void ListQzonePhotos(CPhotoListing& run, int album);
void ListQqGroupAlbums(CAlbumListing& run, QString& address);
void ListQqGroupPhotos(CPhotoListing& run, int album);
void ListTencentWeiboAlbums(CAlbumListing& run, QString& address);
void ListTencentWeiboPhotos(CPhotoListing& run, int album);
