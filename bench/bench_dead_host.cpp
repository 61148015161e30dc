// Downloads 2,000 pictures from a host that refuses every connection (a port on 127.0.0.1 that
// is bound but not listening) with 15 threads, as one album's pool does, and prints how long
// the pool took to give up on them and what it counted.

#include "MyCode/CurlGlobal.h"
#include "download/DownPool.h"
#include "core/Records.h"
#include "support/ScopedProxy.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kPictures = 2000;
} // namespace

int main()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(name);
    CCurlGlobal curl;
    const RefusingPort refusing;
    QTemporaryDir folder;
    CDownList list;
    list.m_strSaveDir = folder.path() + QStringLiteral("/");
    for (int i = 0; i < kPictures; ++i)
        list.Append(refusing.Url(QStringLiteral("/p/%1.jpg").arg(i)), QStringLiteral("p%1.jpg").arg(i), {});

    const std::atomic<bool> stop{false};
    CDownPool pool(stop);
    DownRunParams params;
    params.nThreads = 15;
    const auto start = std::chrono::steady_clock::now();
    const DownSummary summary = pool.Run(list, params, nullptr);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d pictures to a refusing host, 15 threads: %.2f s; saved %d, failed %d, reasons listed %lld\n",
                kPictures, seconds, summary.saved, summary.failed, static_cast<long long>(summary.failures.size()));
    if (!summary.failures.isEmpty())
        std::printf("first: %s\nlast:  %s\n", qPrintable(summary.failures.front()),
                    qPrintable(summary.failures.back()));
    return 0;
}
