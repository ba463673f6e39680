// SDL events turned into window messages, the queue they wait in, and their dispatch.
#include <algorithm>

#include "platform/window/internal.h"

namespace plat {

using detail::platform;

namespace {

constexpr LPARAM kAltDown = LPARAM(1) << 29;
constexpr LPARAM kWasDown = LPARAM(1) << 30;
constexpr LPARAM kReleased = LPARAM(1) << 31;

// Virtual-key code of a key, or 0 for keys the program has no code for.
WPARAM virtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return WPARAM('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return WPARAM(key);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + WPARAM(key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + WPARAM(key - SDLK_KP_1);
    switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
    }
}

void post(Window* window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window)
        platform().queue.push_back(MSG{window, message, wParam, lParam});
}

LPARAM sizeParam(int width, int height)
{
    return static_cast<LPARAM>(MAKELONG(static_cast<uint16_t>(width), static_cast<uint16_t>(height)));
}

void translateKey(const SDL_KeyboardEvent& key)
{
    Window* window = detail::findWindow(key.windowID);
    if (!window && platform().windows.size() == 1)
        window = platform().windows.front().get();
    const WPARAM vk = virtualKey(key.keysym.sym);
    if (!window || vk == 0)
        return;
    const bool down = key.type == SDL_KEYDOWN;
    // With Alt held (or Alt itself) a key is a system key, which the window procedure passes on.
    const bool alt = (key.keysym.mod & KMOD_ALT) || vk == VK_MENU;
    LPARAM lParam = 1 | (LPARAM(key.keysym.scancode & 0xFF) << 16);
    if (alt)
        lParam |= kAltDown;
    if (!down)
        lParam |= kWasDown | kReleased;
    else if (key.repeat)
        lParam |= kWasDown;
    const UINT message = alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    post(window, message, vk, lParam);
}

void translateWindowEvent(const SDL_WindowEvent& event)
{
    Window* window = detail::findWindow(event.windowID);
    if (!window)
        return;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        post(window, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        if (!window->minimised) {
            window->minimised = true;
            post(window, WM_ACTIVATE, MAKELONG(WA_INACTIVE, 1), 0);
            post(window, WM_SIZE, SIZE_MINIMIZED, sizeParam(0, 0));
        }
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_MAXIMIZED:
        if (window->minimised) {
            window->minimised = false;
            post(window, WM_SIZE, SIZE_RESTORED, sizeParam(window->clientWidth, window->clientHeight));
            post(window, WM_ACTIVATE, MAKELONG(WA_ACTIVE, 0), 0);
        }
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        // The client area keeps the size the program asked for; SwapBuffers fits it into the
        // window, so a resize tells the program nothing.
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        post(window, WM_ACTIVATE, MAKELONG(WA_ACTIVE, window->minimised ? 1 : 0), 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        post(window, WM_ACTIVATE, MAKELONG(WA_INACTIVE, window->minimised ? 1 : 0), 0);
        break;
    default:
        break;
    }
}

void translate(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        translateKey(event.key);
        break;
    case SDL_WINDOWEVENT:
        translateWindowEvent(event.window);
        break;
    case SDL_QUIT:
        // Only a signal (Ctrl+C) gets here: ask every window to close.
        for (const auto& w : platform().windows)
            post(w.get(), WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void pump()
{
    if (!platform().videoUp)
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        translate(event);
}

bool matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (window && msg.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

}  // namespace

namespace detail {

LRESULT callProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* window = findWindow(hwnd);
    return window && window->proc ? window->proc(hwnd, message, wParam, lParam) : 0;
}

void forgetMessages(HWND window)
{
    std::erase_if(platform().queue, [&](const MSG& m) { return m.hwnd == window; });
}

}  // namespace detail

BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg)
        return 0;
    pump();
    // A termination signal ends the show as a quit would, with the signal's exit code.
    if (const int signal = detail::takeSignalForLoop())
        PostQuitMessage(128 + signal);
    detail::Platform& p = platform();
    const auto found = std::find_if(p.queue.begin(), p.queue.end(),
                                    [&](const MSG& m) { return matches(m, window, filterMin, filterMax); });
    if (found != p.queue.end()) {
        *msg = *found;
        if (removeFlags & PM_REMOVE)
            p.queue.erase(found);
        return 1;
    }
    if (p.quitPosted && !window) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(p.quitCode), 0};
        if (removeFlags & PM_REMOVE)
            p.quitPosted = false;
        return 1;
    }
    return 0;
}

BOOL TranslateMessage(const MSG* msg)
{
    // Character messages are not made: nothing in the program reads them.
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) ? 1 : 0;
}

LRESULT DispatchMessage(const MSG* msg)
{
    return msg ? detail::callProc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

void PostQuitMessage(int exitCode)
{
    platform().quitPosted = true;
    platform().quitCode = exitCode;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Alt+F4 asks the window to close, the same way as its close button.
    if (message == WM_SYSKEYDOWN && wParam == VK_F4 && (lParam & kAltDown))
        return detail::callProc(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
        return detail::callProc(window, WM_CLOSE, 0, 0);
    return 0;
}

BOOL WaitMessageTimeout(UINT timeoutMs)
{
    const detail::Platform& p = platform();
    if (!p.queue.empty() || p.quitPosted)
        return 1;
    if (!p.videoUp) {
        SDL_Delay(timeoutMs);
        return 0;
    }
    return SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs)) ? 1 : 0;
}

}  // namespace plat
