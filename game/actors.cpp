#include "game/actors.h"

#include <GL/gl.h>

#include <cmath>

#include "game/clock.h"
#include "game/sprite.h"
#include "game/textures.h"

namespace demo {

namespace {

// A time window a < t < b, open at both ends: at t = a and t = b it is off.
struct Window {
    double from;
    double to;
};

bool Inside(const Window& w, double t)
{
    return t > w.from && t < w.to;
}

template <size_t N>
bool InAny(const Window (&windows)[N], double t)
{
    for (const Window& w : windows)
        if (Inside(w, t))
            return true;
    return false;
}

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
constexpr double finalFrameFrom = 60500;
constexpr double cowFrom = 42000;
constexpr double knockAwayFrom = 45000;

// Odd number of whole tenths of a second, of either sign. fmod keeps the parity exact for any
// clock value, where a conversion to int would overflow.
bool OddTenth()
{
    return std::fmod(std::trunc(time(100)), 2.0) != 0.0;
}

}  // namespace

void UseAlternatingSmall()
{
    if (OddTenth())
        Liten.Use();
    else
        Morvask.Use();
}

void UseAlternatingBig()
{
    if (OddTenth())
        Stor.Use();
    else
        Morvask.Use();
}

void DrawVehicle()
{
    const double t = tid;
    glLoadIdentity();
    // One counter-clockwise turn about the view axis, from 360 to 720 degrees.
    if (Inside(loop, t))
        glRotatef(static_cast<float>((t - 43000) / 3000 * 360), 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, -0.37f, -1.0f);
    if (InAny(bounce, t))
        glTranslatef(0.0f, static_cast<float>(std::sin(time(20)) * 0.01), 0.0f);

    if (InAny(smallFrames, t))
        UseAlternatingSmall();
    else if (InAny(bigFrames, t))
        UseAlternatingBig();
    else if (t > finalFrameFrom)
        Hal.Use();
    else
        Morvask.Use();
    DrawSpriteQuad(0.0, 0.0, 0.5, 0.25);

    // The lamp rides on the vehicle's transform, 0.1 nearer the viewer.
    if (Inside(lampLit, t)) {
        glTranslatef(0.19f, 0.15f, 0.1f);
        Lampa.Use();
        DrawSpriteQuad(0.0, 0.0, 0.05, 0.05);
    }
    Morvask.StopUsing();
}

void DrawCow()
{
    const double t = tid;
    if (!(t > cowFrom))
        return;
    glLoadIdentity();
    // Past the moment it reaches the vehicle the cow is knocked away down and to the left.
    if (t > knockAwayFrom) {
        const float k = static_cast<float>(-(t - knockAwayFrom) / 500);
        glTranslatef(k, k, 0.0f);
    }
    glTranslatef(static_cast<float>((t - cowFrom) / 1000 - 3.25), -0.37f, -1.0f);
    Kossa.Use();
    DrawSpriteQuad(0.0, 0.0, 0.25, 0.25);
    Kossa.StopUsing();
}

}  // namespace demo
