#pragma once

// The variants of the families that have more than one (SourceSubKind): which album and photo
// lister a listing chose. The numbers are the service's own order of addition; Renren's stations
// came later, as 10.
enum TencentVariant : int { TENCENT_QZONE = 0, TENCENT_QQ_GROUP = 1, TENCENT_WEIBO = 2 };
enum NeteaseVariant : int { NETEASE_PHOTO = 0, NETEASE_PP = 1 };
enum RenrenVariant : int { RENREN_PHOTOS = 0, RENREN_ZHAN = 10 };
enum SinaVariant : int { SINA_BLOG = 0, SINA_BLOG_ARTICLES = 1, SINA_WEIBO = 2 };
enum PocoVariant : int { POCO_ALBUMS = 0, POCO_SETS = 1 };
enum BabytreeVariant : int { BABYTREE_HOME = 0, BABYTREE_ALBUMS = 1 };
