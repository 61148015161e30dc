// A whole account against a ready list: a fake QQ Zone account of ALBUMS albums x PICTURES
// pictures whose every answer (route, album list, photo lists, pictures) comes after a delay is
// downloaded by `talvoria-cli download` of all its albums, then the same picture addresses are
// fetched by `curl --parallel` from a ready list through the same fake, tools taking turns; prints
// each time and the ratio to curl's, per delay.
//   bench_account [CLI [BEFORE_CLI]]   (CLI defaults to the talvoria-cli built beside this one)
// Environment: ALBUMS (40), PICTURES (30), DELAYS ("0 20 80 200" ms), THREADS (15), SIZE_KB (32);
// LIST_ONLY=1 lists every album to its list file instead (no curl) and prints the peak memory
// of each talvoria run, measured by /usr/bin/time.
#include "support/AdapterTest.h"
#include "support/FakeService.h"
#include "support/ScopedProxy.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {
int Setting(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

struct Account {
    int albums;
    int pictures;
    int sizeKB;
    int delayMs;
};

// Laid out as the service lays it out: its lister cuts at `"id" : "`.
QByteArray AlbumList(const Account& account)
{
    QByteArray list = "_Callback(\n{\n\t\"code\":0,\n\t\"data\" : {\n\t\t\"albumListModeSort\" : [\n";
    for (int a = 1; a <= account.albums; ++a) {
        if (a > 1) list += ",\n";
        list += "\t\t\t{\n\t\t\t\t\"allowAccess\" : 1,\n\t\t\t\t\"id\" : \"A" + QByteArray::number(a) +
                "\",\n\t\t\t\t\"name\" : \"album " + QByteArray::number(a) +
                "\",\n\t\t\t\t\"priv\" : 1,\n\t\t\t\t\"total\" : " + QByteArray::number(account.pictures) +
                ",\n\t\t\t\t\"viewtype\" : 0\n\t\t\t}";
    }
    return list + "\n\t\t]\n\t},\n\t\"message\":\"\"\n}\n);";
}

QByteArray PictureUrl(int album, int picture)
{
    return "http://b1.photo.store.qq.com/psb?/A" + QByteArray::number(album) + "/" + QByteArray::number(picture) +
           ".jpg";
}

QByteArray PhotoList(const Account& account, int album)
{
    QByteArray list = "_Callback(\n{\n\t\"code\":0,\n\t\"data\" : {\n\t\t\"photoList\" : [\n";
    for (int p = 1; p <= account.pictures; ++p) {
        if (p > 1) list += ",\n";
        list += "\t\t\t{\n\t\t\t\t\"batchId\" : \"" + QByteArray::number(p) + "\",\n\t\t\t\t\"name\" : \"p" +
                QByteArray::number(p) + "\",\n\t\t\t\t\"origin_url\" : \"" + PictureUrl(album, p).replace("/", "\\/") +
                "\",\n\t\t\t\t\"url\" : \"x\"\n\t\t\t}";
    }
    return list + "\n\t\t]\n\t}\n}\n);";
}

void Serve(FakeService& service, const Account& account)
{
    const int delay = account.delayMs;
    const auto late = [delay](FakeReply reply) { return delay > 0 ? reply.DelayHead(delay) : reply; };
    service.Route("route.store.qq.com", "/GetRoute",
                  late(FakeReply::File(FixturePath(u"qzone/route.json"_s))));
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2", late(FakeReply::Ok(AlbumList(account))));
    service.Route("szplist.photo.qq.com", "/fcgi-bin/fcg_list_photo_v2", [account, late](const FakeRequest& request) {
        const QUrlQuery query(QString::fromLatin1(request.query()));
        const int album = query.queryItemValue(u"albumid"_s).mid(1).toInt();
        return late(FakeReply::Ok(PhotoList(account, album)));
    });
    const QByteArray picture = FakePicture(1, account.sizeKB * 1024);
    service.Route("b1.photo.store.qq.com", "/psb?*", late(FakeReply::Ok(picture, "image/jpeg")));
}

// Seconds the program took, or -1 when it failed.
double Timed(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
             bool showErrors = true)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (showErrors)
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    else
        process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(30 * 60 * 1000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed (exit %d): %s\n", qPrintable(program), process.exitCode(),
                     process.readAllStandardOutput().left(400).constData());
        return -1;
    }
    return double(clock.nsecsElapsed()) / 1e9;
}

// The peak resident memory, in KB, /usr/bin/time wrote to path; 0 when it wrote none.
long PeakKB(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLong() : 0;
}

double Talvoria(const QString& cli, const FakeService& service, const Account& account, int threads, long* peakKB)
{
    QTemporaryDir app, save;
    const QProcessEnvironment environment = ProxiedEnvironment(service);
    const QStringList common{u"--app-dir"_s, app.path(), u"--no"_s, qEnvironmentVariableIsSet("VERBOSE") ? u"-v"_s : u"-q"_s};
    const QString options = QString::number(peakKB ? 8 : 0); // 8: list only
    if (Timed(cli, common + QStringList{u"settings"_s, u"nThreads=%1"_s.arg(threads), u"nOptions="_s + options},
              environment) < 0)
        return -1;
    const QStringList download =
        common + QStringList{u"download"_s, u"12345678"_s, u"--albums"_s, u"1-%1"_s.arg(account.albums), u"--save-dir"_s,
                             save.path()};
    if (!peakKB) return Timed(cli, download, environment);
    const QString peakFile = app.filePath(u"peak"_s);
    const double seconds =
        Timed(u"/usr/bin/time"_s, QStringList{u"-f"_s, u"%M"_s, u"-o"_s, peakFile, cli} + download, environment);
    *peakKB = PeakKB(peakFile);
    return seconds;
}

double Curl(const FakeService& service, const Account& account, int threads)
{
    QTemporaryDir save;
    QFile config(save.filePath(u"urls.conf"_s));
    if (!config.open(QIODevice::WriteOnly)) return -1;
    for (int a = 1; a <= account.albums; ++a)
        for (int p = 1; p <= account.pictures; ++p)
            config.write("url = \"" + PictureUrl(a, p) + "\"\noutput = \"" + save.path().toUtf8() + "/" +
                         QByteArray::number(a) + "-" + QByteArray::number(p) + ".jpg\"\n");
    config.close();
    return Timed(u"curl"_s,
                 {u"-s"_s, u"--fail"_s, u"--parallel"_s, u"--parallel-max"_s, QString::number(threads), u"-x"_s,
                  service.ProxyUrl(), u"-K"_s, config.fileName()},
                 QProcessEnvironment::systemEnvironment(), false);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString cli = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                 : QCoreApplication::applicationDirPath() + u"/../src/cli/talvoria-cli"_s;
    const QString before = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const int threads = Setting("THREADS", 15);
    Account account{Setting("ALBUMS", 40), Setting("PICTURES", 30), Setting("SIZE_KB", 32), 0};
    const QStringList delays = QString::fromLocal8Bit(qgetenv("DELAYS")).split(u' ', Qt::SkipEmptyParts);
    std::printf("%d albums x %d pictures of %d KB, %d threads\n", account.albums, account.pictures, account.sizeKB,
                threads);
    const bool listOnly = qEnvironmentVariableIntValue("LIST_ONLY") == 1;
    for (const QString& delay : delays.isEmpty() ? QStringList{u"0"_s, u"20"_s, u"80"_s, u"200"_s} : delays) {
        account.delayMs = delay.toInt();
        FakeService service;
        Serve(service, account);
        if (listOnly) {
            long peak = 0;
            const double after = Talvoria(cli, service, account, threads, &peak);
            std::printf("delay %3d ms, list only: talvoria %6.2f s, %ld KB peak", account.delayMs, after, peak);
            if (!before.isEmpty()) {
                const double old = Talvoria(before, service, account, threads, &peak);
                std::printf("; before %6.2f s, %ld KB peak", old, peak);
            }
            std::printf("\n");
            continue;
        }
        const double curl = Curl(service, account, threads);
        const double after = Talvoria(cli, service, account, threads, nullptr);
        std::printf("delay %3d ms: curl from a ready list %6.2f s; talvoria %6.2f s (%.2f x)", account.delayMs, curl,
                    after, curl > 0 ? after / curl : 0.0);
        if (!before.isEmpty()) {
            const double old = Talvoria(before, service, account, threads, nullptr);
            std::printf("; before %6.2f s (%.2f x)", old, curl > 0 ? old / curl : 0.0);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
