#include "app/AlbumView.h"

#include "app/AlbumGrid.h"
#include "core/LumarexCore.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QSignalBlocker>

#include <system_error>

using namespace Qt::StringLiterals;

CAlbumView::CAlbumView(CLumarexCore& core, CMyGridCtrl& grid, QCheckBox& selectAll, QCheckBox& preview)
    : m_core(core), m_grid(grid), m_selectAll(selectAll), m_previewBox(preview)
{
    m_grid.SetAlbumModel(&m_model);
    connect(m_grid.selectionModel(), &QItemSelectionModel::selectionChanged, this, &CAlbumView::UpdateSelectAll);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &CAlbumView::UpdateSelectAll);
    ResetGridView();
}

CAlbumView::~CAlbumView()
{
    Shutdown();
}

void CAlbumView::ShowAlbumRecord(int index)
{
    unsigned generation;
    {
        std::lock_guard guard(m_queueLock);
        generation = m_generation;
    }
    ShowAlbumRecord(index, generation);
}

void CAlbumView::ShowAlbumRecord(int index, unsigned generation)
{
    ST_PERLISTRECORD record = m_core.m_pAlbumList->At(index);
    AlbumCell cell{index,
                   QString::asprintf("%04d", index + 1),
                   record.strName,
                   FormatPicCount(record.nPicCount),
                   FormatPrivacy(record.nPrivacy),
                   -1};
    if (m_bPreview) {
        if (record.nImageIndex == -1 && !m_bStopCovers) {
            const QImage thumbnail = FetchThumbnail(m_core.m_strAppDir, index, record.strCoverUrl, &m_bStopCovers);
            if (!thumbnail.isNull()) {
                record.nImageIndex = m_thumbnails.Add(thumbnail);
                m_core.m_pAlbumList->SetImageIndex(index, record.nImageIndex);
            }
        }
        cell.image = record.nImageIndex;
    }
    Queue(std::move(cell), generation);
}

void CAlbumView::Queue(AlbumCell cell, unsigned generation)
{
    std::lock_guard guard(m_queueLock);
    if (generation != m_generation) return;
    m_queued.push_back(std::move(cell));
    if (m_flushPosted) return;
    // One flush carries every cell queued until it runs, so a fast listing inserts rows in
    // batches instead of one repaint per album.
    m_flushPosted = true;
    QMetaObject::invokeMethod(this, &CAlbumView::FlushQueued, Qt::QueuedConnection);
}

void CAlbumView::FlushQueued()
{
    std::vector<AlbumCell> cells;
    {
        std::lock_guard guard(m_queueLock);
        cells.swap(m_queued);
        m_flushPosted = false;
    }
    const int first = m_model.CellCount();
    m_model.Append(std::move(cells));
    if (m_keptSelection.empty()) return;
    m_grid.SelectAlbums(m_keptSelection, first);
    if (m_model.CellCount() >= m_core.m_pAlbumList->Count()) m_keptSelection.clear();
}

void CAlbumView::UpdateSelectAll()
{
    const int cells = m_model.CellCount();
    const bool all = cells > 0 && m_grid.SelectedAlbums().size() == size_t(cells);
    // Only the box follows: a click on it is what selects or clears.
    const QSignalBlocker quiet(m_selectAll);
    m_selectAll.setChecked(all);
}

void CAlbumView::ResetGridView()
{
    {
        const QSignalBlocker quiet(m_selectAll);
        m_selectAll.setChecked(false);
    }
    {
        std::lock_guard guard(m_queueLock);
        ++m_generation;
        m_queued.clear();
    }
    m_model.SetPreview(m_bPreview);
    m_grid.SetupForMode();
}

void CAlbumView::PrepareForListing()
{
    StopConversion();
    m_keptSelection.clear();
    ResetGridView();
    m_thumbnails.Clear();
    m_statuses.Clear();
}

void CAlbumView::StopConversion()
{
    if (m_nPreviewState != PREVIEW_IDLE) {
        m_nPreviewState = PREVIEW_STOP;
        m_bStopCovers = true;
    }
    if (m_conversion.joinable()) m_conversion.join();
    m_bStopCovers = false;
}

void CAlbumView::Shutdown()
{
    StopConversion();
    m_bStopCovers = true;
}

void CAlbumView::OnPreviewToggle(bool checked)
{
    // The box is disabled while albums are being fetched, but only once the listing has switched
    // the controls; a click before that must not convert the list that is being refilled.
    if (m_core.States().IsListing()) {
        PutBoxBack(checked);
        return;
    }
    if (m_nPreviewState != PREVIEW_IDLE) {
        if (QMessageBox::question(m_grid.window(), u"提示"_s, u"模式转换未完成,是否中断?"_s) == QMessageBox::Yes) {
            // The conversion may have ended while the question stood.
            std::uint8_t converting = PREVIEW_CONVERTING;
            m_nPreviewState.compare_exchange_strong(converting, PREVIEW_STOP);
        }
        PutBoxBack(checked);
        return;
    }
    if (m_conversion.joinable()) m_conversion.join(); // the last conversion has ended
    m_nPreviewState = PREVIEW_CONVERTING;
    m_bPreview = checked;
    m_keptSelection = m_grid.SelectedAlbums();
    ResetGridView();
    unsigned generation;
    {
        std::lock_guard guard(m_queueLock);
        generation = m_generation;
    }
    try {
        m_conversion = std::thread([this, generation] { RunConversion(generation); });
    } catch (const std::system_error&) {
        m_nPreviewState = PREVIEW_IDLE;
    }
}

void CAlbumView::PutBoxBack(bool checked)
{
    const QSignalBlocker quiet(m_previewBox);
    m_previewBox.setChecked(!checked);
}

void CAlbumView::RunConversion(unsigned generation)
{
    const int count = m_core.m_pAlbumList->Count();
    for (int index = 0; index < count && m_nPreviewState != PREVIEW_STOP; ++index)
        ShowAlbumRecord(index, generation);
    m_nPreviewState = PREVIEW_IDLE;
}

void CAlbumView::OnSelectAll(bool checked)
{
    if (checked)
        m_grid.SelectAllAlbums();
    else
        m_grid.ClearAlbumSelection();
}
