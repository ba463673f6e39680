#pragma once
// The show's music: a module composed in code along the show's timeline.
#include "tools/assets/xm_writer.h"

namespace music {

// 125 BPM at speed 5: a row lasts 100 ms, so the show's times in ms are row numbers times 100.
constexpr int kRowMs = 100;

// Where each section starts, in ms from the start of the music, and where the music ends.
struct SectionMark {
    int startMs;
    const char* name;
};
extern const SectionMark kSections[];
extern const int kSectionCount;
constexpr int kEndMs = 80000;

xm::Module composeSong();

}  // namespace music
