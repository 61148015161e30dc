// A hostile host answers 8 times with 5,000 Set-Cookie lines each; prints how many cookies the
// jar then holds, how long the Cookie header of the next request is, and what building it costs.
// Usage: bench_cookie_flood [answers cookies-per-answer]   (default 8 5000)
#include "MyCode/CookieStore.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int answers = argc > 2 ? std::atoi(argv[1]) : 8;
    const int perAnswer = argc > 2 ? std::atoi(argv[2]) : 5000;
    const QUrl url("http://flood.example.com/album/1");
    CCookieStore store;
    QElapsedTimer timer;
    timer.start();
    for (int answer = 0; answer < answers; ++answer) {
        QList<QByteArray> values;
        for (int i = 0; i < perAnswer; ++i)
            values.append("f" + QByteArray::number(answer) + '_' + QByteArray::number(i) + "=xxxxxxxxxx; Path=/");
        store.StoreFromResponse(url, values);
    }
    const double flood = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    const QByteArray header = store.CookieHeader(url);
    const double build = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%d answers x %d cookies: stored in %.3f s, %lld held, header %lld bytes built in %.3f ms\n", answers,
                perAnswer, flood, static_cast<long long>(store.AllCookies().size()),
                static_cast<long long>(header.size()), build);
    return 0;
}
