#pragma once
// Scripted message boxes for tests: every box is logged, and answers are taken from a queue
// (when the queue is empty a box answers its default: OK, or Yes for a question). The fake window
// seam serves them; its call log holds each box as "box:<text>".
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

}  // namespace fake
