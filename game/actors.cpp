#include "game/actors.h"

#include <GL/gl.h>

#include <cmath>

#include "game/clock.h"
#include "game/sprite.h"
#include "game/textures.h"
#include "game/timeline.h"

namespace demo {

namespace {

using namespace timeline;

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
