#include "game/scene.h"

#include <GL/gl.h>

#include <cmath>

#include "game/actors.h"
#include "game/clock.h"
#include "game/sprite.h"
#include "game/textures.h"
#include "game/timeline.h"

namespace demo {

namespace {

// The strip repeats every 800 units, so only the offset within one tile matters. Reducing the
// whole part here, exactly and in double, keeps days of play clear of int overflow.
int TileOffset(double units)
{
    if (!std::isfinite(units))
        return 0;
    return static_cast<int>(std::fmod(std::trunc(units), 800.0));
}

}  // namespace

int DrawGLScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    updatetime();
    DrawVehicle();
    DrawGrass();
    DrawCow();
    return 1;
}

void DrawGrass()
{
    using timeline::groundCruisesAt, timeline::groundStartsAt;
    // Still, then speeding up, then cruising; both formulas meet at 18000 and 25000.
    if (time(1) < groundStartsAt)
        DrawTheGrass(0);
    else if (time(1) < groundCruisesAt)
        DrawTheGrass(TileOffset((time(1) - groundStartsAt) * time(1) / 4000));
    else
        DrawTheGrass(TileOffset(time(1) * 1.75));
}

void DrawTheGrass(int Pos)
{
    Grass.Use();
    glLoadIdentity();
    Pos %= 800;
    glTranslatef(static_cast<float>(Pos) / 666.6666f, 0.0f, -1.0f);
    DrawSpriteQuad(-0.6, -0.45, 0.6, -0.25);
    glTranslatef(-1.2f, 0.0f, 0.0f);
    DrawSpriteQuad(-0.6, -0.45, 0.6, -0.25);
    glTranslatef(-1.2f, 0.0f, 0.0f);
    DrawSpriteQuad(-0.6, -0.45, 0.6, -0.25);
    Grass.StopUsing();
}

}  // namespace demo
