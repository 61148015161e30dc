#include "cli/CliJson.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "core/AppPaths.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

QString ChooseSaveDir(CCliSession& session, const CliArgs& args)
{
    if (!args.saveDir.isEmpty()) return args.saveDir;
    const QString newest = HistoryEntry(session.Core().Soft(), History::SavePath, 0);
    return newest.isEmpty() ? DefaultSavePath() : newest;
}

std::optional<std::vector<int>> ParseSelection(const QString& text, int albumCount)
{
    std::vector<int> albums;
    if (text.isEmpty() || text == u"all"_s) {
        for (int i = 0; i < albumCount; ++i)
            albums.push_back(i);
        return albums;
    }
    for (const QString& part : text.split(u',')) {
        const QStringList bounds = part.split(u'-');
        bool firstOk = false, lastOk = false;
        const int first = bounds.front().trimmed().toInt(&firstOk);
        const int last = bounds.size() == 2 ? bounds.back().trimmed().toInt(&lastOk) : first;
        if (!firstOk || (bounds.size() == 2 && !lastOk) || bounds.size() > 2 || first < 1 || last < first ||
            last > albumCount)
            return std::nullopt;
        for (int number = first; number <= last; ++number)
            albums.push_back(number - 1);
    }
    std::sort(albums.begin(), albums.end());
    albums.erase(std::unique(albums.begin(), albums.end()), albums.end());
    return albums;
}

namespace {
// The albums of an earlier run's --json summary that are worth another run: a failed listing or
// picture, fewer pictures than shown, or pictures a stop left. No value when the file does not
// read as such a summary.
std::optional<std::vector<int>> AlbumsToRetry(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QJsonDocument summary = QJsonDocument::fromJson(file.readAll());
    if (!summary.isObject() || !summary[u"albums"_s].isArray()) return std::nullopt;
    std::vector<int> albums;
    for (const QJsonValue& value : summary[u"albums"_s].toArray()) {
        const QJsonObject album = value.toObject();
        const bool incomplete = !album[u"listing_error"_s].isNull() || album[u"failed"_s].toInt() > 0 ||
                                album[u"short"_s].toBool() || album[u"not_tried"_s].toInt() > 0;
        if (incomplete && album[u"number"_s].toInt() > 0) albums.push_back(album[u"number"_s].toInt() - 1);
    }
    return albums;
}
} // namespace

std::optional<int> ListAndSelect(CCliSession& session, const CliArgs& args, std::vector<int>& selection)
{
    std::optional<std::vector<int>> retry;
    if (!args.retryFailed.isEmpty()) {
        if (!args.albums.isEmpty()) return UsageError(u"--albums and --retry-failed name the albums twice"_s);
        retry = AlbumsToRetry(args.retryFailed);
        if (!retry) return UsageError(u"--retry-failed %1 is no download summary (--json)"_s.arg(args.retryFailed));
    }
    const QString address = args.positional.front();
    const int listed = RunGetAlbums(session, args, address);
    if (listed != EXIT_DONE) return listed;
    // A stop signal while the albums were listed stops the whole command, not just the listing.
    if (session.Interrupted()) return EXIT_DONE;
    const int count = session.Core().m_pAlbumList->Count();
    if (retry) {
        if (std::any_of(retry->begin(), retry->end(), [count](int album) { return album >= count; }))
            return UsageError(u"--retry-failed %1 names albums beyond the %2 listed"_s.arg(args.retryFailed).arg(count));
        // Nothing to retry is a run that has nothing to do, not a run of every album.
        if (retry->empty()) return EXIT_DONE;
        selection = std::move(*retry);
        return std::nullopt;
    }
    std::optional<std::vector<int>> parsed = ParseSelection(args.albums, count);
    if (!parsed) return UsageError(u"--albums %1 does not fit the %2 albums listed"_s.arg(args.albums).arg(count));
    selection = std::move(*parsed);
    return std::nullopt;
}

int RunDownloadCommand(const CliArgs& args)
{
    CCliSession session(args);
    if (!session.CookiesImported()) return EXIT_ERROR;
    std::vector<int> selection;
    if (const std::optional<int> ended = ListAndSelect(session, args, selection)) return *ended;

    session.Runs().OnDownload(ChooseSaveDir(session, args), selection);
    const bool saved = session.WaitForRun();
    if (args.json) PrintJson(QJsonDocument(session.FrontEnd().RunJson()));
    return saved ? session.DownloadExit() : EXIT_ERROR;
}
