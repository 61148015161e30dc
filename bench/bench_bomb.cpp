// Fetches a listing page that is a gzip bomb (a few hundred KB inflating to far more than the
// inflation cap) as the adapters do (Send, then GetText with decompression), and prints the
// text's length and the process's peak resident size before and after.

#include "MyCode/CurlGlobal.h"
#include "MyCode/URLSource2.h"
#include "support/FakeService.h"
#include "support/ScopedProxy.h"

#include <sys/resource.h>

#include <cstdio>

namespace {
long PeakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}
} // namespace

int main(int argc, char** argv)
{
    // A bomb of plain text (blanks): zeros would end the text at its first NUL at once.
    const qint64 inflated = CURLSource2::kInflateCap + 64LL * 1024 * 1024;
    const QByteArray bomb = GzipFilled(' ', inflated);
    const int flags = argc > 1 ? atoi(argv[1]) : (FLAG_DECOMPRESS | FLAG_UTF8);
    CCurlGlobal curl;
    FakeService service;
    ScopedProxy proxy(service);
    service.Route("pages.example.com", "/bomb", FakeReply::Ok(bomb).Header("Content-Encoding", "gzip"));
    std::printf("bomb: %lld bytes inflating to %lld; peak RSS before the fetch: %ld MB\n",
                static_cast<long long>(bomb.size()), static_cast<long long>(inflated), PeakRssMb());

    CURLSource2 request(QStringLiteral("http://pages.example.com/bomb"), {}, 20000);
    CURLResponse response;
    if (!request.Send(response, 0)) return 1;
    QString text;
    response.GetText(text, flags);
    std::printf("text: %lld characters (flags %d); peak RSS after GetText: %ld MB\n",
                static_cast<long long>(text.size()), flags, PeakRssMb());
    return 0;
}
