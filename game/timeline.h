#pragma once
// When things happen in the show: every time window of the actors, in the module's milliseconds.
// The actors draw from this table; the music is composed against it, and its tests read it too.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace demo::timeline {

// A window a < t < b, open at both ends: at t = a and t = b it is off.
struct Window {
    double from;
    double to;
};

constexpr bool Inside(const Window& w, double t) { return t > w.from && t < w.to; }

template <size_t N>
constexpr bool InAny(const Window (&windows)[N], double t)
{
    for (const Window& w : windows)
        if (Inside(w, t))
            return true;
    return false;
}

// The vehicle's frame alternation with its small and with its big frame.
constexpr Window smallFrames[] = {
    {0, 4000},      {5500, 7000},   {11500, 13000}, {14000, 15000}, {17000, 18500}, {28500, 30000},
    {36000, 39000}, {40000, 43000}, {51000, 52000}, {58500, 61000}, {66000, 68000},
};
constexpr Window bigFrames[] = {
    {4000, 5000}, {13300, 14000}, {30000, 30500}, {47000, 50000}, {54000, 58000}, {62000, 65000},
};
constexpr Window bounce[] = {{5000, 8000}, {8500, 11500}, {13500, HUGE_VAL}};
constexpr Window loop{46000, 49000};
constexpr Window lampLit{33000, 40000};
constexpr double finalFrameFrom = 60500;  // outside the alternation windows, so first seen at 61000
constexpr double cowFrom = 42000;
constexpr double knockAwayFrom = 45000;
// The ground starts to scroll, then slows to its cruising rate.
constexpr double groundStartsAt = 18000;
constexpr double groundCruisesAt = 25000;
// The walking cow's right edge first shows in the 4:3 view (x > -0.55228) at this whole ms.
constexpr double cowInViewAt = 44448;

// Every instant the picture visibly changes, each once, in order: the edges of the frame, bounce,
// loop and lamp windows, the ground's two changes and the cow's arrival, entrance and knock-away.
// The final frame first shows where the small window around finalFrameFrom closes, and the
// final state where the last window closes, so both are edges already.
inline std::vector<double> VisibleChanges()
{
    std::vector<double> t = {groundStartsAt, groundCruisesAt, cowFrom, cowInViewAt, knockAwayFrom};
    auto edges = [&t](const auto& windows) {
        for (const Window& w : windows)
            for (const double e : {w.from, w.to})
                if (e != HUGE_VAL)
                    t.push_back(e);
    };
    edges(smallFrames);
    edges(bigFrames);
    edges(bounce);
    edges(std::array{loop, lampLit});
    std::sort(t.begin(), t.end());
    t.erase(std::unique(t.begin(), t.end()), t.end());
    return t;
}

}  // namespace demo::timeline
