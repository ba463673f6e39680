#pragma once
// Modal message boxes in the Win32 shape the demo speaks: text, caption and a style word in;
// the pressed button out. The demo's own strings are Windows-1252 bytes; a text that is valid
// UTF-8 (a file name from the system) is shown as it is, anything else is converted.
#include <cstdint>

namespace plat {

struct Window;             // opaque window handle
using HWND = Window*;

// Button sets and icons (style bits).
constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_YESNO = 0x04;
constexpr uint32_t MB_ICONSTOP = 0x10;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;

// Answers.
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a box and waits for the answer. With no display the box is written to stderr as
// "caption: text" and the default answer (OK, or Yes for a question) is returned.
int MessageBox(HWND owner, const char* text, const char* caption, uint32_t style);

// The window that has the keyboard focus, or null.
HWND GetFocus();

}  // namespace plat
