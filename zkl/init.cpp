#include "zkl/init.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <iterator>

namespace zkl {

using namespace plat;

bool keys[256] = {};
bool active = true;
bool fullscreen = true;
HDC hDC = nullptr;
HGLRC hRC = nullptr;
HWND hWnd = nullptr;
HINSTANCE hInstance = nullptr;

namespace {

constexpr const char* kClassName = "OpenGL";

void shutdownError(const char* text)
{
    MessageBox(nullptr, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

// A creation step failed: release what exists, then tell the user.
int creationFailed(const char* text)
{
    KillGLWindow();
    MessageBox(nullptr, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

}  // namespace

void resizeViewport(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The planes were single-precision constants; keep exactly the values they rounded to.
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), static_cast<double>(0.01f),
                   static_cast<double>(300.1f));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

int setupGlState()
{
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return 1;
}

int CreateGLWindow(const char* title, int width, int height, int bits, bool fullscreenflag)
{
    fullscreen = fullscreenflag;
    RECT rect{0, 0, width, height};

    hInstance = GetModuleHandle(nullptr);
    const WNDCLASS windowClass{CS_HREDRAW | CS_VREDRAW | CS_OWNDC,
                               windowProc,
                               0,
                               0,
                               hInstance,
                               LoadIcon(nullptr, IDI_WINLOGO),
                               LoadCursor(nullptr, IDC_ARROW),
                               nullptr,
                               nullptr,
                               kClassName};
    if (!RegisterClass(&windowClass)) {
        MessageBox(nullptr, "Failed To Register The Window Class.", "ERROR", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }

    if (fullscreen) {
        DEVMODE mode{};
        mode.dmSize = sizeof(mode);
        mode.dmPelsWidth = static_cast<DWORD>(width);
        mode.dmPelsHeight = static_cast<DWORD>(height);
        mode.dmBitsPerPel = static_cast<DWORD>(bits);
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (ChangeDisplaySettings(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
            if (MessageBox(nullptr,
                           "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode "
                           "Instead?",
                           "Vexo GL", MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
                fullscreen = false;
            } else {
                MessageBox(nullptr, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
                return 0;
            }
        }
    }

    DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    DWORD style = WS_OVERLAPPEDWINDOW;
    if (fullscreen) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
        ShowCursor(0);
    }
    AdjustWindowRectEx(&rect, style, 0, exStyle);

    hWnd = CreateWindowEx(exStyle, kClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                          rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, hInstance, nullptr);
    if (!hWnd)
        return creationFailed("Window Creation Error.");

    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = static_cast<uint8_t>(bits);
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;

    hDC = GetDC(hWnd);
    if (!hDC)
        return creationFailed("Can't Create A GL Device Context.");
    const int pixelFormat = ChoosePixelFormat(hDC, &pfd);
    if (!pixelFormat)
        return creationFailed("Can't Find A Suitable PixelFormat.");
    if (!SetPixelFormat(hDC, pixelFormat, &pfd))
        return creationFailed("Can't Set The PixelFormat.");
    hRC = wglCreateContext(hDC);
    if (!hRC)
        return creationFailed("Can't Create A GL Rendering Context.");
    if (!wglMakeCurrent(hDC, hRC))
        return creationFailed("Can't Activate The GL Rendering Context.");

    ShowWindow(hWnd, SW_SHOW);
    SetForegroundWindow(hWnd);
    SetFocus(hWnd);
    resizeViewport(width, height);
    setupGlState();
    return 1;
}

void KillGLWindow()
{
    if (fullscreen) {
        ChangeDisplaySettings(nullptr, 0);
        ShowCursor(1);
    }
    if (hRC) {
        if (!wglMakeCurrent(nullptr, nullptr))
            shutdownError("Release Of DC And RC Failed.");
        if (!wglDeleteContext(hRC))
            shutdownError("Release Rendering Context Failed.");
        hRC = nullptr;
    }
    // Handles are cleared whether or not their release worked, so a second call releases nothing twice.
    if (hDC && !ReleaseDC(hWnd, hDC))
        shutdownError("Release Device Context Failed.");
    hDC = nullptr;
    if (hWnd && !DestroyWindow(hWnd))
        shutdownError("Could Not Release hWnd.");
    hWnd = nullptr;
    if (!UnregisterClass(kClassName, hInstance))
        shutdownError("Could Not Unregister Class.");
    hInstance = nullptr;
}

LRESULT windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        // The high word is the minimised state; losing the focus alone keeps the show drawing.
        active = HIWORD(wParam) == 0;
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
            return 0;
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Keyboard codes are all below 256; anything else posted here must not reach past the table.
        if (wParam < std::size(keys))
            keys[wParam] = message == WM_KEYDOWN;
        return 0;
    case WM_SIZE:
        resizeViewport(LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
        return 0;
    default:
        break;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace zkl
