#pragma once
// Scripted message boxes for tests: every box is logged, and answers are taken from a queue
// (when the queue is empty a box answers its default: OK, or Yes for a question).
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/msgbox.h"

namespace fake {

struct Box {
    plat::HWND owner;
    std::string text;
    std::string caption;
    uint32_t style;
};

const std::vector<Box>& boxes();
void resetBoxes();                 // clears the log and the scripted answers
void answerNext(int button);       // queue an answer for the next box
void setFocusWindow(plat::HWND w); // what plat::GetFocus returns
// Called for every box as it is shown (after it is logged), so a test can interleave boxes with
// other calls in one log. Not cleared by resetBoxes.
void setBoxObserver(void (*observer)(const Box& box));

}  // namespace fake
