// Loads a cookies.txt of N distinct cookies (plus a tenth of them repeated with new values, as
// a file appended to by hand holds them) the way every start does, and saves it back. Prints
// the seconds each step takes for growing N; the per-cookie time should stay flat.
// Usage: bench_cookie_load [N...]   (default 1000 16000 100000)
#include "MyCode/CookieStore.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {
QByteArray MakeCookiesTxt(int count)
{
    const QByteArray expiry = QByteArray::number(QDateTime::currentSecsSinceEpoch() + 86400);
    QByteArray text = "# Netscape HTTP Cookie File\n";
    text.reserve(qsizetype(count) * 64);
    const auto line = [&](int i, const char* value) {
        text += ".host" + QByteArray::number(i % 997) + ".example.com\tTRUE\t/p" + QByteArray::number(i % 13) +
                "\tFALSE\t" + expiry + "\tname" + QByteArray::number(i) + '\t' + value + '\n';
    };
    for (int i = 0; i < count; ++i)
        line(i, "v1");
    for (int i = 0; i < count; i += 10)
        line(i, "v2");
    return text;
}

void Run(int count)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cookies.txt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(MakeCookiesTxt(count)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    file.close();

    CCookieStore store;
    QElapsedTimer timer;
    timer.start();
    store.Load(path);
    const double load = double(timer.nsecsElapsed()) / 1e9;
    const qsizetype held = store.AllCookies().size();
    timer.restart();
    store.SetCookie(QNetworkCookie("changed", "1"), QUrl("http://host1.example.com/"));
    store.Save();
    const double save = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%7d cookies: load %8.3f s (%6.2f us/cookie), save %7.3f s, %7lld held\n", count, load,
                load * 1e6 / count, save, static_cast<long long>(held));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        for (const int count : {1000, 16000, 100000})
            Run(count);
        return 0;
    }
    for (int i = 1; i < argc; ++i)
        Run(std::atoi(argv[i]));
    return 0;
}
