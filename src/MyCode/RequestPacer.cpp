#include "MyCode/RequestPacer.h"

#include "MyCode/FiberLoop.h"

#include <algorithm>

namespace {
// A waiting request looks at its stop this often.
constexpr std::chrono::milliseconds kAbortPoll{50};
// What the cap lets through at once after an idle while: a burst no larger than this.
constexpr std::chrono::milliseconds kBurst{250};
} // namespace

CRequestPacer& CRequestPacer::Instance()
{
    static CRequestPacer pacer;
    return pacer;
}

void CRequestPacer::SetInterval(std::chrono::milliseconds interval)
{
    // The hosts' last turns stay: a run that starts right after a listing still keeps the
    // interval after the listing's last request.
    m_intervalMs = std::max<std::int64_t>(0, interval.count());
}

void CRequestPacer::SetRateLimit(std::int64_t bytesPerSecond)
{
    // A new cap does not inherit the old one's time line; the same cap keeps it.
    const std::int64_t rate = std::max<std::int64_t>(0, bytesPerSecond);
    if (m_rate.exchange(rate) == rate) return;
    std::lock_guard guard(m_lock);
    m_nextBytes = {};
}

bool CRequestPacer::SleepUntil(Clock::time_point when, const std::atomic<bool>* abort)
{
    for (;;) {
        if (abort && *abort) return false;
        const Clock::time_point now = Clock::now();
        if (now >= when) return true;
        CFiberLoop::SleepUntil(now + std::min<Clock::duration>(when - now, kAbortPoll));
    }
}

bool CRequestPacer::WaitForTurn(const QByteArray& host, const std::atomic<bool>* abort)
{
    const std::chrono::milliseconds interval = Interval();
    if (interval.count() == 0) return !(abort && *abort);
    Clock::time_point turn;
    {
        // The turn is taken now, so that requests waiting together keep the interval between them.
        std::lock_guard guard(m_lock);
        const auto last = m_lastTurn.constFind(host);
        turn = last == m_lastTurn.cend() ? Clock::now() : std::max(Clock::now(), *last + interval);
        m_lastTurn.insert(host, turn);
    }
    return SleepUntil(turn, abort);
}

bool CRequestPacer::WaitForBytes(std::int64_t size, const std::atomic<bool>* abort)
{
    if (RateLimit() == 0 || size <= 0) return !(abort && *abort);
    return SleepUntil(ReserveBytes(size), abort);
}

CRequestPacer::Clock::time_point CRequestPacer::ReserveBytes(std::int64_t size)
{
    const std::int64_t rate = RateLimit();
    if (rate == 0 || size <= 0) return Clock::now();
    // The bytes that came are given the next stretch of the cap's time line; the transfer
    // reads on once that stretch has passed.
    std::lock_guard guard(m_lock);
    const Clock::time_point start = std::max(Clock::now() - kBurst, m_nextBytes);
    m_nextBytes = start + std::chrono::duration_cast<Clock::duration>(
                              std::chrono::duration<double>(double(size) / double(rate)));
    return m_nextBytes;
}
