#pragma once

#include <QSet>
#include <QString>

#include <optional>

class CURLSource2;
class CURLResponse;

// Cutting and fetching steps that many adapters share.
namespace AdapterKit {

inline constexpr char16_t kAcceptGzip[] = u"Accept-Encoding: gzip, deflate";

// The header text of a listing request: gzip accepted, and the referring page when given.
QString ListingHeaders(const QString& referer = {});

// Sends the request for url with flag word 0 and returns its text read with textFlags; no
// value when the request failed (an empty text is returned as it is).
std::optional<QString> Fetch(CURLSource2& request, CURLResponse& response, const QString& url, int textFlags);

// Like Fetch, for listers that treat a failed request and an empty answer alike.
QString FetchText(CURLSource2& request, CURLResponse& response, const QString& url, int textFlags);

// The text of one listing page cut while it arrives to what lies after the last start mark and
// before the end mark; the transfer ends at the end mark. Empty when the request failed.
QString FetchBetweenMarks(const QString& url, const QByteArray& startMark, const QByteArray& endMark, int textFlags);

// A decimal number at the start of text, blanks skipped; 0 when there is none.
int ReadDecimal(const QString& text);

// JSON writes "/" as "\/" inside strings.
QString UnescapeSlashes(QString text);

// Leaves a diagnostic copy of a page that could not be read: the file name in folder ("1.txt"
// when no name is given), holding a UTF-16LE byte-order mark and the text. Nothing reads these
// files back, so one that cannot be written is skipped.
void DumpText(const QString& folder, const QString& fileName, QStringView text);

} // namespace AdapterKit

class CLumarexCore;
struct ST_PERLISTRECORD;

namespace AdapterKit {

// A photo lister stops when the album reached its history mark or a stop was requested.
bool PhotoListingStopped(const CLumarexCore& core);

// Reports one album; false when the user asked the listing to stop.
bool AddAlbumAndGoOn(CLumarexCore& core, const ST_PERLISTRECORD& album);

// The extra header text of a picture that the service serves only to its own pages.
QString RefererLine(const QString& page);

// A password album: asks the user; on Yes shows the album's password page in the login browser
// and returns true once it is closed, so that the cookies it left open the album.
bool AskForPassword(CLumarexCore& core, const QString& question, const QString& passwordPage);

} // namespace AdapterKit

namespace AdapterKit {

// Tells a paged listing when the service has nothing new to say: the same page text as the page
// before, or a page whose pieces were all seen already. A service that ignores the page number
// would otherwise be asked for ever.
class PageWalk {
public:
    // Starts the next page; false when its text repeats the page before.
    bool NewPage(const QString& text);
    // True when the piece named by key is new to the walk; remembers it.
    bool NewPiece(const QString& key);
    // Whether the current page held a piece not seen before.
    bool PageAddedAny() const { return m_nNewOnPage > 0; }

private:
    QString m_strPrevious;
    QSet<QString> m_seen;
    qsizetype m_nNewOnPage = 0;
};

} // namespace AdapterKit
