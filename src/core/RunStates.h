#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

// The run states of the two long operations, getting albums and downloading, and their stop.
// Only the named transitions change them: a button press begins a run or requests its stop, the
// run's own thread moves it along and ends it. A stop stays requested until the run ends: no
// transition of the running side takes it back.
class CRunStates {
public:
    // Idle to running; false while either operation runs (a press then requests a stop instead).
    bool BeginListing();
    bool BeginDownload();
    // Back to idle; the stop of an ended download stays visible to its stragglers until the next
    // one begins.
    void EndListing();
    void EndDownload();

    // A stop request that never starts anything: nothing happens when the operation has ended.
    void RequestListingStop();
    void RequestDownloadStop();

    // The photo lister met the album's history mark: the rest of the album is already on disk.
    void ReachedHistoryMark();
    // The next album of the run starts listing.
    void NextAlbum();

    bool IsListing() const { return m_nGetListState != GETLIST_IDLE; }
    bool IsDownloading() const { return m_nDownState != DOWN_IDLE; }
    bool IsBusy() const { return IsListing() || IsDownloading(); }
    bool ListingStopRequested() const { return m_nGetListState == GETLIST_STOP; }
    bool DownloadStopRequested() const { return m_bDownStop; }
    // The album being listed for download is done listing: its history mark was met or a stop came.
    bool AlbumListingEnded() const { return m_nDownState == DOWN_AT_HISTORY || m_nDownState == DOWN_STOP; }

    // What every request of a run watches to end early.
    const std::atomic<bool>& ListingStopFlag() const { return m_bListStop; }
    const std::atomic<bool>& DownloadStopFlag() const { return m_bDownStop; }

private:
    enum GetListState : std::uint8_t { GETLIST_IDLE = 0, GETLIST_RUNNING = 1, GETLIST_STOP = 2 };
    enum DownState : std::uint8_t { DOWN_IDLE = 0, DOWN_RUNNING = 1, DOWN_AT_HISTORY = 2, DOWN_STOP = 3 };

    std::atomic<std::uint8_t> m_nGetListState{GETLIST_IDLE};
    std::atomic<std::uint8_t> m_nDownState{DOWN_IDLE};
    std::atomic<bool> m_bListStop{false};
    std::atomic<bool> m_bDownStop{false};
    // Beginning one operation looks at the other: the checks and the switch happen together.
    std::mutex m_beginLock;
};
