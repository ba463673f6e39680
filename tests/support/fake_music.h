#pragma once
// A scripted music layer for tests: logs each call as "music:<name>" in the fake window seam's
// log, answers as told, and reports whatever time the test sets. It serves what the demo calls;
// the freeze and WAV entry points belong to the tools, which link the real layer.
#include <cstdint>
#include <vector>

namespace fakemusic {

struct State {
    bool initSucceeds = true;
    bool loadSucceeds = true;
    int32_t timeMs = 0;                // what MusicGetTime reports
    std::vector<const void*> modules;  // per call, its module argument (null for those without)
};

State& state();
void reset();
const void* loadedModule();  // the handle MusicLoadSong hands out on success

}  // namespace fakemusic
