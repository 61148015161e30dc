// cookies.txt of any bytes: load, answer a request, save, and load what was saved.
#include "FuzzFile.h"
#include "MyCode/CookieStore.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = WriteFuzzFile(QStringLiteral("cookies.txt"), data, size);
    CCookieStore store;
    if (!store.Load(path)) std::abort();
    store.CookieHeader(QUrl(QStringLiteral("http://user.qzone.qq.com/12345")));
    const qsizetype held = store.AllCookies().size();
    if (!store.Save()) std::abort();
    CCookieStore reloaded;
    if (!reloaded.Load(path)) std::abort();
    // Saving drops only cookies that expired meanwhile; none of a fresh load can grow.
    if (reloaded.AllCookies().size() > held) std::abort();
    return 0;
}
