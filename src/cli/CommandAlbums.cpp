#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "MyCode/StringCtrl.h"
#include "cli/CliJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

using namespace Qt::StringLiterals;

int RunGetAlbums(CCliSession& session, const CliArgs& args, const QString& address)
{
    CLumarexCore& core = session.Core();
    const int kind = ChooseFamily(args, address);
    if (kind < 0) return UsageError(u"unknown service '%1' (see 'talvoria-cli services')"_s.arg(args.service));
    core.m_nSourceKind = kind;
    session.Runs().OnGetAlbums(address);
    if (!session.WaitForRun()) return EXIT_ERROR;
    return core.m_pAlbumList->IsEmpty() ? EXIT_NO_ALBUM : EXIT_DONE;
}

namespace {
void PrintAlbums(const ST_PERLIST& albums, bool json)
{
    QJsonArray array;
    for (int i = 0; i < albums.Count(); ++i) {
        const ST_PERLISTRECORD album = albums.At(i);
        if (!json) {
            const QString line = u"%1\t%2\t%3\t%4"_s.arg(
                QString::asprintf("%04d", i + 1), CStringCtrl::VisibleControls(album.strName, false),
                FormatPicCount(album.nPicCount), FormatPrivacy(album.nPrivacy));
            std::printf("%s\n", line.toUtf8().constData());
            continue;
        }
        array.append(QJsonObject{{u"number"_s, i + 1},
                                 {u"name"_s, album.strName},
                                 {u"id"_s, album.strAlbumId},
                                 {u"cover"_s, album.strCoverUrl},
                                 {u"count"_s, album.nPicCount},
                                 {u"privacy"_s, album.nPrivacy}});
    }
    if (json) PrintJson(QJsonDocument(array));
}
} // namespace

int RunAlbumsCommand(const CliArgs& args)
{
    const QString address = args.positional.front();
    CCliSession session(args);
    if (!session.CookiesImported()) return EXIT_ERROR;
    const int status = RunGetAlbums(session, args, address);
    if (status == EXIT_DONE || status == EXIT_NO_ALBUM) PrintAlbums(*session.Core().m_pAlbumList, args.json);
    return status;
}
