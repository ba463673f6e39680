#pragma once
// A scripted window seam for tests. Every call is logged by name, in one log with the message
// boxes ("box:<text>"); any call named in `failing` fails; PeekMessage hands out the messages a
// test queued, and DispatchMessage runs the registered window procedure on them.
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/win.h"

namespace fakeplat {

// Calls are logged, and matched against `failing`, by function name; the variants carry a suffix:
// "ChangeDisplaySettings(restore)", "ShowCursor(hide)", "ShowCursor(show)", "wglMakeCurrent(none)".
// PeekMessage, TranslateMessage and DispatchMessage are counted, not logged.

struct Created {
    plat::DWORD exStyle;
    std::string className;
    std::string title;
    plat::DWORD style;
    int width, height;
};

struct State {
    std::vector<std::string> log;
    std::set<std::string> failing;
    std::deque<plat::MSG> queue;
    std::function<void(const std::string& call)> onCall;  // after each logged call

    // What the calls were given.
    std::optional<plat::WNDCLASS> windowClass;
    std::string className;
    std::optional<plat::DEVMODE> mode;
    plat::DWORD modeFlags = 0;
    std::optional<Created> created;
    std::optional<plat::PIXELFORMATDESCRIPTOR> pixelFormat;
    std::vector<plat::MSG> defaultHandled;  // messages passed to DefWindowProc

    int cursorCount = 0;
    bool quitPosted = false;
    int quitCode = 0;
    long peeks = 0;
    long dispatched = 0;
};

// After this many PeekMessage calls without a quit the fake posts WM_QUIT with kRunawayCode,
// so a loop that never ends fails its test instead of hanging it.
constexpr long kRunawayPeeks = 200000;
constexpr plat::WPARAM kRunawayCode = 0xDEAD;

State& state();
// Clears everything, the fake message boxes included, and logs boxes from now on.
void reset();
// Adds an entry to the log (for calls made through other fakes).
void note(const std::string& entry);
// The window, device context and GL context currently alive (null when there is none).
plat::HWND window();
plat::HDC dc();
plat::HGLRC context();
// Queues a message for the window.
void post(plat::UINT message, plat::WPARAM wParam = 0, plat::LPARAM lParam = 0);
// The log without entries that do not start with one of the prefixes.
std::vector<std::string> logOf(const std::vector<std::string>& prefixes);

}  // namespace fakeplat
