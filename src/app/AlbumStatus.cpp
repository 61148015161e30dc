#include "app/AlbumStatus.h"

#include "app/AlbumGridModel.h"
#include "core/RunProgress.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
// The picture failures an album's cell lists in its tip.
constexpr int kCellFailuresShown = 10;
} // namespace

QString AlbumStatus::Text() const
{
    switch (kind) {
    case Waiting:
        return u"等待"_s;
    case Busy:
        return u"下载中"_s;
    case Done:
        return u"完成"_s;
    case PicturesFailed:
        return u"失败%1张"_s.arg(count);
    case ListingFailed:
        return u"列表失败"_s;
    case Short:
        return u"缺%1张"_s.arg(count);
    case Stopped:
        return u"已停止"_s;
    case None:
        break;
    }
    return {};
}

bool AlbumStatus::WantsRetry() const
{
    return kind == PicturesFailed || kind == ListingFailed || kind == Short || kind == Stopped;
}

AlbumStatus StatusOf(const DownSummary& album)
{
    if (!album.listingError.isEmpty()) return {AlbumStatus::ListingFailed, 0, album.listingError};
    if (album.failed > 0)
        return {AlbumStatus::PicturesFailed, album.failed, TipLines(album.failures, kCellFailuresShown, u"张"_s)};
    // A stop in the middle of the listing leaves an album with nothing listed and nothing tried.
    if (album.notTried > 0 || (album.stopped && album.total == 0)) return {AlbumStatus::Stopped, album.notTried, {}};
    if (album.Missing() > 0) return {AlbumStatus::Short, album.Missing(), ShortAlbumText(album)};
    return {AlbumStatus::Done, 0, {}};
}

QString TipLines(const QStringList& lines, int shown, const QString& unit)
{
    QStringList kept = lines.mid(0, shown);
    if (lines.size() > shown) kept << u"……另有%1%2"_s.arg(lines.size() - shown).arg(unit);
    return kept.join(u'\n');
}

void CAlbumStatuses::Clear()
{
    m_run.clear();
    m_model.ClearStatuses();
}

void CAlbumStatuses::BeginRun(std::vector<int> albums)
{
    if (albums.empty()) {
        Clear();
        return;
    }
    m_run = std::move(albums);
    for (int album : m_run)
        m_model.SetStatus(album, {AlbumStatus::Waiting, 0, {}});
}

bool CAlbumStatuses::InRun(int album) const
{
    return std::ranges::find(m_run, album) != m_run.end();
}

void CAlbumStatuses::AlbumStarted(int position)
{
    if (position < 1 || position > int(m_run.size())) return;
    m_model.SetStatus(m_run[size_t(position - 1)], {AlbumStatus::Busy, 0, {}});
}

void CAlbumStatuses::AlbumEnded(const DownSummary& album)
{
    if (InRun(album.album)) m_model.SetStatus(album.album, StatusOf(album));
}

void CAlbumStatuses::EndRun(bool stopped)
{
    for (int album : m_run) {
        const AlbumStatus::Kind kind = m_model.Status(album).kind;
        if (kind == AlbumStatus::Waiting || kind == AlbumStatus::Busy)
            m_model.SetStatus(album, stopped ? AlbumStatus{AlbumStatus::Stopped, 0, {}} : AlbumStatus{});
    }
}

std::vector<int> CAlbumStatuses::AlbumsToRetry() const
{
    std::vector<int> albums;
    for (int album : m_run)
        if (m_model.Status(album).WantsRetry()) albums.push_back(album);
    return albums;
}
