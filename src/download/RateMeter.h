#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <utility>

// Bytes a second over the last few seconds, from samples of a byte count that only grows: a
// rate that follows the transfer without jumping with every picture.
class CRateMeter {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kWindow{3};

    void Sample(Clock::time_point now, std::int64_t total);
    // -1 until the samples span a tenth of a second.
    std::int64_t BytesPerSecond() const;

private:
    std::deque<std::pair<Clock::time_point, std::int64_t>> m_samples;
};
