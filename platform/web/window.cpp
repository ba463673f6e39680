// The window seam over the browser: the window is the page's canvas, the GL context comes from
// emscripten's SDL 1.2 (the only path that starts its immediate-mode emulation), messages come
// from the page's key, visibility and size events, and the two calls that wait on a desktop
// (a message box, the swap) yield to the browser instead, through ASYNCIFY, so the demo's code
// reads as it does there.
#include <SDL/SDL.h>
#include <emscripten.h>

#include <cstring>
#include <deque>

#include "platform/web/page.h"
#include "platform/win.h"

namespace plat {

struct Instance {};
struct Window {};
struct DeviceContext {};
struct GLContext {};

namespace {

Instance theInstance;
Window theWindow;
DeviceContext theDC;
GLContext theContext;

WNDCLASS registered{};
bool classRegistered = false;
bool windowOpen = false;
bool contextMade = false;
int cursorCount = 0;
bool quitPosted = false;
int quitCode = 0;

// Messages posted by the program itself; the page's own events wait in the page's queue.
std::deque<MSG> posted;
// A browser hands over a quick tap's key-down and key-up together. After a key-down the queue
// looks empty once, so the loop sees the key down for one pass, as it would on the desktop.
bool pauseAfterKeyDown = false;

}  // namespace

// The page's queue, filled by its event listeners: one message per call, or false when empty.
EM_JS(int, page_take_message, (uint32_t* out), {
    // SDL 1.2 queues the canvas's mouse events for a poll the show never makes: drop them.
    if (typeof SDL != "undefined") SDL.events.length = 0;
    const q = Module.webMessages;
    if (!q || q.length == 0) return 0;
    const m = q.shift();
    HEAPU32[out >> 2] = m[0];
    HEAPU32[(out >> 2) + 1] = m[1];
    HEAP32[(out >> 2) + 2] = m[2];
    return 1;
});

// Starts listening once the window exists: keys (keyCode is the desktop's virtual-key code for
// every key the show reads), the tab hidden or shown, and the canvas's size in device pixels.
EM_JS(void, page_listen, (), {
    const q = Module.webMessages = [];
    const canvas = Module.canvas;
    const WM_SIZE = 5, WM_ACTIVATE = 6, WM_KEYDOWN = 0x100, WM_KEYUP = 0x101;
    const key = (message) => (e) => {
        if (Module.webDialogOpen || e.keyCode >= 256) return;
        q.push([message, e.keyCode, 0]);
        if (e.keyCode == 27 || e.keyCode == 32) e.preventDefault();
    };
    const on = (target, type, fn) => {
        target.addEventListener(type, fn);
        (Module.webListeners = Module.webListeners || []).push(() => target.removeEventListener(type, fn));
    };
    on(window, "keydown", key(WM_KEYDOWN));
    on(window, "keyup", key(WM_KEYUP));
    // Hidden is the what the browser has for minimised: the picture pauses, the music goes on.
    on(document, "visibilitychange", () => q.push([WM_ACTIVATE, document.hidden ? 0x10000 : 1, 0]));
    // Focus alone comes and goes as on the desktop: the show keeps drawing.
    on(window, "blur", () => q.push([WM_ACTIVATE, 0, 0]));
    on(window, "focus", () => q.push([WM_ACTIVATE, 1, 0]));
    const fit = () => {
        // A full screen keeps the 4:3 picture whole and centred between black bars; in the page
        // the canvas is 800x600 CSS pixels. Either way it is drawn at the screen's own density.
        const full = document.fullscreenElement === canvas;
        const ratio = window.devicePixelRatio || 1;
        let w = 800, h = 600;
        if (full) {
            w = Math.min(window.innerWidth, window.innerHeight * 4 / 3);
            h = w * 3 / 4;
        }
        canvas.style.width = w + "px";
        canvas.style.height = h + "px";
        const pw = Math.round(w * ratio), ph = Math.round(h * ratio);
        if (canvas.width != pw || canvas.height != ph) {
            canvas.width = pw;
            canvas.height = ph;
            q.push([WM_SIZE, 0, (ph << 16) | pw]);
        }
    };
    on(document, "fullscreenchange", fit);
    on(window, "resize", fit);
    fit();
});

EM_JS(void, page_unlisten, (), {
    (Module.webListeners || []).forEach((off) => off());
    Module.webListeners = [];
});

// Asks for the canvas alone on the whole screen; the answer to the question is the gesture the
// browser wants. Fails when the browser refuses, so the show can offer the page instead.
EM_ASYNC_JS(int, page_enter_fullscreen, (), {
    const canvas = Module.canvas;
    if (!canvas.requestFullscreen) return 0;
    try {
        await canvas.requestFullscreen({navigationUI: "hide"});
        // Escape would only leave the full screen; where the browser allows it, it reaches the
        // show instead and ends it, as on the desktop (holding it still leaves the full screen).
        if (navigator.keyboard && navigator.keyboard.lock) navigator.keyboard.lock(["Escape"]).catch(() => {});
        return 1;
    } catch (e) {
        return 0;
    }
});

EM_JS(void, page_leave_fullscreen, (), {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
});

// Until the next animation frame: the browser shows what was drawn and runs its events.
EM_ASYNC_JS(void, page_next_frame, (), {
    await new Promise((resolve) => {
        requestAnimationFrame(() => { if (!Module.webAbandoned) resolve(); });
    });
});

EM_ASYNC_JS(void, page_sleep, (int ms), {
    await new Promise((resolve) => setTimeout(() => { if (!Module.webAbandoned) resolve(); }, ms));
});

EM_JS(int, page_messages_waiting, (), { return Module.webMessages && Module.webMessages.length > 0 ? 1 : 0; });

EM_JS(int, page_has_focus, (), { return document.hasFocus() ? 1 : 0; });

EM_JS(void, page_cursor, (int visible), { Module.canvas.style.cursor = visible ? "" : "none"; });

HINSTANCE GetModuleHandle(const char*)
{
    return &theInstance;
}

HICON LoadIcon(HINSTANCE, int)
{
    return nullptr;
}

HCURSOR LoadCursor(HINSTANCE, int)
{
    return nullptr;
}

ATOM RegisterClass(const WNDCLASS* windowClass)
{
    if (!windowClass || !windowClass->lpfnWndProc || classRegistered)
        return 0;
    registered = *windowClass;
    classRegistered = true;
    return 1;
}

BOOL UnregisterClass(const char* className, HINSTANCE)
{
    if (!classRegistered || !className || std::strcmp(className, registered.lpszClassName) != 0)
        return 0;
    classRegistered = false;
    return 1;
}

int32_t ChangeDisplaySettings(DEVMODE* mode, DWORD)
{
    if (!mode) {
        page_leave_fullscreen();
        return DISP_CHANGE_SUCCESSFUL;
    }
    return page_enter_fullscreen() ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
}

int ShowCursor(BOOL show)
{
    cursorCount += show ? 1 : -1;
    page_cursor(cursorCount >= 0);
    return cursorCount;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD)
{
    // The canvas has no frame: the client area is the whole window.
    return rect != nullptr;
}

HWND CreateWindowEx(DWORD, const char* className, const char* title, DWORD, int, int, int, int, HWND,
                    const void*, HINSTANCE, const void*)
{
    if (!classRegistered || windowOpen || !className || std::strcmp(className, registered.lpszClassName) != 0)
        return nullptr;
    if (title)
        page::SetTitle(title);
    windowOpen = true;
    return &theWindow;
}

BOOL DestroyWindow(HWND window)
{
    if (window != &theWindow || !windowOpen)
        return 0;
    page_unlisten();
    windowOpen = false;
    return 1;
}

BOOL ShowWindow(HWND window, int)
{
    return window == &theWindow && windowOpen;
}

BOOL SetForegroundWindow(HWND window)
{
    return window == &theWindow && windowOpen;
}

HWND SetFocus(HWND window)
{
    return window;
}

HWND GetFocus()
{
    return windowOpen && page_has_focus() ? &theWindow : nullptr;
}

HDC GetDC(HWND window)
{
    return window == &theWindow && windowOpen ? &theDC : nullptr;
}

int ReleaseDC(HWND window, HDC dc)
{
    return window == &theWindow && dc == &theDC;
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request)
{
    return dc == &theDC && request && (request->dwFlags & PFD_SUPPORT_OPENGL) ? 1 : 0;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*)
{
    return dc == &theDC && format == 1;
}

HGLRC wglCreateContext(HDC dc)
{
    if (dc != &theDC)
        return nullptr;
    if (!contextMade) {
        // One WebGL context per canvas for the program's life; it is made once and kept.
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        if (!SDL_SetVideoMode(800, 600, 32, SDL_OPENGL))
            return nullptr;
        contextMade = true;
        page_listen();
    }
    return &theContext;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context)
{
    if (!dc && !context)
        return 1;
    return dc == &theDC && context == &theContext && contextMade;
}

BOOL wglDeleteContext(HGLRC context)
{
    return context == &theContext;
}

BOOL SwapBuffers(HDC dc)
{
    if (dc != &theDC)
        return 0;
    page_next_frame();
    page::FrameShown();
    return 1;
}

BOOL PeekMessage(MSG* msg, HWND window, UINT, UINT, UINT)
{
    if (!msg)
        return 0;
    if (!posted.empty()) {
        *msg = posted.front();
        posted.pop_front();
        return 1;
    }
    if (pauseAfterKeyDown) {
        pauseAfterKeyDown = false;
        return 0;
    }
    uint32_t raw[3];
    if (windowOpen && page_take_message(raw)) {
        *msg = MSG{window ? window : &theWindow, raw[0], raw[1], static_cast<int32_t>(raw[2])};
        pauseAfterKeyDown = msg->message == WM_KEYDOWN;
        return 1;
    }
    if (quitPosted) {
        quitPosted = false;
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0};
        return 1;
    }
    return 0;
}

BOOL TranslateMessage(const MSG* msg)
{
    return msg != nullptr;
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg || !classRegistered)
        return 0;
    return registered.lpfnWndProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode)
{
    quitPosted = true;
    quitCode = exitCode;
}

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

BOOL WaitMessageTimeout(UINT timeoutMs)
{
    // A hidden tab gets no animation frames; a timer still lets its events in.
    page_sleep(static_cast<int>(timeoutMs));
    return !posted.empty() || quitPosted || page_messages_waiting();
}

}  // namespace plat
