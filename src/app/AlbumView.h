#pragma once

#include "app/AlbumGridModel.h"
#include "app/AlbumStatus.h"
#include "app/Thumbnails.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class CLumarexCore;
class CMyGridCtrl;
class QCheckBox;

// Run states of the view conversion between list and preview mode.
enum PreviewState : std::uint8_t { PREVIEW_IDLE = 0, PREVIEW_CONVERTING = 1, PREVIEW_STOP = 2 };

// The album list view: draws the albums of the core's list into the grid as rows or thumbnail
// cells, converts the view between the two modes on a thread of its own, and keeps the grid's
// select-all box. Albums are drawn from any thread; the cells reach the grid in batches on the
// GUI thread, and cells of a view that has since been reset are dropped.
class CAlbumView : public QObject {
    Q_OBJECT
public:
    CAlbumView(CLumarexCore& core, CMyGridCtrl& grid, QCheckBox& selectAll, QCheckBox& preview);
    ~CAlbumView() override;

    // ShowAlbumRecord, from any thread. In preview mode a missing thumbnail is fetched first, on
    // the calling thread.
    void ShowAlbumRecord(int index);

    // GUI thread from here on.
    void ResetGridView();
    // A listing is about to clear the records: any conversion is stopped and waited for, the
    // grid, the thumbnails and the statuses are emptied.
    void PrepareForListing();
    void OnPreviewToggle(bool checked);
    void OnSelectAll(bool checked);
    // Stops the conversion and cover downloads for good and waits for the conversion thread.
    void Shutdown();

    bool IsPreview() const { return m_bPreview; }
    std::uint8_t State() const { return m_nPreviewState; }
    const CAlbumGridModel& Model() const { return m_model; }
    CAlbumStatuses& Statuses() { return m_statuses; }
    const CAlbumStatuses& Statuses() const { return m_statuses; }

private:
    void ShowAlbumRecord(int index, unsigned generation);
    void Queue(AlbumCell cell, unsigned generation);
    void FlushQueued();
    void StopConversion();
    void RunConversion(unsigned generation);
    // A refused click on the preview box: the box shows the mode that stays.
    void PutBoxBack(bool checked);
    // The select-all box says whether every album is selected, however the selection was made.
    void UpdateSelectAll();

    CLumarexCore& m_core;
    CMyGridCtrl& m_grid;
    QCheckBox& m_selectAll;
    QCheckBox& m_previewBox;
    CThumbnailList m_thumbnails;
    CAlbumGridModel m_model{m_thumbnails};
    CAlbumStatuses m_statuses{m_model};

    std::atomic<bool> m_bPreview{false};
    std::atomic<std::uint8_t> m_nPreviewState{PREVIEW_IDLE};
    std::atomic<bool> m_bStopCovers{false};
    std::thread m_conversion;

    std::mutex m_queueLock;
    std::vector<AlbumCell> m_queued;
    bool m_flushPosted = false;
    unsigned m_generation = 0;
    // The albums selected before a change of mode, selected again as their cells come back.
    std::vector<int> m_keptSelection;
};
