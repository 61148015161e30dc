// Reads the history mark of an album folder whose mark has grown to SIZE_MB (default 300) of
// UTF-16 text after its first line, and prints the time taken and the peak memory of the
// process before and after the read; the read should cost neither.
// Usage: bench_history_mark [SIZE_MB]
#include "download/History.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

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
    const int sizeMb = argc > 1 ? std::atoi(argv[1]) : 300;
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    {
        QFile file(folder + QStringLiteral(".pic.zrv"));
        if (!file.open(QIODevice::WriteOnly)) return 1;
        const QString first = QStringLiteral("http://h/1.jpg\n");
        file.write(reinterpret_cast<const char*>(first.utf16()), first.size() * 2);
        const QByteArray block(1024 * 1024, 'x');
        for (int i = 0; i < sizeMb; ++i)
            file.write(block);
    }
    const long before = PeakRssMb();
    QElapsedTimer timer;
    timer.start();
    const QString mark = ReadHistoryMark(folder);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%d MB mark: read %.3f ms, peak RSS %ld MB before, %ld MB after, mark \"%s\"\n", sizeMb, ms, before,
                PeakRssMb(), qPrintable(mark));
    return mark == QStringLiteral("http://h/1.jpg") ? 0 : 1;
}
