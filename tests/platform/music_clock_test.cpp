#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/music/heard_clock.h"

namespace {

constexpr int rate = 44100;
constexpr int buffer = 1024;
constexpr int64_t msNs = 1000000;

// Exact readings at chosen instants. F counts the buffer just handed over and the latency, so
// F = buffer + latency + 44100 means one second has been heard at the hand-over.
TEST(HeardClock, ReadingsAtChosenInstants)
{
    constexpr int latency = 2048;
    constexpr int64_t second = buffer + latency + rate;
    const struct { const char* what; int64_t frames, sinceStampNs; int32_t expected; } cases[] = {
        {"nothing handed over yet", 0, 0, 0},
        {"first buffer still ahead of the listener", buffer, 5 * msNs, 0},
        {"one second heard at the hand-over", second, 0, 1000},
        {"runs on with real time between hand-overs, floored", second, 10 * msNs - 1, 1009},
        {"a stalled device moves it one buffer at most", second, 1000 * msNs, 1023},
        {"a stamp after the reading counts as now", second, -5 * msNs, 1000},
    };
    for (const auto& c : cases) {
        cHeardClock clock(rate, buffer, latency);
        EXPECT_EQ(clock.Read(c.frames, 7 * msNs, 7 * msNs + c.sinceStampNs), c.expected) << c.what;
    }
}

TEST(HeardClock, NeverStepsBackUntilRestartedAndSaturates)
{
    cHeardClock clock(rate, buffer, 0);
    EXPECT_EQ(clock.Read(buffer + rate * 2, 0, 0), 2000);
    EXPECT_EQ(clock.Read(buffer + rate, 0, 0), 2000) << "smaller input must not step back";
    clock.Restart();
    EXPECT_EQ(clock.Read(buffer + rate, 0, 0), 1000) << "a new play counts from 0";

    // Beyond 24.8 days of play the count holds at the largest value instead of wrapping negative.
    EXPECT_EQ(clock.Read(int64_t{1} << 40, 0, 0), std::numeric_limits<int32_t>::max());
    // A device that reports no rate and negative sizes counts one frame per second, no latency.
    EXPECT_EQ(cHeardClock(0, -1, -1).Read(1, 0, 0), 1000) << "the first frame handed over counts";
}

}  // namespace
