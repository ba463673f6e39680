#pragma once
// One frame of the show, a function of the music clock alone.

namespace demo {

// Clears, samples the clock once, draws the vehicle, the ground strip and the cow in that order.
// Always returns 1.
int DrawGLScene();
// Turns the clock into the ground's scroll offset and draws the strip.
void DrawGrass();
// Draws the three grass tiles shifted right by Pos % 800 scroll units (800 units = one tile).
void DrawTheGrass(int Pos);

}  // namespace demo
