#pragma once
// What the web platform's layers tell the page around the canvas.
#include <cstdint>

namespace page {

void SetTitle(const char* title);
// After each shown frame: the page learns that the show has a picture, and when.
void FrameShown();
// The still the page asked for with ?at=MS, if any.
bool StillRequested(int32_t* ms);
// WinMain has returned: the page says the show has ended.
void ShowEnded();

}  // namespace page
