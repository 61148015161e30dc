#pragma once

#include <QSet>
#include <QString>

#include <functional>
#include <initializer_list>
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

// The scheme every typed address is read with.
inline constexpr char16_t kHttpScheme[] = u"http://";

// Address preparation: drops text up to and with mark (all of it when mark is absent).
void DropThrough(QString& text, QStringView mark);
// Cuts text at the first of marks, then at the next, and so on.
void CutAtAny(QString& text, std::initializer_list<QStringView> marks);
// A fragment found after the first character: present, and not what the text starts with.
bool HasAfterStart(const QString& text, QStringView fragment);
bool IsDigitsOnly(const QString& text);

// A decimal number at the start of text, blanks skipped; 0 when there is none.
int ReadDecimal(const QString& text);

// JSON writes "/" as "\/" inside strings.
QString UnescapeSlashes(QString text);

// Leaves a diagnostic copy of a page that could not be read: the file name in folder ("1.txt"
// when no name is given), holding a UTF-16LE byte-order mark and the text. Nothing reads these
// files back, so one that cannot be written is skipped.
void DumpText(const QString& folder, const QString& fileName, QStringView text);

} // namespace AdapterKit

class CAdapterRun;
class CAlbumListing;
struct ST_PERLISTRECORD;

namespace AdapterKit {

// Whether the listing has found no album so far.
bool NoAlbums(const CAlbumListing& run);
// The family's message when the listing found nothing.
void ShowIfNoAlbums(CAlbumListing& run, const QString& message);

// The service answers a page past the last one with nothing: that answer is the walk's normal
// end, not a listing that failed.
void EndOfPagesAnswered();

// Reports one album; false when the user asked the listing to stop.
bool AddAlbumAndGoOn(CAlbumListing& run, const ST_PERLISTRECORD& album);

// The extra header text of a picture that the service serves only to its own pages.
QString RefererLine(const QString& page);

// A password album: asks the user; on Yes shows the album's password page in the login browser
// and returns true once it is closed, so that the cookies it left open the album.
bool AskForPassword(CAdapterRun& run, const QString& question, const QString& passwordPage);

// What one paged walk has listed so far. A service that ignores the page number answers the
// same page again, or a page of pieces already listed; such a page brings nothing new, and a walk
// that ends at the first such page cannot run for ever. Pieces are known by a key the lister
// chooses (an id or an address); a piece met again is not listed twice.
class SeenPieces {
public:
    // Starts the next page of the walk.
    void StartPage() { m_pageBroughtNew = m_pageHeldPieces = false; }
    // Starts the next page; false when its text is the previous page's again (which ends a walk
    // also where a page may hold no piece at all).
    bool StartPage(const QString& text);
    // True the first time key comes up in the walk; the page then brought something new. An
    // empty key names no piece: it is let through but proves no progress.
    bool IsNew(const QString& key);
    // An album is known by its address, name and cover together.
    bool IsNew(const ST_PERLISTRECORD& album);
    // Whether the page started last brought a key not met before.
    bool PageBroughtNew() const { return m_pageBroughtNew; }
    // Whether the page started last met any key at all, new or not.
    bool PageHeldPieces() const { return m_pageHeldPieces; }

private:
    QSet<QString> m_keys;
    QString m_previousPage;
    bool m_pageBroughtNew = false;
    bool m_pageHeldPieces = false;
};

// How the pages of one paged walk are asked for. The request is the caller's, prepared with its
// headers, cut marks and retries; the walk sets only its address.
struct PageWalk {
    CURLSource2& request;
    int textFlags;
    // A page without this mark is the last one; with no mark any page may have a next one.
    QStringView nextMark = {};
    // Where false, a page holding no piece at all does not end the walk; one holding only pieces
    // listed before still does.
    bool pageWithoutPiecesEnds = true;
};

using PageReader = std::function<bool(QString& text, int page, SeenPieces& seen)>;

// Requests the pages 1, 2, 3, ... of a paged listing and hands each text to readPage, which meets
// its pieces' keys in seen and returns false to end the walk (at the last page, or on a stop).
// addressOf gives each page's address just before it is requested, so it may also set up the
// request for that page. The walk also ends at a failed or empty page, at the same page again, at
// a page without the next mark and at a page that brought nothing new.
void WalkPages(const PageWalk& walk, const std::function<QString(int page)>& addressOf, const PageReader& readPage);

// The same walk with a plain listing request (gzip accepted).
void WalkPages(const std::function<QString(int page)>& addressOf, int textFlags, QStringView nextMark,
               const PageReader& readPage);

// Sets the listing's owner to what the page holds between startMark and endMark (fallback when
// that is empty), cleaned for a folder name; the page then begins after startMark.
void SetOwnerName(CAlbumListing& run, QString& page, QStringView startMark, QStringView endMark,
                  const QString& fallback = {});

} // namespace AdapterKit
