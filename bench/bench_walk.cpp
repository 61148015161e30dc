// Walks a listing page the way album listers do: repeated Between with the advance flag,
// one call per item. Prints MB/s for a 1 MB and a 10 MB page; the two rates should match.
#include "MyCode/StringCtrl.h"

#include <QElapsedTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
QString MakePage(int items, qsizetype targetBytes)
{
    // Each item is padded so that the page reaches the target size in UTF-16 bytes.
    const qsizetype itemChars = targetBytes / 2 / items;
    QString page;
    page.reserve(targetBytes / 2 + items * 16);
    for (int i = 0; i < items; ++i) {
        QString item = u"<li class=\"album\"><a href=\"/album/%1\">"_s.arg(i);
        item += QString(std::max<qsizetype>(0, itemChars - item.size() - 10), u'x');
        item += u"</a></li>"_s;
        page += item;
    }
    return page;
}

void Walk(const char* label, int items, qsizetype bytes)
{
    const QString page = MakePage(items, bytes);
    const double megabytes = double(page.size()) * 2 / (1024.0 * 1024.0);
    QElapsedTimer timer;
    timer.start();
    QString walk = page; // shared with page: the first advance detaches once, then never again
    int found = 0;
    while (!CStringCtrl::Between(walk, u"<a href=\"/album/", u"\"", 1).isEmpty())
        ++found;
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%-6s page %7.2f MB, %6d items: %8.3f ms, %9.1f MB/s\n", label, megabytes, found, seconds * 1e3,
                megabytes / seconds);
}
} // namespace

int main()
{
    Walk("1 MB", 5000, 1 << 20);
    Walk("10 MB", 50000, 10 << 20);
    return 0;
}
