#pragma once
// One frame of the show, a function of the music clock alone.

namespace demo {

// Clears, samples the clock once, draws the actors. Always returns 1.
int DrawGLScene();

}  // namespace demo
