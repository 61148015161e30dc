#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "core/AppPaths.h"
#include "cli/CliJson.h"

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

std::optional<int> ListAndSelect(CCliSession& session, const CliArgs& args, std::vector<int>& selection)
{
    const QString address = args.positional.front();
    const int listed = RunGetAlbums(session, args, address);
    if (listed != EXIT_DONE) return listed;
    // A stop signal while the albums were listed stops the whole command, not just the listing.
    if (session.Interrupted()) return EXIT_DONE;
    const int count = session.Core().m_pAlbumList->Count();
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
