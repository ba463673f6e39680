// Frame pacing for swaps that do not wait for the display. Without it the loop draws as fast as
// the machine allows (hundreds of frames a second under a display without vsync) and holds a
// core for pictures nobody sees. The loop itself stays as it is: the wait happens in the swap.
#include <cerrno>
#include <ctime>

#include "platform/window/internal.h"

namespace plat::detail {

namespace {

// Swaps counted before deciding whether they wait, and how much faster than the display they
// must come to count as not waiting (a vsynced swap never beats the refresh rate).
constexpr int kBatch = 30;
constexpr int64_t kNs = 1'000'000'000;

int64_t now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * kNs + ts.tv_nsec;
}

void sleepUntil(int64_t when)
{
    const timespec ts{static_cast<time_t>(when / kNs), static_cast<long>(when % kNs)};
    int rc;
    while ((rc = clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr)) == EINTR) {
    }
    if (rc == 0)
        return;
    // mingw's C library sleeps to an absolute time on the real-time clock only and refuses this
    // one at once: sleep for what is left instead.
    const int64_t left = when - now();
    if (left > 0) {
        const timespec span{static_cast<time_t>(left / kNs), static_cast<long>(left % kNs)};
        nanosleep(&span, nullptr);
    }
}

// One refresh of the display the window is on; 60 Hz when SDL does not know the rate.
int64_t refreshPeriod(SDL_Window* window)
{
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window);
    const int hz = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0
                       ? mode.refresh_rate
                       : 60;
    return kNs / hz;
}

}  // namespace

void paceSwap(Window& window)
{
    Pacing& p = window.pacing;
    const int64_t t = now();
    if (p.period == 0)
        p.period = refreshPeriod(window.sdl);
    if (!p.on) {
        // Swaps that come half again as often as the display refreshes do not wait for it.
        if (p.counted == 0)
            p.batchStart = t;
        if (++p.counted <= kBatch)
            return;
        p.on = (t - p.batchStart) * 3 < p.period * kBatch * 2;
        p.counted = 0;
        p.slot = t;
        return;
    }
    // Each frame begins one refresh after the last one began. A frame that ran past its slot
    // (a slow frame, a restore after minimising) starts a new schedule rather than a burst.
    const int64_t next = p.slot + p.period;
    if (t >= next) {
        p.slot = t;
        return;
    }
    sleepUntil(next);
    p.slot = next;
}

}  // namespace plat::detail
