#include "cli/CliFrontEnd.h"

#include "MyCode/StringCtrl.h"

#include <QJsonArray>

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// Text from a page reaches the terminal with its controls shown, never obeyed. Messages keep
// their own line breaks; a name or an address is one line.
QString Shown(const QString& text)
{
    return CStringCtrl::VisibleControls(text, false);
}

QString ShownMessage(const QString& text)
{
    return CStringCtrl::VisibleControls(text, true);
}
} // namespace

CCliFrontEnd::CCliFrontEnd(Answer answer, bool quiet)
    : m_answer(answer), m_stderrIsTerminal(isatty(STDERR_FILENO) != 0), m_quiet(quiet)
{
}

void CCliFrontEnd::PrintLine(const QString& text)
{
    std::lock_guard guard(m_lock);
    if (m_progressShown) std::fputs("\n", stderr);
    m_progressShown = false;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

void CCliFrontEnd::EndProgressLine()
{
    std::lock_guard guard(m_lock);
    if (m_progressShown) std::fputs("\n", stderr);
    m_progressShown = false;
}

void CCliFrontEnd::ShowMessage(const QString& text)
{
    PrintLine(u"talvoria: "_s + ShownMessage(text));
}

bool CCliFrontEnd::AskYesNo(const QString& question)
{
    const QString text = ShownMessage(question);
    if (m_answer != Answer::Ask) {
        if (!m_quiet) PrintLine(text + (m_answer == Answer::Yes ? u" [yes]"_s : u" [no]"_s));
        return m_answer == Answer::Yes;
    }
    if (!isatty(STDIN_FILENO)) {
        if (!m_quiet) PrintLine(text + u" [no]"_s);
        return false;
    }
    std::lock_guard guard(m_lock);
    std::fprintf(stderr, "%s%s (y/N) ", m_progressShown ? "\n" : "", text.toUtf8().constData());
    m_progressShown = false;
    std::string reply;
    std::getline(std::cin, reply);
    return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
}

void CCliFrontEnd::OpenLoginPage(const QString& url)
{
    PrintLine(u"talvoria: 需要在浏览器中登录或验证: %1\n"
              "          完成后导出 cookies.txt，并用 --cookies 导入后重试。"_s.arg(Shown(url)));
}

void CCliFrontEnd::SetStatusText(StatusLine line, const QString& status)
{
    if (m_quiet || status.isEmpty() || line == StatusLine::AlbumFrame) return;
    const QString text = Shown(status);
    // On a terminal the counts rewrite their own line; in a log only the final download count
    // of each album is worth a line (Progress prints it).
    if (line == StatusLine::Counts) {
        if (!m_stderrIsTerminal) return;
        std::lock_guard guard(m_lock);
        std::fprintf(stderr, "\r\033[K%s", text.toUtf8().constData());
        m_progressShown = true;
        return;
    }
    PrintLine(text);
}

void CCliFrontEnd::Progress(const RunProgress& progress)
{
    if (m_quiet) return;
    if (progress.Listing()) {
        SetStatusText(StatusLine::Phase, AlbumPhaseText(progress));
        SetStatusText(StatusLine::Counts, u"......"_s);
    } else if (m_stderrIsTerminal) {
        DrawProgress(progress.picturesDone, progress.pictures);
    } else if (progress.picturesDone == progress.pictures) {
        PrintLine(PictureCountText(progress));
    }
}

void CCliFrontEnd::ShowCount(int done, int total)
{
    if (!m_quiet && m_stderrIsTerminal) DrawProgress(done, total);
}

void CCliFrontEnd::DrawProgress(int done, int total)
{
    constexpr int kWidth = 30;
    const int filled = total > 0 ? done * kWidth / total : kWidth;
    std::lock_guard guard(m_lock);
    std::fprintf(stderr, "\r\033[K[%s%s] %d/%d", std::string(size_t(filled), '#').c_str(),
                 std::string(size_t(kWidth - filled), '.').c_str(), done, total);
    m_progressShown = true;
}

void CCliFrontEnd::SetGetListUi(bool) {}
void CCliFrontEnd::SetDownloadUi(bool) {}
void CCliFrontEnd::AlbumAdded(int) {}

void CCliFrontEnd::DownloadFinished(const DownSummary& album, const QString& folder)
{
    // A long list of failures would bury the summary; the first ones tell what went wrong.
    constexpr int kFailuresShown = 10;
    {
        std::lock_guard guard(m_lock);
        m_albums.emplace_back(folder, album);
    }
    if (m_quiet && !album.Failed()) return;
    QString text = m_quiet && album.listingError.isEmpty() ? QString() : Shown(AlbumSummaryText(album));
    for (qsizetype i = 0; i < album.failures.size() && i < kFailuresShown; ++i)
        text += (text.isEmpty() ? u""_s : u"\n"_s) + u"  失败 "_s + Shown(album.failures[i]);
    if (album.failures.size() > kFailuresShown)
        text += u"\n  ……另有%1张失败"_s.arg(album.failures.size() - kFailuresShown);
    PrintLine(text);
}

void CCliFrontEnd::RunFinished(const DownSummary& run)
{
    {
        std::lock_guard guard(m_lock);
        m_lastRun = run;
    }
    // A long list of albums would bury the line; the first ones tell which.
    constexpr int kAlbumsShown = 10;
    const QStringList incomplete = run.failedAlbums + run.shortAlbums;
    if (m_quiet || (run.total == 0 && incomplete.isEmpty())) return;
    QString text = u"共%1张图片：%2"_s.arg(run.total).arg(DownSummaryText(run));
    if (!incomplete.isEmpty()) text += u"；"_s + IncompleteAlbumsText(run);
    for (qsizetype i = 0; i < incomplete.size() && i < kAlbumsShown; ++i)
        text += u"\n  "_s + Shown(incomplete[i]);
    if (incomplete.size() > kAlbumsShown) text += u"\n  …"_s;
    PrintLine(text);
}

DownSummary CCliFrontEnd::LastRun() const
{
    std::lock_guard guard(m_lock);
    return m_lastRun;
}

void CCliFrontEnd::OpenFolder(const QString& path)
{
    if (m_quiet) return;
    PrintLine(u"保存在: "_s + Shown(path));
}

void CCliFrontEnd::ShowRequest(const QByteArray& method, const QByteArray& url, long status)
{
    const QString answer = status > 0 ? QString::number(status) : u"no answer"_s;
    PrintLine(u"%1 %2 -> %3"_s.arg(QString::fromLatin1(method), Shown(QString::fromUtf8(url)), answer));
}

namespace {
QJsonObject CountsJson(const DownSummary& summary)
{
    const QJsonValue declared = summary.declared >= 0 ? QJsonValue(summary.declared) : QJsonValue(QJsonValue::Null);
    return QJsonObject{{u"declared"_s, declared},         {u"listed"_s, summary.total},
                       {u"saved"_s, summary.saved},       {u"failed"_s, summary.failed},
                       {u"skipped"_s, summary.skipped},   {u"not_tried"_s, summary.notTried},
                       {u"total"_s, summary.total},       {u"seconds"_s, summary.seconds},
                       {u"stopped"_s, summary.stopped}};
}
} // namespace

QJsonObject CCliFrontEnd::RunJson() const
{
    std::lock_guard guard(m_lock);
    QJsonObject run = CountsJson(m_lastRun);
    QJsonArray albums;
    for (const auto& [folder, summary] : m_albums) {
        QJsonObject album = CountsJson(summary);
        album[u"number"_s] = summary.album + 1;
        album[u"name"_s] = summary.name;
        album[u"folder"_s] = folder;
        album[u"listing_error"_s] =
            summary.listingError.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(summary.listingError);
        album[u"short"_s] = summary.Missing() > 0;
        QJsonArray failures;
        for (const QString& failure : summary.failures) {
            // "file name: reason"; file names never hold ": ", reasons may.
            const qsizetype colon = failure.indexOf(u": "_s);
            failures.append(QJsonObject{{u"name"_s, colon < 0 ? failure : failure.left(colon)},
                                        {u"reason"_s, colon < 0 ? QString() : failure.mid(colon + 2)}});
        }
        album[u"failures"_s] = failures;
        albums.append(album);
    }
    run[u"albums"_s] = albums;
    return run;
}
