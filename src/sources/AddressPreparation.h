#pragma once

#include <QString>

#include <optional>

class CAlbumListing;

// Per family: cut the typed address down to what the family's album lister needs, choose the
// variant, call the lister(s), and show the family's message when nothing was found.
void ListTencentFamily(CAlbumListing& run, QString& address);
void ListBaiduFamily(CAlbumListing& run, QString& address);
void ListNeteaseFamily(CAlbumListing& run, QString& address);
void ListRenrenFamily(CAlbumListing& run, QString& address);
void ListSinaFamily(CAlbumListing& run, QString& address);
void List56Family(CAlbumListing& run, QString& address);
void ListPocoFamily(CAlbumListing& run, QString& address);
void ListYupooFamily(CAlbumListing& run, QString& address);
void List51Family(CAlbumListing& run, QString& address);
void ListZolFamily(CAlbumListing& run, QString& address);
void ListPchomeFamily(CAlbumListing& run, QString& address);
void ListTaobaoFamily(CAlbumListing& run, QString& address);
void ListMokoFamily(CAlbumListing& run, QString& address);
void ListBabytreeFamily(CAlbumListing& run, QString& address);
void ListPconlineFamily(CAlbumListing& run, QString& address);

// The Renren owner id of a vanity address, looked up on the owner's page; empty when the page
// request fails (an answer without the id gives an empty text).
std::optional<QString> LookUpRenrenOwnerId(const QString& name, bool publicPage);
