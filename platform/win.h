#pragma once
// The window seam in the Win32 shape the demo's code speaks: a window class with a window
// procedure, messages taken off a queue one at a time, a display-mode request, a device context
// with a pixel format, a GL context and a swap. Every creation step is its own call that can fail,
// so the window code can test each one. One implementation runs over SDL2 (platform/window);
// tests link a scripted fake.
#include <cstdint>

#include "platform/msgbox.h"

namespace plat {

using BOOL = int;
using UINT = uint32_t;
using DWORD = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;

struct Instance;
struct DeviceContext;
struct GLContext;
struct Icon;
struct Cursor;
using HINSTANCE = Instance*;
using HDC = DeviceContext*;
using HGLRC = GLContext*;
using HICON = Icon*;
using HCURSOR = Cursor*;

using WNDPROC = LRESULT (*)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct RECT {
    int32_t left, top, right, bottom;
};

// Message ids.
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCOMMAND = 0x0112;

// WM_ACTIVATE: low word of wParam.
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
// WM_SIZE: wParam.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
// WM_SYSCOMMAND: wParam.
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_SCREENSAVE = 0xF140;
constexpr WPARAM SC_MONITORPOWER = 0xF170;

// Virtual-key codes (all below 256).
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12;  // Alt
constexpr WPARAM VK_PAUSE = 0x13;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_PRIOR = 0x21;
constexpr WPARAM VK_NEXT = 0x22;
constexpr WPARAM VK_END = 0x23;
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_INSERT = 0x2D;
constexpr WPARAM VK_DELETE = 0x2E;
constexpr WPARAM VK_NUMPAD0 = 0x60;
constexpr WPARAM VK_F1 = 0x70;
constexpr WPARAM VK_F4 = 0x73;


constexpr uint16_t LOWORD(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t HIWORD(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
constexpr uintptr_t MAKELONG(uint16_t low, uint16_t high) { return uintptr_t(low) | (uintptr_t(high) << 16); }

// PeekMessage, ShowWindow.
constexpr UINT PM_REMOVE = 1;
constexpr int SW_SHOW = 5;

// Window class styles, window styles and extended styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_OWNDC = 0x0020;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// Stock resources.
constexpr int IDI_WINLOGO = 32517;
constexpr int IDC_ARROW = 32512;

struct WNDCLASS {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    const void* hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

// Display-mode request: the fields a fullscreen switch names, flagged in dmFields.
struct DEVMODE {
    DWORD dmSize;
    DWORD dmFields;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFrequency;
};
constexpr DWORD DM_BITSPERPEL = 0x00040000;
constexpr DWORD DM_PELSWIDTH = 0x00080000;
constexpr DWORD DM_PELSHEIGHT = 0x00100000;
constexpr DWORD CDS_FULLSCREEN = 4;
constexpr int32_t DISP_CHANGE_SUCCESSFUL = 0;
constexpr int32_t DISP_CHANGE_FAILED = -1;
constexpr int32_t DISP_CHANGE_BADMODE = -2;

// Pixel-format request, laid out as the published 40-byte descriptor.
struct PIXELFORMATDESCRIPTOR {
    uint16_t nSize;
    uint16_t nVersion;
    DWORD dwFlags;
    uint8_t iPixelType;
    uint8_t cColorBits;
    uint8_t cRedBits, cRedShift, cGreenBits, cGreenShift, cBlueBits, cBlueShift;
    uint8_t cAlphaBits, cAlphaShift;
    uint8_t cAccumBits, cAccumRedBits, cAccumGreenBits, cAccumBlueBits, cAccumAlphaBits;
    uint8_t cDepthBits;
    uint8_t cStencilBits;
    uint8_t cAuxBuffers;
    uint8_t iLayerType;
    uint8_t bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);
constexpr DWORD PFD_DOUBLEBUFFER = 0x01;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x04;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x20;
constexpr uint8_t PFD_TYPE_RGBA = 0;
constexpr uint8_t PFD_MAIN_PLANE = 0;

// Module, class and resources.
HINSTANCE GetModuleHandle(const char* moduleName);
HICON LoadIcon(HINSTANCE instance, int id);
HCURSOR LoadCursor(HINSTANCE instance, int id);
ATOM RegisterClass(const WNDCLASS* windowClass);  // 0 on failure
BOOL UnregisterClass(const char* className, HINSTANCE instance);

// Display mode: a request with CDS_FULLSCREEN enters it, a null request returns to the
// desktop's own mode. DISP_CHANGE_SUCCESSFUL or a failure code.
int32_t ChangeDisplaySettings(DEVMODE* mode, DWORD flags);
// Keeps a display count, so nested hide and show calls pair up: the cursor shows while the count is >= 0.
int ShowCursor(BOOL show);

// Widens a client rectangle to the window's outer rectangle for the given styles.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, const void* menu, HINSTANCE instance,
                    const void* param);  // null on failure
BOOL DestroyWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL SetForegroundWindow(HWND window);
HWND SetFocus(HWND window);

// Device context, pixel format, GL context and swap.
HDC GetDC(HWND window);                         // null on failure
int ReleaseDC(HWND window, HDC dc);             // non-zero on success
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request);  // 0: none matches
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request);
HGLRC wglCreateContext(HDC dc);                 // null on failure
BOOL wglMakeCurrent(HDC dc, HGLRC context);     // both null: no context current
BOOL wglDeleteContext(HGLRC context);
BOOL SwapBuffers(HDC dc);

// Messages. PeekMessage leaves `msg` untouched when it finds nothing. WM_QUIT is delivered once
// the queue holds nothing else.
BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Sleeps until a message is waiting or timeoutMs has passed; TRUE when one is waiting.
BOOL WaitMessageTimeout(UINT timeoutMs);

}  // namespace plat
