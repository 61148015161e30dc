// Serves the QQ Zone fixtures on 127.0.0.1 for trying talvoria-cli by hand:
//   build/tests/fake_qzone &   (prints the proxy address)
//   http_proxy=http://127.0.0.1:PORT talvoria-cli albums 12345678
// It stops after the number of seconds given as its argument (default 300).
#include "support/AdapterTest.h"
#include "support/FakeService.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv)
{
    FakeService service;
    service.Route("route.store.qq.com", "/GetRoute", FakeReply::File(FixturePath(QStringLiteral("qzone/route.json"))));
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2",
                  FakeReply::File(FixturePath(QStringLiteral("qzone/albums.jsonp"))));
    service.Route("szplist.photo.qq.com", "/fcgi-bin/fcg_list_photo_v2",
                  FakeReply::File(FixturePath(QStringLiteral("qzone/photos-public.jsonp"))));
    for (int i = 1; i <= 3; ++i)
        service.Route("b1.photo.store.qq.com", "/psb?/V10pub/" + QByteArray::number(i) + ".jpg",
                      FakeReply::Ok(FakePicture(i, 200 * 1024), "image/jpeg").PauseAt(100 * 1024, 300));
    std::printf("%s\n", qPrintable(service.ProxyUrl()));
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 300));
    return 0;
}
