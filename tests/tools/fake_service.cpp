// Serves one family's fixtures on 127.0.0.1 for trying talvoria-cli by hand:
//   build/tests/fake_service qzone &   (prints the proxy address)
//   http_proxy=http://127.0.0.1:PORT talvoria-cli albums 12345678
// The first argument names the family's fake (default qzone), the second how many seconds it
// serves (default 300). Each family's routes are the ones its command-line tests use.
#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include "sources/BabytreeRoutes.h"
#include "sources/BaiduRoutes.h"
#include "sources/Home51Routes.h"
#include "sources/MokoRoutes.h"
#include "sources/NeteaseRoutes.h"
#include "sources/PchomeRoutes.h"
#include "sources/PconlineRoutes.h"
#include "sources/Photo56Routes.h"
#include "sources/QzoneRoutes.h"
#include "sources/PocoRoutes.h"
#include "sources/QqGroupRoutes.h"
#include "sources/RenrenRoutes.h"
#include "sources/SinaBlogRoutes.h"
#include "sources/TaobaoRoutes.h"
#include "sources/TencentWeiboRoutes.h"
#include "sources/YupooRoutes.h"
#include "sources/ZolRoutes.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// Pictures paused half-way, so that the progress of a download can be watched.
void ServeQzone(FakeService& service)
{
    QzoneFake::Serve(service, 200 * 1024, 300);
}

void ServeRenren(FakeService& service)
{
    RenrenRoutes::ServeOwnerList(service);
    RenrenRoutes::ServeAlbum5001(service);
}

struct Fake {
    const char* name;
    const char* tryWith; // an address to type
    void (*serve)(FakeService&);
};

// One row per family fake.
const Fake kFakes[] = {
    {"qzone", "12345678", ServeQzone},
    {"netease", "http://photo.163.com/alice/", NeteaseFake::ServeAlice},
    {"renren", "http://www.renren.com/223344", ServeRenren},
    // The group answers only a logged-in visitor: give a cookies.txt with a "guin" cookie.
    {"qqgroup", "http://qun.qzone.qq.com/group#!/7654321/photo --cookies FILE", QqGroupFake::Serve},
    {"tweibo", "http://t.qq.com/someone", TencentWeiboFake::Serve},
    {"baidu", "http://xiangce.baidu.com/lily", BaiduFake::Serve},
    {"yupoo", "http://alice.v.yupoo.com/", YupooFake::Serve},
    {"56", "http://photo.56.com/album/dave", Photo56Fake::Serve},
    {"taobao", "http://mengshop.taobao.com/", TaobaoFake::Serve},
    {"pconline", "http://dp.pconline.com.cn/someone/ --service pconline", PconlineFake::Serve},
    {"sinablog", "http://blog.sina.com.cn/lanxi", SinaBlogFake::Serve},
    {"poco", "http://my.poco.cn/theme/theme_list.php?user_id=174478992", PocoFake::Serve},
    {"zol", "http://photo.zol.com.cn/alice/", ZolFake::Serve},
    {"pchome", "http://photo.pchome.com.tw/alice/", PchomeFake::Serve},
    {"moko", "http://www.moko.cc/alice/", MokoFake::Serve},
    {"babytree", "http://home.babytree.com/u12345678", BabytreeFake::Serve},
    {"51", "http://home.51.com/xiaomei/photo", Home51Fake::Serve},
};

} // namespace

int main(int argc, char** argv)
{
    const char* wanted = argc > 1 ? argv[1] : "qzone";
    for (const Fake& fake : kFakes) {
        if (std::strcmp(fake.name, wanted) != 0) continue;
        FakeService service;
        fake.serve(service);
        std::printf("%s\n", qPrintable(service.ProxyUrl()));
        std::fprintf(stderr, "try: http_proxy=%s talvoria-cli albums %s\n", qPrintable(service.ProxyUrl()),
                     fake.tryWith);
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::seconds(argc > 2 ? std::atoi(argv[2]) : 300));
        return 0;
    }
    std::fprintf(stderr, "fake_service: no fake named '%s'; there are:", wanted);
    for (const Fake& fake : kFakes)
        std::fprintf(stderr, " %s", fake.name);
    std::fprintf(stderr, "\n");
    return 2;
}
