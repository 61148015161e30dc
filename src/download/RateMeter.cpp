#include "download/RateMeter.h"

void CRateMeter::Sample(Clock::time_point now, std::int64_t total)
{
    m_samples.emplace_back(now, total);
    // The oldest sample kept is the last one older than the window, so that the span covers it.
    while (m_samples.size() > 2 && now - m_samples[1].first >= kWindow)
        m_samples.pop_front();
}

std::int64_t CRateMeter::BytesPerSecond() const
{
    if (m_samples.size() < 2) return -1;
    const auto& [firstTime, firstBytes] = m_samples.front();
    const auto& [lastTime, lastBytes] = m_samples.back();
    const double seconds = std::chrono::duration<double>(lastTime - firstTime).count();
    if (seconds < 0.1) return -1;
    return std::int64_t(double(lastBytes - firstBytes) / seconds);
}
