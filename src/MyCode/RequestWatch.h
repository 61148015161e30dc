#pragma once

#include "MyCode/FetchFailure.h"

#include <QString>

#include <atomic>

// What the requests sent on one thread came to while a watch stood there. A listing puts a watch
// on its thread while its listers run: every request sent there reports to it, and one that has
// no stop of its own ends at the watch's stop. Watches nest; the innermost one hears.
class CRequestWatch {
public:
    // The outcome of one request: its failure (None when it was answered with content), the
    // answer's HTTP status and the address asked.
    struct Outcome {
        FetchFailure failure = FetchFailure::None;
        int status = 0;
        QString url;
        bool Failed() const { return failure != FetchFailure::None; }
    };

    explicit CRequestWatch(const std::atomic<bool>* stop = nullptr);
    ~CRequestWatch();
    CRequestWatch(const CRequestWatch&) = delete;
    CRequestWatch& operator=(const CRequestWatch&) = delete;

    const Outcome& Last() const { return m_last; }
    // The last request failed as the service's way of saying there are no more pages: the
    // walk ended normally there.
    void AcceptLastAsEnd() { m_last = {}; }

    // The watch standing on this thread, or null.
    static CRequestWatch* Current();
    const std::atomic<bool>* Stop() const { return m_pStop; }
    void Report(Outcome outcome);

private:
    const std::atomic<bool>* const m_pStop;
    CRequestWatch* const m_pOuter;
    Outcome m_last;
};
