#pragma once
// The scene clock: the module's play position, sampled once per frame. Every movement of the
// show is a function of it.

struct MusicModule;

namespace demo {

extern MusicModule* mod;  // the loaded module; stays null when loading failed
extern double tid;        // play position in whole ms as last sampled; 0.0 before the first frame

// Sets tid from the music layer. Called once per frame, before anything is drawn.
void updatetime();
// tid / fakt, a plain double division (1: ms, 100: tenths of a second, 20: bounce units).
double time(double fakt);

}  // namespace demo
