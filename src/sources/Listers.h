#pragma once

#include <QString>

class CLumarexCore;

// The adapter contract. An album lister runs on the get-albums thread with the prepared address,
// reports each album through AddAlbum and returns as soon as m_nGetListState is GETLIST_STOP.
// A photo lister runs on the download thread with an album's index, reports each picture through
// AddPicture and returns as soon as m_nDownState is DOWN_AT_HISTORY or DOWN_STOP.
using AlbumLister = void (*)(CLumarexCore& core, QString& address);
using PhotoLister = void (*)(CLumarexCore& core, int album);

// Tencent
void ListQzoneAlbums(CLumarexCore& core, QString& address);
void ListQzonePhotos(CLumarexCore& core, int album);
void ListQqGroupAlbums(CLumarexCore& core, QString& address);
void ListQqGroupPhotos(CLumarexCore& core, int album);
void ListTencentWeiboAlbums(CLumarexCore& core, QString& address);
void ListTencentWeiboPhotos(CLumarexCore& core, int album);
// Baidu
void ListBaiduAlbums(CLumarexCore& core, QString& address);
void ListBaiduPhotos(CLumarexCore& core, int album);
// NetEase
void ListNeteaseAlbums(CLumarexCore& core, QString& address);
void ListNeteasePhotos(CLumarexCore& core, int album);
void ListNeteasePpAlbums(CLumarexCore& core, QString& address);
void ListNeteasePpPhotos(CLumarexCore& core, int album);
// Renren
void ListRenrenAlbums(CLumarexCore& core, QString& address);
void ListRenrenPhotos(CLumarexCore& core, int album);
void ListRenrenPhotosByLink(CLumarexCore& core, int album);
void ListRenrenZhanAlbums(CLumarexCore& core, QString& address);
void ListRenrenZhanPhotos(CLumarexCore& core, int album);
// Sina
void ListSinaBlogAlbums(CLumarexCore& core, QString& address);
void ListSinaBlogPhotos(CLumarexCore& core, int album);
void ListSinaBlogArticles(CLumarexCore& core, QString& address);
void ListSinaBlogArticlePhotos(CLumarexCore& core, int album);
void ListSinaWeiboAlbums(CLumarexCore& core, QString& address);
void ListSinaWeiboPhotos(CLumarexCore& core, int album);
// The other families
void List56PhotoAlbums(CLumarexCore& core, QString& address);
void List56PhotoPhotos(CLumarexCore& core, int album);
void ListPocoAlbums(CLumarexCore& core, QString& address);
void ListPocoPhotos(CLumarexCore& core, int album);
void ListPocoSetAlbums(CLumarexCore& core, QString& address);
void ListPocoSetPhotos(CLumarexCore& core, int album);
void ListYupooAlbums(CLumarexCore& core, QString& address);
void ListYupooPhotos(CLumarexCore& core, int album);
void List51Albums(CLumarexCore& core, QString& address);
void List51Photos(CLumarexCore& core, int album);
void ListZolAlbums(CLumarexCore& core, QString& address);
void ListZolPhotos(CLumarexCore& core, int album);
void ListPchomeAlbums(CLumarexCore& core, QString& address);
void ListPchomePhotos(CLumarexCore& core, int album);
void ListTaobaoItems(CLumarexCore& core, QString& address);
void ListTaobaoPhotos(CLumarexCore& core, int album);
void ListMokoAlbums(CLumarexCore& core, QString& address);
void ListMokoPhotos(CLumarexCore& core, int album);
void ListBabytreeHomeAlbums(CLumarexCore& core, QString& address);
void ListBabytreeHomePhotos(CLumarexCore& core, int album);
void ListBabytreeAlbums(CLumarexCore& core, QString& address);
void ListBabytreePhotos(CLumarexCore& core, int album);
void ListPconlineAlbums(CLumarexCore& core, QString& address);
void ListPconlinePhotos(CLumarexCore& core, int album);
