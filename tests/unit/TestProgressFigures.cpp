// The speed and time left shown beside a download's bars.
#include "core/RunProgress.h"
#include "download/RateMeter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ProgressFigures, SpeedTextLeavesOutWhatIsUnknown)
{
    const struct {
        std::int64_t bytesPerSecond;
        int secondsLeft;
        QString text;
    } rows[] = {
        {-1, -1, {}},
        {0, -1, u"0 KB/s"_s},
        {300 * 1024, -1, u"300 KB/s"_s},
        {3 * 1024 * 1024 / 2, 35, u"1.5 MB/s，剩余 0:35"_s},
        {-1, 3725, u"剩余 1:02:05"_s},
    };
    for (const auto& row : rows) {
        RunProgress progress;
        progress.bytesPerSecond = row.bytesPerSecond;
        progress.secondsLeft = row.secondsLeft;
        EXPECT_EQ(SpeedText(progress), row.text) << row.bytesPerSecond << " " << row.secondsLeft;
    }
}

TEST(ProgressFigures, TheRateFollowsTheLastSecondsOnly)
{
    using Clock = CRateMeter::Clock;
    CRateMeter rate;
    const Clock::time_point start{};
    rate.Sample(start, 0);
    EXPECT_EQ(rate.BytesPerSecond(), -1); // one sample says nothing
    rate.Sample(start + std::chrono::milliseconds(50), 1000);
    EXPECT_EQ(rate.BytesPerSecond(), -1); // nor does a span too short to mean anything
    // A fast start, then 1,000 bytes a second: after the window the fast start no longer counts.
    std::int64_t total = 10'000'000;
    rate.Sample(start + std::chrono::seconds(1), total);
    for (int second = 2; second <= 8; ++second)
        rate.Sample(start + std::chrono::seconds(second), total += 1000);
    EXPECT_EQ(rate.BytesPerSecond(), 1000);
}
