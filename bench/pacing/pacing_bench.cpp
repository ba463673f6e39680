// Frame times of the show's own loop on the real window: starts the show windowed as the
// program does, runs the loop the way the program's does (one message per pass, else a frame)
// for a while, and reports the frame rate, the process's share of one core, and how late each
// frame began against its slot. The first second, while
// the window layer finds out whether its swaps wait, is not counted.
// Usage (in a folder with the show's files, with a display): bench_pacing [seconds] [refresh Hz]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game/demo.h"
#include "zkl/init.h"

using namespace zkl;

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const double periodMs = 1000.0 / (argc > 2 ? std::atof(argv[2]) : 60.0);
    demo::StartSound();
    fullscreen = false;
    if (!demo::OpenShow()) {
        demo::StopSound();
        return 1;
    }

    const auto started = Clock::now();
    const auto counted = started + std::chrono::seconds(1);
    const auto until = counted + std::chrono::duration<double>(seconds);
    std::vector<double> frames;  // ms since counting began, when each frame began
    double cpuAtCount = -1.0;
    bool quit = false;
    while (!quit && Clock::now() < until) {
        plat::MSG msg{};
        if (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
            quit = msg.message == plat::WM_QUIT;
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
            continue;
        }
        if (!active) {
            plat::WaitMessageTimeout(10);
            continue;
        }
        const auto now = Clock::now();
        if (now >= counted) {
            if (cpuAtCount < 0)
                cpuAtCount = cpuSeconds();
            frames.push_back(std::chrono::duration<double, std::milli>(now - counted).count());
        }
        demo::RenderFrame();
    }
    const double cpu = cpuSeconds() - cpuAtCount;
    const double span = frames.size() > 1 ? (frames.back() - frames.front()) / 1000.0 : 0.0;
    demo::StopSound();
    KillGLWindow();
    if (frames.size() < 2) {
        std::fprintf(stderr, "bench_pacing: no frames\n");
        return 1;
    }

    // Each slot begins one refresh after the one before; a frame that began late moves the
    // schedule along with it, as the window layer's does.
    std::vector<double> late;
    double slot = frames.front();
    for (size_t i = 1; i < frames.size(); ++i) {
        slot += periodMs;
        late.push_back(std::max(0.0, frames[i] - slot));
        slot = std::max(slot, frames[i]);
    }
    std::sort(late.begin(), late.end());
    const auto over2 = late.end() - std::upper_bound(late.begin(), late.end(), 2.0);
    std::printf("%zu frames in %.2f s: %.1f frames per second, %.1f%% of one core\n", frames.size(), span,
                double(frames.size() - 1) / span, 100.0 * cpu / span);
    std::printf("late past the slot (%.2f ms): median %.2f ms, 99th percentile %.2f ms, max %.2f ms; "
                "%td frames later than 2 ms\n",
                periodMs, late[late.size() / 2], late[late.size() * 99 / 100], late.back(), over2);
    return 0;
}
