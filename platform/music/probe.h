#pragma once
// A look at what the audio callback last published, for measuring the clock (bench/clock).
#include <cstdint>

namespace music {

struct ProbeSample {
    int64_t framesHanded = 0;  // total frames handed to the device since the play started
    int64_t stampNs = 0;       // monotonic instant of the last hand-over
    int64_t nowNs = 0;         // monotonic instant of this look
    int rate = 0;              // device rate, buffer size and assumed extra latency (0: no device)
    int bufferFrames = 0;
    int latencyFrames = 0;
};

ProbeSample Probe();

}  // namespace music
