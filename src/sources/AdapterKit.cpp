#include "sources/AdapterKit.h"

#include "MyCode/RequestWatch.h"
#include "MyCode/StringCtrl.h"
#include "MyCode/URLSource2.h"
#include "core/AdapterRun.h"
#include "core/FileNames.h"

#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace AdapterKit {

QString ListingHeaders(const QString& referer)
{
    QString headers = QString::fromUtf16(kAcceptGzip);
    if (!referer.isEmpty()) headers += u"\r\nReferer: "_s + referer;
    return headers;
}

std::optional<QString> Fetch(CURLSource2& request, CURLResponse& response, const QString& url, int textFlags)
{
    request.m_strUrl = url;
    if (!request.Send(response, 0)) return std::nullopt;
    QString text;
    response.GetText(text, textFlags);
    return text;
}

QString FetchText(CURLSource2& request, CURLResponse& response, const QString& url, int textFlags)
{
    return Fetch(request, response, url, textFlags).value_or(QString());
}

QString FetchBetweenMarks(const QString& url, const QByteArray& startMark, const QByteArray& endMark, int textFlags)
{
    CURLSource2 request;
    CURLResponse response;
    request.m_strHeaders = ListingHeaders();
    request.m_strStartMark = startMark;
    request.m_strEndMark = endMark;
    return FetchText(request, response, url, textFlags);
}

void DropThrough(QString& text, QStringView mark)
{
    CStringCtrl::SkipTo(text, mark, true);
}

void CutAtAny(QString& text, std::initializer_list<QStringView> marks)
{
    for (QStringView mark : marks)
        CStringCtrl::CutAt(text, mark);
}

bool HasAfterStart(const QString& text, QStringView fragment)
{
    return text.indexOf(fragment) > 0;
}

bool IsDigitsOnly(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

int ReadDecimal(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (negative || (i < text.size() && text[i] == u'+')) ++i;
    long long value = 0;
    for (; i < text.size() && text[i].isDigit() && text[i] <= u'9'; ++i)
        value = std::min<long long>(value * 10 + (text[i].unicode() - u'0'), 0x7FFFFFFF);
    return int(negative ? -value : value);
}

QString UnescapeSlashes(QString text)
{
    return text.replace(u"\\/"_s, u"/"_s);
}

void DumpText(const QString& folder, const QString& fileName, QStringView text)
{
    QFile file(folder + (fileName.isEmpty() ? u"1.txt"_s : fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    QByteArray bytes("\xFF\xFE", 2);
    bytes.reserve(2 + text.size() * 2);
    for (QChar unit : text)
        bytes.append(char(unit.unicode() & 0xFF)).append(char(unit.unicode() >> 8));
    file.write(bytes);
}

} // namespace AdapterKit

namespace AdapterKit {

bool NoAlbums(const CAlbumListing& run)
{
    return run.Albums().IsEmpty();
}

void ShowIfNoAlbums(CAlbumListing& run, const QString& message)
{
    if (NoAlbums(run)) run.ShowMessage(message);
}

void EndOfPagesAnswered()
{
    if (CRequestWatch* watch = CRequestWatch::Current()) watch->AcceptLastAsEnd();
}

bool AddAlbumAndGoOn(CAlbumListing& run, const ST_PERLISTRECORD& album)
{
    run.AddAlbum(album);
    return !run.Stopped();
}

QString RefererLine(const QString& page)
{
    return u"Referer: "_s + page;
}

bool AskForPassword(CAdapterRun& run, const QString& question, const QString& passwordPage)
{
    if (!run.FrontEnd().AskYesNo(question)) return false;
    run.FrontEnd().OpenLoginPage(passwordPage);
    return true;
}

bool SeenPieces::StartPage(const QString& text)
{
    StartPage();
    if (text == m_previousPage) return false;
    m_previousPage = text;
    return true;
}

bool SeenPieces::IsNew(const QString& key)
{
    if (key.isEmpty()) return true;
    const qsizetype before = m_keys.size();
    m_keys.insert(key);
    m_pageHeldPieces = true;
    if (m_keys.size() == before) return false;
    m_pageBroughtNew = true;
    return true;
}

bool SeenPieces::IsNew(const ST_PERLISTRECORD& album)
{
    return IsNew(album.strAlbumId + u'\n' + album.strName + u'\n' + album.strCoverUrl);
}

void WalkPages(const PageWalk& walk, const std::function<QString(int page)>& addressOf, const PageReader& readPage)
{
    CURLResponse response;
    SeenPieces seen;
    bool morePages = true;
    for (int page = 1; morePages; ++page) {
        QString text = FetchText(walk.request, response, addressOf(page), walk.textFlags);
        if (text.isEmpty() || !seen.StartPage(text)) return;
        morePages = walk.nextMark.isEmpty() || text.contains(walk.nextMark);
        if (!readPage(text, page, seen)) return;
        if (!seen.PageBroughtNew() && (walk.pageWithoutPiecesEnds || seen.PageHeldPieces())) return;
    }
}

void WalkPages(const std::function<QString(int page)>& addressOf, int textFlags, QStringView nextMark,
               const PageReader& readPage)
{
    CURLSource2 request;
    request.m_strHeaders = ListingHeaders();
    WalkPages(PageWalk{request, textFlags, nextMark}, addressOf, readPage);
}

void SetOwnerName(CAlbumListing& run, QString& page, QStringView startMark, QStringView endMark,
                  const QString& fallback)
{
    QString owner = CStringCtrl::Between(page, startMark, endMark, 1);
    if (owner.isEmpty()) owner = fallback;
    SanitizeName(owner, kTimeStampFallback, true);
    run.listing.m_strOwnerName = owner;
}

} // namespace AdapterKit
