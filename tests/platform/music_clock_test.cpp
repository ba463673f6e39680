#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/music/heard_clock.h"

namespace {

constexpr int rate = 44100;
constexpr int buffer = 1024;
constexpr int64_t msNs = 1000000;

// An audio device that asks for a buffer every buffer/rate seconds, each request early or late
// by up to `jitterNs`, and starts sounding the first frame latency/rate seconds after the first
// request. What a listener hears at t is therefore t - latency/rate.
struct FakeDevice {
    int latency;
    int64_t jitterNs;
    int64_t framesHanded = 0, stampNs = 0, request = 0, nextRequestNs = 0;
    uint32_t seed = 12345;

    int64_t Jitter()
    {
        seed = seed * 1664525u + 1013904223u;
        return jitterNs ? static_cast<int64_t>(seed >> 8) % (2 * jitterNs + 1) - jitterNs : 0;
    }
    void RunUntil(int64_t nowNs)
    {
        for (; nextRequestNs <= nowNs; framesHanded += buffer) {
            stampNs = nextRequestNs;
            nextRequestNs = std::max(++request * buffer * 1000000000 / rate + Jitter(), stampNs);
        }
    }
    double HeardMs(int64_t nowNs) const { return double(nowNs) / msNs - latency * 1000.0 / rate; }
};

// A frame loop reading every 0.3 ms for five seconds: the clock never steps back, moves in
// steps under 2 ms, stays within 2 ms of what is heard and so has the latency taken off.
// Then a minimised window reads nothing for ten seconds: its next frame is ten seconds on.
TEST(HeardClock, FollowsAJitteryDeviceSmoothlyAndOnTime)
{
    const FakeDevice devices[] = {{buffer, 0}, {0, msNs / 2}, {2 * buffer, msNs / 2}};
    for (FakeDevice device : devices) {
        SCOPED_TRACE(testing::Message() << "latency " << device.latency << ", jitter " << device.jitterNs);
        cHeardClock clock(rate, buffer, device.latency);
        int32_t previous = 0, largestStep = 0;
        double worstError = 0;
        for (int64_t now = 0; now < 5000 * msNs; now += 300000) {
            device.RunUntil(now);
            const int32_t ms = clock.Read(device.framesHanded, device.stampNs, now);
            ASSERT_GE(ms, previous) << "at " << now / msNs << " ms";
            largestStep = std::max(largestStep, ms - previous);
            previous = ms;
            // Before the first frame sounds the clock holds at 0.
            if (device.HeardMs(now) > 0)
                worstError = std::max(worstError, std::abs(ms - device.HeardMs(now)));
        }
        EXPECT_LT(largestStep, 2);
        EXPECT_LT(worstError, 2.0);
        const int64_t back = 15000 * msNs;
        device.RunUntil(back);
        EXPECT_NEAR(clock.Read(device.framesHanded, device.stampNs, back), device.HeardMs(back), 2.0);
    }
}

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
        {"runs on with real time between hand-overs", second, 10 * msNs, 1010},
        {"floors, never rounds up", second, 10 * msNs - 1, 1009},
        {"fraction of a ms in the frames is floored", second + 44, 0, 1000},
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
