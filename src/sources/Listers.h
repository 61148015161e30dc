#pragma once

#include "core/AdapterRun.h"

#include <QString>

// The listers of every variant. An album lister runs on the get-albums thread with the prepared
// address, reports each album through AddAlbum and returns as soon as its run is stopped. A
// photo lister runs on the download thread with an album's index, reports each picture through
// AddPicture and returns as soon as its run is stopped (a stop, or the album's history mark).

// Tencent
void ListQzoneAlbums(CAlbumListing& run, QString& address);
void ListQzonePhotos(CPhotoListing& run, int album);
void ListQqGroupAlbums(CAlbumListing& run, QString& address);
void ListQqGroupPhotos(CPhotoListing& run, int album);
void ListTencentWeiboAlbums(CAlbumListing& run, QString& address);
void ListTencentWeiboPhotos(CPhotoListing& run, int album);
// Baidu
void ListBaiduAlbums(CAlbumListing& run, QString& address);
void ListBaiduPhotos(CPhotoListing& run, int album);
// NetEase
void ListNeteaseAlbums(CAlbumListing& run, QString& address);
void ListNeteasePhotos(CPhotoListing& run, int album);
void ListNeteasePpAlbums(CAlbumListing& run, QString& address);
void ListNeteasePpPhotos(CPhotoListing& run, int album);
// Renren
void ListRenrenAlbums(CAlbumListing& run, QString& address);
void ListRenrenPhotos(CPhotoListing& run, int album);
void ListRenrenPhotosByLink(CPhotoListing& run, int album);
// The album page first, then picture page by picture page when it lists nothing.
void ListRenrenPhotosOrByLink(CPhotoListing& run, int album);
void ListRenrenZhanAlbums(CAlbumListing& run, QString& address);
void ListRenrenZhanPhotos(CPhotoListing& run, int album);
// Sina
void ListSinaBlogAlbums(CAlbumListing& run, QString& address);
void ListSinaBlogPhotos(CPhotoListing& run, int album);
void ListSinaBlogArticles(CAlbumListing& run, QString& address);
void ListSinaBlogArticlePhotos(CPhotoListing& run, int album);
void ListSinaWeiboAlbums(CAlbumListing& run, QString& address);
void ListSinaWeiboPhotos(CPhotoListing& run, int album);
// The other families
void List56PhotoAlbums(CAlbumListing& run, QString& address);
void List56PhotoPhotos(CPhotoListing& run, int album);
void ListPocoAlbums(CAlbumListing& run, QString& address);
void ListPocoPhotos(CPhotoListing& run, int album);
void ListPocoSetAlbums(CAlbumListing& run, QString& address);
void ListPocoSetPhotos(CPhotoListing& run, int album);
void ListYupooAlbums(CAlbumListing& run, QString& address);
void ListYupooPhotos(CPhotoListing& run, int album);
void List51Albums(CAlbumListing& run, QString& address);
void List51Photos(CPhotoListing& run, int album);
void ListZolAlbums(CAlbumListing& run, QString& address);
void ListZolPhotos(CPhotoListing& run, int album);
void ListPchomeAlbums(CAlbumListing& run, QString& address);
void ListPchomePhotos(CPhotoListing& run, int album);
void ListTaobaoItems(CAlbumListing& run, QString& address);
void ListTaobaoPhotos(CPhotoListing& run, int album);
void ListMokoAlbums(CAlbumListing& run, QString& address);
void ListMokoPhotos(CPhotoListing& run, int album);
void ListBabytreeHomeAlbums(CAlbumListing& run, QString& address);
void ListBabytreeHomePhotos(CPhotoListing& run, int album);
void ListBabytreeAlbums(CAlbumListing& run, QString& address);
void ListBabytreePhotos(CPhotoListing& run, int album);
void ListPconlineAlbums(CAlbumListing& run, QString& address);
void ListPconlinePhotos(CPhotoListing& run, int album);
