#include "platform/music/heard_clock.h"

#include <algorithm>
#include <cmath>
#include <limits>

cHeardClock::cHeardClock(int rate, int bufferFrames, int latencyFrames)
    : rate(std::max(rate, 1)), bufferFrames(std::max(bufferFrames, 0)),
      latencyFrames(std::max(latencyFrames, 0))
{
}

int32_t cHeardClock::Read(int64_t framesHanded, int64_t stampNs, int64_t nowNs)
{
    if (framesHanded <= 0)
        return last;

    const double heardFrames = static_cast<double>(framesHanded - bufferFrames - latencyFrames);
    const double sinceStampMs = static_cast<double>(std::max<int64_t>(nowNs - stampNs, 0)) / 1e6;
    const double bufferMs = bufferFrames * 1000.0 / rate;
    const double ms = std::floor(heardFrames * 1000.0 / rate + std::min(sinceStampMs, bufferMs));

    constexpr double most = std::numeric_limits<int32_t>::max();
    const int32_t reading = ms >= most ? std::numeric_limits<int32_t>::max()
                                       : static_cast<int32_t>(std::max(ms, 0.0));
    last = std::max(last, reading);
    return last;
}
