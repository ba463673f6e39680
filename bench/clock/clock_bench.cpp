// Reads the music clock the way the demo's frame loop does, on the real music layer, and
// reports how it moves: usage  bench_clock [module.xm] [seconds] [read interval in us]
// Without a module it writes a small one. Without a sound device it uses SDL's dummy driver.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/music.h"
#include "platform/music/probe.h"
#include "tests/support/tiny_xm.h"

namespace {

struct Reading {
    int64_t nowNs;
    int32_t ms;
    music::ProbeSample probe;
};

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    std::string module = argc > 1 ? argv[1] : "";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 5.0;
    const int intervalUs = argc > 3 ? std::atoi(argv[3]) : 1000;

    if (module.empty()) {
        module = (std::filesystem::temp_directory_path() / "bench_clock.xm").string();
        if (!tinyxm::Write(module, 64)) {
            std::fprintf(stderr, "cannot write %s\n", module.c_str());
            return 1;
        }
    }
    if (!SoundInit(44100, 32, SOUND_INIT_GLOBALFOCUS)) {
        std::printf("no sound device; using SDL's dummy driver\n");
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!SoundInit(44100, 32, SOUND_INIT_GLOBALFOCUS)) {
            std::fprintf(stderr, "cannot open even the dummy audio driver\n");
            return 1;
        }
    }
    MusicModule* song = MusicLoadSong(module.c_str());
    if (!song) {
        std::fprintf(stderr, "cannot load %s\n", module.c_str());
        return 1;
    }

    std::vector<Reading> readings;
    MusicPlaySong(song);
    MusicSetMasterVolume(song, 255);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::microseconds(intervalUs));
        const int32_t ms = MusicGetTime(song);
        const music::ProbeSample probe = music::Probe();
        readings.push_back({probe.nowNs, ms, probe});
    }
    MusicFreeSong(song);
    SoundClose();

    const music::ProbeSample& last = readings.back().probe;
    const double rate = last.rate;
    // The heard position at each hand-over: frames handed, less the buffer and the latency.
    std::vector<std::pair<double, double>> heard;
    for (const Reading& r : readings) {
        if (r.probe.framesHanded == 0)
            continue;
        const double t = static_cast<double>(r.probe.stampNs) / 1e6;
        const double ms = static_cast<double>(r.probe.framesHanded - r.probe.bufferFrames -
                                              r.probe.latencyFrames) * 1000.0 / rate;
        if (heard.empty() || heard.back().first != t)
            heard.emplace_back(t, ms);
    }
    if (heard.size() < 3) {
        std::fprintf(stderr, "too few audio callbacks to measure\n");
        return 1;
    }
    // The device plays at a steady rate, so what is heard is a straight line through them.
    double st = 0, sm = 0, stt = 0, stm = 0;
    for (const auto& [t, m] : heard) {
        st += t, sm += m, stt += t * t, stm += t * m;
    }
    const double n = static_cast<double>(heard.size());
    const double slope = (n * stm - st * sm) / (n * stt - st * st);
    const double offset = (sm - slope * st) / n;

    int backward = 0;
    std::vector<double> steps, excess, distance, rawSteps, jitter;
    for (const auto& [t, m] : heard)
        jitter.push_back(std::abs(m - (offset + slope * t)));
    for (size_t i = 1; i < readings.size(); ++i) {
        const Reading& a = readings[i - 1];
        const Reading& b = readings[i];
        if (b.ms < a.ms)
            ++backward;
        const double lineMs = offset + slope * static_cast<double>(b.nowNs) / 1e6;
        if (lineMs <= 0)
            continue;  // nothing heard yet
        steps.push_back(b.ms - a.ms);
        // A loop that was kept waiting sees a large step that is no fault of the clock.
        excess.push_back(b.ms - a.ms - static_cast<double>(b.nowNs - a.nowNs) / 1e6);
        distance.push_back(std::abs(b.ms - lineMs));
        rawSteps.push_back(static_cast<double>(b.probe.framesHanded - a.probe.framesHanded) *
                           1000.0 / rate);
    }

    std::printf("device: %d Hz, %d-frame buffers, %d frames latency assumed; %zu callbacks\n",
                last.rate, last.bufferFrames, last.latencyFrames, heard.size());
    std::printf("device speed against the monotonic clock: %.4f\n", slope);
    std::printf("readings: %zu every %d us over %.1f s\n", readings.size(), intervalUs, seconds);
    std::printf("backward steps: %d\n", backward);
    std::printf("step ms: median %.0f, p99 %.0f, max %.0f\n", Percentile(steps, 0.5),
                Percentile(steps, 0.99), Percentile(steps, 1.0));
    std::printf("step beyond the time between reads ms: p99 %.2f, max %.2f\n",
                Percentile(excess, 0.99), Percentile(excess, 1.0));
    std::printf("distance from heard position ms: median %.2f, p99 %.2f, max %.2f\n",
                Percentile(distance, 0.5), Percentile(distance, 0.99), Percentile(distance, 1.0));
    std::printf("callback timing around that line ms: median %.2f, p99 %.2f, max %.2f\n",
                Percentile(jitter, 0.5), Percentile(jitter, 0.99), Percentile(jitter, 1.0));
    std::printf("frames handed alone would step: max %.1f ms\n", Percentile(rawSteps, 1.0));
    return backward == 0 ? 0 : 1;
}
