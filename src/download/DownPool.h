#pragma once

#include "core/FrontEnd.h"
#include "core/Records.h"
#include "download/HostGate.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

struct PictureOutcome;

// What a run takes from the service's download settings.
struct DownRunParams {
    std::uint16_t nThreads = 5;
    std::uint16_t nTimeout = 30; // seconds: connecting, the first byte, each read, the speed floor
    std::uint16_t nMinKB = 0;
    std::uint16_t nMaxKB = 0;
};

// The worker pool: up to nThreads worker threads, each taking the next picture in list order
// until none is left, and reports the pictures finished as they finish, with the wait of a host
// that asked for a pause. A stop request is seen when the next worker ends, and every running
// transfer is cut short at once; workers still running then are joined before the next pool
// starts, and each keeps its own copy of its address and path. What the pool learns about the
// hosts (a pause asked for, a host that refuses connections) lasts as long as the pool: one
// download run.
class CDownPool {
public:
    // stop: the run's stop request, set by whoever stops the run and never cleared by the pool.
    explicit CDownPool(const std::atomic<bool>& stop);
    ~CDownPool();
    CDownPool(const CDownPool&) = delete;
    CDownPool& operator=(const CDownPool&) = delete;

    // DownPicFunc: downloads the list's pictures into its folder; returns when all are done or
    // a stop was requested, with what became of them (the counts and failures). frontEnd (may be
    // null) hears the album's progress on top of the run's, given in progress.
    DownSummary Run(const CDownList& list, const DownRunParams& params, IFrontEnd* frontEnd,
                    RunProgress progress = {});

    int DoneCount() const { return m_nDoneCount; }

private:
    struct Shared;
    DownSummary Summary(const CDownList& list, int seconds) const;
    void Work(const std::shared_ptr<Shared>& shared, const std::shared_ptr<CHostGate>& hosts);
    void Finish(Shared& shared, int picture, const PictureOutcome& outcome);
    void JoinStragglers();

    const std::atomic<bool>& m_bStopDown;
    std::atomic<int> m_nDoneCount{0};
    std::atomic<int> m_nSaved{0};
    std::atomic<int> m_nFailed{0};
    std::atomic<int> m_nSkipped{0};
    std::shared_ptr<Shared> m_shared;
    std::shared_ptr<CHostGate> m_hosts = std::make_shared<CHostGate>();
    std::vector<std::thread> m_stragglers;
    const CDownList* m_list = nullptr;
    DownRunParams m_params;
};
