#pragma once
// Turns what the audio callback reports into the play position a listener hears, in whole ms.
//
// The callback publishes the total frames handed to the device (F) and the monotonic instant it
// was asked for the last buffer (T). A buffer of N frames handed over at T starts to sound once
// the device has played what it already holds, so at T the listener hears frame F - N - L, where
// L is the device's extra latency; between callbacks the position runs on with real time, but
// never further than one buffer, so a late callback makes the clock wait instead of jumping back.
// Pure arithmetic: the caller supplies every input, which keeps it testable without a device.
#include <cstdint>

class cHeardClock {
public:
    cHeardClock(int rate, int bufferFrames, int latencyFrames);

    // The heard position at nowNs, given F = framesHanded at stampNs. Never below an earlier
    // reading or 0; 0 until the first buffer was handed over; saturates at INT32_MAX.
    int32_t Read(int64_t framesHanded, int64_t stampNs, int64_t nowNs);
    // A new play: the next reading starts again from 0.
    void Restart() { last = 0; }

    int Rate() const { return rate; }
    int BufferFrames() const { return bufferFrames; }
    int LatencyFrames() const { return latencyFrames; }

private:
    int rate;
    int bufferFrames;
    int latencyFrames;
    int32_t last = 0;
};
