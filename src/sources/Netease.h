#pragma once

#include "core/AdapterRun.h"

#include <QString>

// NetEase photo addresses that the album lister and the photo lister both build.

// The service gives pictures as paths without a host, optionally led by an image-server number
// ("12/photo/x==/1.jpg"): the number picks the host, "/photo/" anywhere in the path its family.
QString NeteaseImageAddress(const QString& path);

// A picture of the service's static-image host, shown in place of a cover.
QString NeteasePlaceholder(const QString& path);

// The album data call (DWR AlbumBean.getAlbumData) answers with the address of an album's
// photo-list script. The album id goes in as a number or as a text; a call "from the blog" is
// the one the service accepts after the visitor passed its verification.
enum class AlbumDataForm { Number, NumberFromBlog, Text };
QString NeteaseAlbumDataUrl(const QString& owner, const QString& albumId, AlbumDataForm form);

// The owner's album page on which the service asks a visitor to verify for a protected album.
QString NeteaseVerificationPage(const QString& owner, const QString& albumId);

// The listers of the photo albums and of PP, each in a file of its own.
void ListNeteaseAlbums(CAlbumListing& run, QString& address);
void ListNeteasePhotos(CPhotoListing& run, int album);
void ListNeteasePpAlbums(CAlbumListing& run, QString& address);
void ListNeteasePpPhotos(CPhotoListing& run, int album);
