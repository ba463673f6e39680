#pragma once
// The show's music: a module composed in code against the show's timeline (game/timeline.h).
#include "tools/assets/xm_writer.h"

namespace music {

// 125 BPM at speed 5: a row lasts 100 ms, so the show's times in ms are row numbers times 100.
constexpr int kRowMs = 100;
constexpr int kEndMs = 80000;  // where the module loops back to its start

xm::Module composeSong();

}  // namespace music
