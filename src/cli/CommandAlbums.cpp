#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "MyCode/StringCtrl.h"
#include "sources/AlbumListDriver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

using namespace Qt::StringLiterals;

int RunGetAlbums(CCliSession& session, const CliArgs& args, const QString& address)
{
    CLumarexCore& core = session.Core();
    const int kind = ChooseFamily(args, address);
    if (kind < 0) {
        std::fprintf(stderr, "talvoria-cli: unknown service %s (see 'talvoria-cli services')\n",
                     qPrintable(args.service));
        return EXIT_USAGE;
    }
    core.m_nSourceKind = kind;
    core.m_nSubKind = -1;
    core.m_nGetListState = GETLIST_RUNNING;
    bool usable = true;
    session.RunInterruptible([&] { usable = GetAlbumList(core, address); }, [&] { core.RequestGetAlbumsStop(); });
    if (!usable) return EXIT_ERROR;
    return core.m_pAlbumList->IsEmpty() ? EXIT_NO_ALBUM : EXIT_DONE;
}

namespace {
// Qt's JSON writer escapes C0 controls and lone surrogates but writes DEL, C1 controls (0x9B
// starts an escape sequence on some terminals) and bidirectional overrides raw. Those can stand
// only inside strings, where a \u escape means the same character to any reader.
QByteArray JsonForTerminal(const QByteArray& json)
{
    const QString text = QString::fromUtf8(json);
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x7F && CStringCtrl::IsControlOrBidi(c))
            shown += QString::asprintf("\\u%04x", unsigned(c.unicode()));
        else
            shown += c;
    }
    return shown.toUtf8();
}

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
    if (json) std::printf("%s\n", JsonForTerminal(QJsonDocument(array).toJson(QJsonDocument::Indented)).constData());
}
} // namespace

int RunAlbumsCommand(const CliArgs& args)
{
    if (args.positional.size() != 1) return EXIT_USAGE;
    const QString address = args.positional.front();
    CCliSession session(args, address);
    if (!session.CookiesImported()) return EXIT_ERROR;
    const int status = RunGetAlbums(session, args, address);
    if (status == EXIT_DONE || status == EXIT_NO_ALBUM) PrintAlbums(*session.Core().m_pAlbumList, args.json);
    return status;
}
