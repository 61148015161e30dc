#pragma once

#include <QByteArray>
#include <QHash>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

// Restraint toward the services, for every request of the process (listing pages, pictures and
// redirect hops alike): a least interval between two requests to one host, and one bandwidth
// cap shared by every transfer. Both are off (0) until a run sets them.
class CRequestPacer {
public:
    using Clock = std::chrono::steady_clock;

    static CRequestPacer& Instance();

    void SetInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds Interval() const { return std::chrono::milliseconds(m_intervalMs.load()); }
    // Bytes a second for all transfers together; 0: no cap.
    void SetRateLimit(std::int64_t bytesPerSecond);
    std::int64_t RateLimit() const { return m_rate.load(); }

    // Waits for host's turn: the interval after the request before it to the same host. Callers
    // waiting together are given turns one interval apart. False when abort was raised.
    bool WaitForTurn(const QByteArray& host, const std::atomic<bool>* abort);
    // size bytes have arrived: waits until they fit under the cap; false when abort was raised.
    bool WaitForBytes(std::int64_t size, const std::atomic<bool>* abort);
    // The same without the wait: when the bytes will fit.
    Clock::time_point ReserveBytes(std::int64_t size);

private:
    static bool SleepUntil(Clock::time_point when, const std::atomic<bool>* abort);

    std::atomic<std::int64_t> m_intervalMs{0};
    std::atomic<std::int64_t> m_rate{0};
    std::mutex m_lock;
    QHash<QByteArray, Clock::time_point> m_lastTurn; // per host: when its last request went
    Clock::time_point m_nextBytes{};                 // when the cap has room again
};
