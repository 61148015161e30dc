// Downloads pictures from a dead host, as one album's pool does, and prints how long the pool
// took to give up on them and what it counted: 2,000 from a host that refuses every connection
// (a port on 127.0.0.1 bound but not listening) with 15 threads, then 48 from a host that takes
// connections and never answers, with 8 threads and a time-out of 10 s.
// Usage: bench_dead_host [SILENT_PICTURES]

#include "MyCode/CurlGlobal.h"
#include "download/DownPool.h"
#include "core/Records.h"
#include "support/ScopedProxy.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
void Run(RefusingPort::Mode mode, int pictures, int threads, int timeout)
{
    const RefusingPort port(mode);
    QTemporaryDir folder;
    CDownList list;
    list.m_strSaveDir = folder.path() + QStringLiteral("/");
    for (int i = 0; i < pictures; ++i)
        list.Append(port.Url(QStringLiteral("/p/%1.jpg").arg(i)), QStringLiteral("p%1.jpg").arg(i), {});

    const std::atomic<bool> stop{false};
    DownRunParams params;
    params.nThreads = std::uint16_t(threads);
    params.nTimeout = std::uint16_t(timeout);
    CDownPool pool(stop, params);
    const auto start = std::chrono::steady_clock::now();
    const DownSummary summary = pool.Run(list, nullptr);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d pictures to a %s host, %d threads, time-out %d s: %.2f s; saved %d, failed %d, reasons listed %lld\n",
                pictures, mode == RefusingPort::Mode::Silent ? "silent" : "refusing", threads, timeout, seconds,
                summary.saved, summary.failed, static_cast<long long>(summary.failures.size()));
    if (!summary.failures.isEmpty())
        std::printf("first: %s\nlast:  %s\n", qPrintable(summary.failures.front()),
                    qPrintable(summary.failures.back()));
}
} // namespace

int main(int argc, char** argv)
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(name);
    CCurlGlobal curl;
    Run(RefusingPort::Mode::Refusing, 2000, 15, 30);
    Run(RefusingPort::Mode::Silent, argc > 1 ? std::atoi(argv[1]) : 48, 8, 10);
    return 0;
}
