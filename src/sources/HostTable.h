#pragma once

// Every host, domain and host-shaped mark of the services, in one place. No adapter spells a
// host anywhere else. Addresses are "http://" plus the host without a trailing slash unless the
// name says otherwise.
namespace Hosts {

// Recognition fragments, tested in this order (PConline has none).
inline constexpr char16_t kQqDomain[] = u"qq.com/";
inline constexpr char16_t kBaiduDomain[] = u"baidu.com/";
inline constexpr char16_t kNeteaseDomain[] = u"163.com/";
inline constexpr char16_t kRenrenDomain[] = u"renren.com/";
inline constexpr char16_t kSinaDomain[] = u"sina.com.cn";
inline constexpr char16_t kWeiboDomain[] = u"weibo.com/";
inline constexpr char16_t k56Domain[] = u"56.com/";
inline constexpr char16_t kPocoDomain[] = u"poco.cn/";
inline constexpr char16_t kYupooDomain[] = u"yupoo.com/";
inline constexpr char16_t k51Domain[] = u"51.com/";
inline constexpr char16_t kZolDomain[] = u"zol.com.cn/";
inline constexpr char16_t kPchomeDomain[] = u"pchome.com.tw/";
inline constexpr char16_t kTaobaoDomain[] = u"taobao.com/";
inline constexpr char16_t kTmallDomain[] = u"tmall.com/";
inline constexpr char16_t kMokoDomain[] = u"moko.cc/";
inline constexpr char16_t kBabytreeDomain[] = u"babytree.com/";

// Ends of host names ("drop through the end of the host name").
inline constexpr char16_t kEndCom[] = u"com/";
inline constexpr char16_t kEndCn[] = u"cn/";
inline constexpr char16_t kEndComTw[] = u"com.tw/";

// Tencent.
inline constexpr char16_t kQzoneUserHost[] = u"user.qzone.qq.com";
inline constexpr char16_t kQzoneUserAddress[] = u"http://user.qzone.qq.com/"; // with "/"
inline constexpr char16_t kQzoneRouteAddress[] = u"http://route.store.qq.com";
inline constexpr char16_t kTencentWeiboPrefix[] = u"http://t.qq.com/";
inline constexpr char16_t kTencentWeiboAddress[] = u"http://t.qq.com";
inline constexpr char16_t kTencentWeiboApiAddress[] = u"http://api.t.qq.com";
inline constexpr char16_t kTencentWeiboApiAddressEncoded[] = u"http%3A%2F%2Fapi.t.qq.com";
inline constexpr char16_t kTencentWeiboApiReferer[] = u"http://api.t.qq.com/proxy.html";
inline constexpr char16_t kQqGroupHost[] = u"qun.qzone.qq.com";
inline constexpr char16_t kQqGroupCookieAddress[] = u"http://qun.qzone.qq.com/";
inline constexpr char16_t kQqGroupPhotoAddress[] = u"http://qun.photo.qq.com";

// Baidu.
inline constexpr char16_t kBaiduAlbumAddress[] = u"http://xiangce.baidu.com";

// NetEase.
inline constexpr char16_t kNeteasePpSuffix[] = u".pp.163.com";
inline constexpr char16_t kNeteasePpFragment[] = u"pp.1";
inline constexpr char16_t kNeteaseAlbumAddress[] = u"http://photo.163.com";
inline constexpr char16_t kNeteaseStaticAddress[] = u"http://st.ph.126.net";
inline constexpr char16_t kNeteaseImageSuffixA[] = u".bimg.126.net";
inline constexpr char16_t kNeteaseImageSuffixB[] = u".ph.126.net";

// Renren.
inline constexpr char16_t kRenrenZhanHost[] = u"zhan.renren.com";
inline constexpr char16_t kRenrenZhanAddress[] = u"http://zhan.renren.com";
inline constexpr char16_t kRenrenPageHost[] = u"page.renren.com";
inline constexpr char16_t kRenrenPageAddress[] = u"http://page.renren.com";
inline constexpr char16_t kRenrenMainAddress[] = u"http://www.renren.com";
inline constexpr char16_t kRenrenPhotoAddress[] = u"http://photo.renren.com";

// Sina.
inline constexpr char16_t kSinaBlogPhotoAddress[] = u"http://photo.blog.sina.com.cn";
inline constexpr char16_t kWeiboRootAddress[] = u"http://weibo.com/";
inline constexpr char16_t kWeiboPhotoAddress[] = u"http://photo.weibo.com";

// The other families.
inline constexpr char16_t k56PhotoAddress[] = u"http://photo.56.com";
inline constexpr char16_t kPocoAlbumAddress[] = u"http://my.poco.cn";
inline constexpr char16_t kYupooPersonalSuffix[] = u".v.yupoo.com";
inline constexpr char16_t kYupooVAddress[] = u"http://v.yupoo.com";
inline constexpr char16_t kYupooVHost[] = u"v.yupoo.com";
inline constexpr char16_t kYupooWwwHostSlash[] = u"www.yupoo.com/";
inline constexpr char16_t kYupooDotLabel[] = u".yupoo";
inline constexpr char16_t kYupooWwwAddress[] = u"http://www.yupoo.com";
inline constexpr char16_t k51HomeAddress[] = u"http://home.51.com";
inline constexpr char16_t kZolPhotoAddress[] = u"http://photo.zol.com.cn";
inline constexpr char16_t kPchomePhotoAddress[] = u"http://photo.pchome.com.tw";
inline constexpr char16_t kTaobaoTopLevel[] = u"com";
inline constexpr char16_t kTaobaoDescPrefix[] = u"http://dsc.";
inline constexpr char16_t kMokoAddress[] = u"http://www.moko.cc";
inline constexpr char16_t kBabytreeHomeAddress[] = u"http://home.babytree.com";
inline constexpr char16_t kBabytreeMainAddress[] = u"http://www.babytree.com";
inline constexpr char16_t kPconlinePhotoAddress[] = u"http://dp.pconline.com.cn";

} // namespace Hosts
