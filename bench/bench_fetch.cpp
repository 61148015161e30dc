// Fetches 2,000 distinct 64 KB pictures from the fake service with 15 threads, each picture one
// request with a save path and flag word 3, as the download workers do, and prints the rate.

#include "MyCode/CurlGlobal.h"
#include "MyCode/URLSource2.h"
#include "support/FakeService.h"
#include "support/ScopedProxy.h"

#include <QDir>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr int kPictures = 2000;
constexpr int kPictureSize = 64 * 1024;
constexpr int kThreads = 15;
constexpr char kHost[] = "pics.example.com";

QByteArray Target(int index)
{
    return "/photo/" + QByteArray::number(index) + ".jpg";
}

} // namespace

int main()
{
    CCurlGlobal curl;
    FakeService service;
    ScopedProxy proxy(service);
    for (int i = 0; i < kPictures; ++i)
        service.Route(kHost, Target(i), FakeReply::Ok(FakePicture(i, kPictureSize), "image/jpeg"));
    QTemporaryDir folder;

    std::atomic<int> next{0};
    std::atomic<int> saved{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&] {
            for (int i; (i = next++) < kPictures;) {
                CURLSource2 request(QStringLiteral("http://%1%2").arg(kHost, QString::fromLatin1(Target(i))),
                                    folder.filePath(QStringLiteral("%1.jpg").arg(i)), 20000);
                CURLResponse response;
                if (request.Send(response, 3)) ++saved;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const qsizetype files = QDir(folder.path()).entryList(QDir::Files).size();
    const double megabytes = double(saved) * kPictureSize / (1024.0 * 1024.0);
    std::printf("fetched %d/%d pictures (%lld files) with %d threads in %.2f s\n", saved.load(), kPictures,
                static_cast<long long>(files), kThreads, seconds);
    std::printf("%.1f pictures/s, %.1f MB/s, at most %d requests in flight\n", saved / seconds, megabytes / seconds,
                service.MaxInFlight());
    return saved == kPictures && files == kPictures ? 0 : 1;
}
