#include "core/RunStates.h"

bool CRunStates::BeginListing()
{
    std::lock_guard guard(m_beginLock);
    if (IsBusy()) return false;
    m_bListStop = false;
    m_nGetListState = GETLIST_RUNNING;
    return true;
}

bool CRunStates::BeginDownload()
{
    std::lock_guard guard(m_beginLock);
    if (IsBusy()) return false;
    m_bDownStop = false;
    m_nDownState = DOWN_RUNNING;
    return true;
}

void CRunStates::EndListing()
{
    m_nGetListState = GETLIST_IDLE;
}

void CRunStates::EndDownload()
{
    m_nDownState = DOWN_IDLE;
}

// Compare-and-swap, so that a stop pressed just as the run ends cannot leave the state at "stop
// requested" for good: that would make every later press a stop request.
void CRunStates::RequestListingStop()
{
    std::uint8_t running = GETLIST_RUNNING;
    if (m_nGetListState.compare_exchange_strong(running, GETLIST_STOP)) m_bListStop = true;
}

void CRunStates::RequestDownloadStop()
{
    std::uint8_t state = m_nDownState;
    while (state == DOWN_RUNNING || state == DOWN_AT_HISTORY) {
        if (m_nDownState.compare_exchange_weak(state, DOWN_STOP)) {
            m_bDownStop = true;
            return;
        }
    }
}

void CRunStates::ReachedHistoryMark()
{
    std::uint8_t running = DOWN_RUNNING;
    m_nDownState.compare_exchange_strong(running, DOWN_AT_HISTORY);
}

void CRunStates::NextAlbum()
{
    std::uint8_t atHistory = DOWN_AT_HISTORY;
    m_nDownState.compare_exchange_strong(atHistory, DOWN_RUNNING);
}
