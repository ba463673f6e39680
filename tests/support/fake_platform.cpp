#include "tests/support/fake_platform.h"

#include "tests/support/fake_msgbox.h"

namespace plat {
struct Instance { int unused; };
struct Icon { int unused; };
struct Cursor { int unused; };
struct Window { WNDPROC proc; };
struct DeviceContext { int unused; };
struct GLContext { int unused; };
}  // namespace plat

namespace {

plat::Instance theInstance{0};
plat::Icon theIcon{0};
plat::Cursor theCursor{0};
plat::Window theWindow{nullptr};
plat::DeviceContext theDc{0};
plat::GLContext theContext{0};

bool classRegistered = false, windowAlive = false, dcAlive = false, contextAlive = false;

std::vector<fake::Box> boxLog;
std::deque<int> answers;
plat::HWND focusWindow = nullptr;

// Logs the call and tells whether it is to succeed.
bool call(const std::string& name)
{
    fakeplat::State& s = fakeplat::state();
    s.log.push_back(name);
    const bool ok = !s.failing.count(name);
    if (s.onCall)
        s.onCall(name);
    return ok;
}

// A handle the fake hands out: logged, and alive from now on when the call may succeed.
template <class Handle>
Handle* acquire(const std::string& name, bool precondition, bool& alive, Handle& handle)
{
    if (!call(name) || !precondition)
        return nullptr;
    alive = true;
    return &handle;
}

// Releases succeed only for the live handle the fake handed out.
bool release(const std::string& name, bool isOurs, bool& alive)
{
    if (!call(name) || !alive || !isOurs)
        return false;
    alive = false;
    return true;
}

}  // namespace

namespace fakeplat {

State& state()
{
    static State s;
    return s;
}

void reset()
{
    state() = State{};
    classRegistered = windowAlive = dcAlive = contextAlive = false;
    theWindow.proc = nullptr;
    fake::resetBoxes();
}

void note(const std::string& entry) { state().log.push_back(entry); }

plat::HWND window() { return windowAlive ? &theWindow : nullptr; }
plat::HDC dc() { return dcAlive ? &theDc : nullptr; }
plat::HGLRC context() { return contextAlive ? &theContext : nullptr; }

void post(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam)
{
    state().queue.push_back(plat::MSG{window(), message, wParam, lParam});
}

std::vector<std::string> logOf(const std::vector<std::string>& prefixes)
{
    std::vector<std::string> out;
    for (const std::string& entry : state().log)
        for (const std::string& prefix : prefixes)
            if (entry.rfind(prefix, 0) == 0) {
                out.push_back(entry);
                break;
            }
    return out;
}

}  // namespace fakeplat

namespace fake {

const std::vector<Box>& boxes() { return boxLog; }

void resetBoxes()
{
    boxLog.clear();
    answers.clear();
    focusWindow = nullptr;
}

void answerNext(int button) { answers.push_back(button); }
void setFocusWindow(plat::HWND w) { focusWindow = w; }

}  // namespace fake

namespace plat {

HINSTANCE GetModuleHandle(const char*) { return call("GetModuleHandle") ? &theInstance : nullptr; }
HICON LoadIcon(HINSTANCE, int) { return call("LoadIcon") ? &theIcon : nullptr; }
HCURSOR LoadCursor(HINSTANCE, int) { return call("LoadCursor") ? &theCursor : nullptr; }

ATOM RegisterClass(const WNDCLASS* windowClass)
{
    if (!call("RegisterClass") || classRegistered)
        return 0;
    fakeplat::state().windowClass = *windowClass;
    fakeplat::state().className = windowClass->lpszClassName;
    classRegistered = true;
    return 0xC001;
}

BOOL UnregisterClass(const char* className, HINSTANCE)
{
    return release("UnregisterClass", fakeplat::state().className == className, classRegistered);
}

int32_t ChangeDisplaySettings(DEVMODE* mode, DWORD flags)
{
    if (!mode)
        return call("ChangeDisplaySettings(restore)") ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
    fakeplat::state().mode = *mode;
    fakeplat::state().modeFlags = flags;
    return call("ChangeDisplaySettings") ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
}

int ShowCursor(BOOL show)
{
    call(show ? "ShowCursor(show)" : "ShowCursor(hide)");
    return fakeplat::state().cursorCount += show ? 1 : -1;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD)
{
    // A frame of 8 pixels all round, so a caller that ignores the widened rectangle shows.
    if (!call("AdjustWindowRectEx"))
        return 0;
    *rect = RECT{rect->left - 8, rect->top - 8, rect->right + 8, rect->bottom + 8};
    return 1;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int, int, int width,
                    int height, HWND, const void*, HINSTANCE, const void*)
{
    fakeplat::state().created = fakeplat::Created{exStyle, className ? className : "", title ? title : "", style,
                                                  width, height};
    const bool registered = classRegistered && fakeplat::state().className == className;
    HWND window = acquire("CreateWindowEx", registered, windowAlive, theWindow);
    if (window)
        theWindow.proc = fakeplat::state().windowClass->lpfnWndProc;
    return window;
}

BOOL DestroyWindow(HWND window) { return release("DestroyWindow", window == &theWindow, windowAlive); }

BOOL ShowWindow(HWND, int) { return call("ShowWindow"), 0; }
BOOL SetForegroundWindow(HWND) { return call("SetForegroundWindow") ? 1 : 0; }

HWND SetFocus(HWND window)
{
    call("SetFocus");
    fake::setFocusWindow(window);
    return nullptr;
}

HWND GetFocus() { return focusWindow; }

// Boxes go into the call log too, so a test sees them in order among the other calls.
int MessageBox(HWND owner, const char* text, const char* caption, uint32_t style)
{
    boxLog.push_back(fake::Box{owner, text ? text : "", caption ? caption : "", style});
    fakeplat::note("box:" + boxLog.back().text);
    if (answers.empty())
        return (style & 0x0F) == MB_YESNO ? IDYES : IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

HDC GetDC(HWND window) { return acquire("GetDC", windowAlive && window == &theWindow, dcAlive, theDc); }
int ReleaseDC(HWND window, HDC dc) { return release("ReleaseDC", window == &theWindow && dc == &theDc, dcAlive); }

int ChoosePixelFormat(HDC, const PIXELFORMATDESCRIPTOR* request)
{
    fakeplat::state().pixelFormat = *request;
    return call("ChoosePixelFormat") ? 1 : 0;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*)
{
    return call("SetPixelFormat") && dc == &theDc && format == 1 ? 1 : 0;
}

HGLRC wglCreateContext(HDC dc)
{
    return acquire("wglCreateContext", dcAlive && dc == &theDc, contextAlive, theContext);
}

BOOL wglMakeCurrent(HDC dc, HGLRC context)
{
    if (!dc && !context)
        return call("wglMakeCurrent(none)") ? 1 : 0;
    return call("wglMakeCurrent") && dc == &theDc && context == &theContext ? 1 : 0;
}

BOOL wglDeleteContext(HGLRC context) { return release("wglDeleteContext", context == &theContext, contextAlive); }

BOOL SwapBuffers(HDC dc) { return call("SwapBuffers") && dc == &theDc ? 1 : 0; }

BOOL PeekMessage(MSG* msg, HWND, UINT, UINT, UINT removeFlags)
{
    fakeplat::State& s = fakeplat::state();
    if (++s.peeks >= fakeplat::kRunawayPeeks) {
        *msg = MSG{nullptr, WM_QUIT, fakeplat::kRunawayCode, 0};
        return 1;
    }
    if (!s.queue.empty()) {
        *msg = s.queue.front();
        if (removeFlags & PM_REMOVE)
            s.queue.pop_front();
        return 1;
    }
    if (s.quitPosted) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0};
        if (removeFlags & PM_REMOVE)
            s.quitPosted = false;
        return 1;
    }
    return 0;
}

BOOL TranslateMessage(const MSG*) { return 0; }

LRESULT DispatchMessage(const MSG* msg)
{
    ++fakeplat::state().dispatched;
    return msg->hwnd == &theWindow && theWindow.proc ? theWindow.proc(msg->hwnd, msg->message, msg->wParam, msg->lParam)
                                                     : 0;
}

void PostQuitMessage(int exitCode)
{
    call("PostQuitMessage");
    fakeplat::state().quitPosted = true;
    fakeplat::state().quitCode = exitCode;
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    call("DefWindowProc");
    fakeplat::state().defaultHandled.push_back(MSG{hwnd, message, wParam, lParam});
    return 0;
}

BOOL WaitMessageTimeout(UINT)
{
    call("WaitMessageTimeout");
    return fakeplat::state().queue.empty() ? 0 : 1;
}

}  // namespace plat
