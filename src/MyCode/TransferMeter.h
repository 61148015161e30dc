#pragma once

#include <atomic>
#include <cstdint>

// How far one transfer has come, written by the transfer's thread as bytes arrive and read by
// whoever shows the progress.
struct TransferMeter {
    std::atomic<std::int64_t> received{0};
    std::atomic<std::int64_t> expected{-1}; // the body's stated length; -1 while unknown

    void Reset()
    {
        received = 0;
        expected = -1;
    }
    // The part of the body received, 0 to 1; 0 while the length is unknown.
    double Fraction() const
    {
        const std::int64_t total = expected.load();
        if (total <= 0) return 0;
        const double part = double(received.load()) / double(total);
        return part < 1 ? part : 1;
    }
};
