#include "zkl/init.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_recorder.h"

using namespace zkl;

using namespace plat;
using Log = std::vector<std::string>;
using V = std::vector<double>;

namespace {

class InitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeplat::reset();
        glrec::reset();
        std::fill(std::begin(keys), std::end(keys), false);
        active = fullscreen = true;
        hDC = nullptr;
        hRC = nullptr;
        hWnd = nullptr;
        hInstance = nullptr;
    }

    // The log from the first entry with this name on.
    static Log logFrom(const std::string& first)
    {
        const Log& log = fakeplat::state().log;
        return Log(std::find(log.begin(), log.end(), first), log.end());
    }
};

void expectBox(size_t i, const std::string& caption, unsigned style)
{
    ASSERT_GT(fake::boxes().size(), i);
    EXPECT_EQ(fake::boxes()[i].caption, caption);
    EXPECT_EQ(fake::boxes()[i].style, style);
    EXPECT_EQ(fake::boxes()[i].owner, nullptr);
}

TEST_F(InitTest, WindowedWindowIsBuiltStepByStepWithTheRequestedFormatAndProjection)
{
    ASSERT_EQ(CreateGLWindow("Vavarizo32 complete remake!", 800, 600, 16, false), 1);
    EXPECT_EQ(fakeplat::state().log,
              (Log{"GetModuleHandle", "LoadIcon", "LoadCursor", "RegisterClass", "AdjustWindowRectEx",
                   "CreateWindowEx", "GetDC", "ChoosePixelFormat", "SetPixelFormat", "wglCreateContext",
                   "wglMakeCurrent", "ShowWindow", "SetForegroundWindow", "SetFocus"}));
    EXPECT_TRUE(fake::boxes().empty());

    const WNDCLASS& wc = *fakeplat::state().windowClass;
    EXPECT_EQ(std::tie(wc.style, wc.lpfnWndProc, wc.hbrBackground), std::make_tuple(0x23u, &windowProc, nullptr));
    EXPECT_EQ(std::string(wc.lpszClassName), "OpenGL");
    EXPECT_TRUE(wc.hIcon && wc.hCursor);

    // The window's outer size is the adjusted rectangle, so the client area is 800 x 600.
    const fakeplat::Created& c = *fakeplat::state().created;
    EXPECT_EQ(std::tie(c.exStyle, c.style, c.title, c.className),
              std::make_tuple(0x00040100u, 0x06CF0000u, "Vavarizo32 complete remake!", "OpenGL"));
    EXPECT_EQ(std::tie(c.x, c.y, c.width, c.height), std::make_tuple(0, 0, 816, 616));

    const PIXELFORMATDESCRIPTOR& p = *fakeplat::state().pixelFormat;
    EXPECT_EQ(std::make_tuple(p.nSize, p.nVersion, p.dwFlags, p.iPixelType),
              std::make_tuple(40, 1, 0x25u, PFD_TYPE_RGBA));
    EXPECT_EQ(std::make_tuple(p.cColorBits, p.cDepthBits, p.cStencilBits, p.cAlphaBits), std::make_tuple(16, 16, 0, 0));

    EXPECT_FALSE(fakeplat::state().mode.has_value());
    EXPECT_EQ(fakeplat::state().cursorCount, 0);
    EXPECT_EQ(std::tie(hWnd, hDC, hRC), std::make_tuple(fakeplat::window(), fakeplat::dc(), fakeplat::context()));

    // GL state is set once the context is current.
    EXPECT_EQ(glrec::calls().front().name, "glViewport") << glrec::dump();
    EXPECT_EQ(glrec::named("glViewport")[0].args, (V{0, 0, 800, 600}));
    EXPECT_EQ(glrec::named("glMatrixMode")[0].args[0], GL_PROJECTION);
    EXPECT_EQ(glrec::named("gluPerspective")[0].args, (V{45.0, 800.0 / 600.0, 0.01f, 300.1f}));
    EXPECT_EQ(glrec::named("glMatrixMode").back().args[0], GL_MODELVIEW);
    EXPECT_EQ(glrec::named("glEnable")[0].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(glrec::named("glEnable")[1].args[0], GL_DEPTH_TEST);
    EXPECT_EQ(glrec::named("glShadeModel")[0].args[0], GL_SMOOTH);
    EXPECT_EQ(glrec::named("glClearColor")[0].args, (V{0.0, 0.0, 0.0, 0.5}));
    EXPECT_EQ(glrec::named("glClearDepth")[0].args[0], 1.0);
    EXPECT_EQ(glrec::named("glDepthFunc")[0].args[0], GL_LEQUAL);
    EXPECT_EQ(glrec::named("glHint")[0].args, (V{GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}));
}

TEST_F(InitTest, FullscreenAsksForTheModeAndHidesTheCursorUntilTeardown)
{
    ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, true), 1);
    EXPECT_TRUE(fullscreen);
    const DEVMODE& m = *fakeplat::state().mode;
    EXPECT_EQ(std::make_tuple(m.dmPelsWidth, m.dmPelsHeight, m.dmBitsPerPel, m.dmFields, m.dmDisplayFrequency),
              std::make_tuple(800u, 600u, 16u, 0x001C0000u, 0u));
    EXPECT_EQ(fakeplat::state().modeFlags, CDS_FULLSCREEN);
    EXPECT_EQ(fakeplat::state().created->exStyle, 0x00040000u);
    EXPECT_EQ(fakeplat::state().created->style, 0x86000000u);
    EXPECT_EQ(fakeplat::logOf({"ChangeDisplaySettings", "ShowCursor", "CreateWindowEx"}),
              (Log{"ChangeDisplaySettings", "ShowCursor(hide)", "CreateWindowEx"}));
    EXPECT_EQ(fakeplat::state().cursorCount, -1);

    KillGLWindow();
    EXPECT_EQ(logFrom("ChangeDisplaySettings(restore)"),
              (Log{"ChangeDisplaySettings(restore)", "ShowCursor(show)", "wglMakeCurrent(none)", "wglDeleteContext",
                   "ReleaseDC", "DestroyWindow", "UnregisterClass"}));
    EXPECT_EQ(fakeplat::state().cursorCount, 0);
    EXPECT_TRUE(fake::boxes().empty());
    EXPECT_EQ(fakeplat::window(), nullptr);
    EXPECT_EQ(hRC, nullptr);
}

TEST_F(InitTest, EachFailingStepTearsDownWhatWasBuiltThenShowsItsMessage)
{
    const Log dcUp = {"ReleaseDC", "DestroyWindow", "UnregisterClass"};
    const struct {
        const char* step;
        const char* message;
        Log teardown;  // what KillGLWindow releases before the message (windowed)
    } failures[] = {
        {"CreateWindowEx", "Window Creation Error.", {"UnregisterClass"}},
        {"GetDC", "Can't Create A GL Device Context.", {"DestroyWindow", "UnregisterClass"}},
        {"ChoosePixelFormat", "Can't Find A Suitable PixelFormat.", dcUp},
        {"SetPixelFormat", "Can't Set The PixelFormat.", dcUp},
        {"wglCreateContext", "Can't Create A GL Rendering Context.", dcUp},
        {"wglMakeCurrent", "Can't Activate The GL Rendering Context.",
         {"wglMakeCurrent(none)", "wglDeleteContext", "ReleaseDC", "DestroyWindow", "UnregisterClass"}},
    };
    for (const bool full : {false, true}) {
        for (const auto& f : failures) {
            SCOPED_TRACE(std::string(f.step) + (full ? " fullscreen" : " windowed"));
            SetUp();
            fakeplat::state().failing = {f.step};

            EXPECT_EQ(CreateGLWindow("t", 800, 600, 16, full), 0);

            Log expected = full ? Log{"ChangeDisplaySettings(restore)", "ShowCursor(show)"} : Log{};
            expected.insert(expected.end(), f.teardown.begin(), f.teardown.end());
            expected.push_back(std::string("box:") + f.message);
            Log after = fakeplat::state().log;
            after.erase(after.begin(), std::find(after.begin(), after.end(), f.step) + 1);
            EXPECT_EQ(after, expected);

            // Only the creation message: nothing that was never made is reported as not released.
            ASSERT_EQ(fake::boxes().size(), 1u);
            expectBox(0, "ERROR", 0x30u);
            EXPECT_EQ(fakeplat::state().cursorCount, 0);
            EXPECT_EQ(glrec::calls().size(), 0u) << "no GL call without a current context";
            EXPECT_EQ(fakeplat::window(), nullptr);
            EXPECT_EQ(fakeplat::context(), nullptr);
        }
    }

    SetUp();
    fakeplat::state().failing = {"RegisterClass"};
    EXPECT_EQ(CreateGLWindow("t", 800, 600, 16, true), 0);
    EXPECT_EQ(logFrom("RegisterClass"), (Log{"RegisterClass", "box:Failed To Register The Window Class."}));
    ASSERT_EQ(fake::boxes().size(), 1u);
    expectBox(0, "ERROR", 0x30u);
}

TEST_F(InitTest, RefusedFullscreenModeAsksForAWindow)
{
    const std::string question =
        "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?";
    fakeplat::state().failing = {"ChangeDisplaySettings"};
    fake::answerNext(IDYES);
    ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, true), 1);
    ASSERT_EQ(fake::boxes().size(), 1u);
    EXPECT_EQ(fake::boxes()[0].text, question);
    expectBox(0, "Vexo GL", 0x34u);
    EXPECT_FALSE(fullscreen);
    EXPECT_EQ(fakeplat::state().created->style, 0x06CF0000u);
    EXPECT_EQ(fakeplat::state().cursorCount, 0);
    // Windowed now: the teardown leaves the display mode and the cursor alone.
    KillGLWindow();
    EXPECT_TRUE(fakeplat::logOf({"ChangeDisplaySettings(restore)", "ShowCursor"}).empty());

    // Refusing the window closes with the display unchanged.
    SetUp();
    fakeplat::state().failing = {"ChangeDisplaySettings"};
    fake::answerNext(IDNO);
    EXPECT_EQ(CreateGLWindow("t", 800, 600, 16, true), 0);
    EXPECT_EQ(logFrom("ChangeDisplaySettings"),
              (Log{"ChangeDisplaySettings", "box:" + question, "box:Program Will Now Close."}));
    expectBox(1, "ERROR", 0x10u);
}

TEST_F(InitTest, TeardownReportsEachFailedReleaseAndCarriesOn)
{
    const struct {
        const char* failing;
        const char* message;
    } cases[] = {
        {"wglMakeCurrent(none)", "Release Of DC And RC Failed."},
        {"wglDeleteContext", "Release Rendering Context Failed."},
        {"ReleaseDC", "Release Device Context Failed."},
        {"DestroyWindow", "Could Not Release hWnd."},
        {"UnregisterClass", "Could Not Unregister Class."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        SetUp();
        ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, false), 1);
        fakeplat::state().failing = {c.failing};
        fakeplat::state().log.clear();

        KillGLWindow();

        Log expected = {"wglMakeCurrent(none)", "wglDeleteContext", "ReleaseDC", "DestroyWindow", "UnregisterClass"};
        expected.insert(std::find(expected.begin(), expected.end(), c.failing) + 1, std::string("box:") + c.message);
        EXPECT_EQ(fakeplat::state().log, expected);
        ASSERT_EQ(fake::boxes().size(), 1u);
        expectBox(0, "SHUTDOWN ERROR", 0x40u);
        EXPECT_EQ(hRC, nullptr);
    }
}

LRESULT send(UINT message, WPARAM wParam, LPARAM lParam = 0)
{
    return windowProc(fakeplat::window(), message, wParam, lParam);
}

TEST_F(InitTest, ActiveFollowsTheMinimisedStateNotTheFocus)
{
    const std::pair<WPARAM, bool> cases[] = {
        {MAKELONG(WA_INACTIVE, 1), false},  // minimised
        {MAKELONG(WA_ACTIVE, 0), true},     // restored
        {MAKELONG(WA_INACTIVE, 0), true},   // another window in front, still visible
        {MAKELONG(WA_ACTIVE, 1), false},
        {MAKELONG(2, 0), true},             // activated by a click
    };
    for (const auto& [wParam, isActive] : cases) {
        EXPECT_EQ(send(WM_ACTIVATE, wParam), 0);
        EXPECT_EQ(active, isActive) << std::hex << wParam;
    }
    EXPECT_TRUE(fakeplat::state().defaultHandled.empty());
}

TEST_F(InitTest, KeyTableFollowsKeyMessagesAndStaysInsideItsEntries)
{
    send(WM_KEYDOWN, VK_ESCAPE);
    send(WM_KEYDOWN, VK_ESCAPE);  // auto-repeat
    send(WM_KEYDOWN, 255);
    EXPECT_TRUE(keys[27] && keys[255]);
    send(WM_KEYUP, VK_ESCAPE);
    EXPECT_FALSE(keys[27]);
    EXPECT_TRUE(keys[255]);

    // Codes no keyboard sends must not reach past the table (the sanitizer build sees any write).
    for (const WPARAM code : {WPARAM(256), WPARAM(0x1FF), ~WPARAM(0)}) {
        EXPECT_EQ(send(WM_KEYDOWN, code), 0);
        EXPECT_EQ(send(WM_KEYUP, code), 0);
    }
    EXPECT_EQ(std::count(std::begin(keys), std::end(keys), true), 1);
    EXPECT_TRUE(fakeplat::state().defaultHandled.empty()) << "key messages are not passed on";
}

TEST_F(InitTest, SystemKeysAndOtherMessagesGoToTheDefaultProcedure)
{
    send(WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29);
    send(WM_SYSKEYDOWN, VK_ESCAPE, LPARAM(1) << 29);
    EXPECT_FALSE(keys[VK_F4] || keys[VK_ESCAPE]);
    send(0x0400, 1, 2);
    // The screen saver and monitor power-off are swallowed; the comparison is on the whole wParam.
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    send(WM_SYSCOMMAND, SC_SCREENSAVE | 1);
    send(WM_SYSCOMMAND, SC_CLOSE);

    const std::vector<MSG>& passed = fakeplat::state().defaultHandled;
    ASSERT_EQ(passed.size(), 5u);
    EXPECT_EQ(passed[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(passed[0].wParam, VK_F4);
    EXPECT_EQ(passed[2].message, 0x0400u);
    EXPECT_EQ(passed[3].wParam, SC_SCREENSAVE | 1);
    EXPECT_EQ(passed[4].wParam, SC_CLOSE);
}

TEST_F(InitTest, CloseAsksToQuitWithoutDestroyingTheWindow)
{
    ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, false), 1);
    fakeplat::state().log.clear();
    EXPECT_EQ(send(WM_CLOSE, 0), 0);
    EXPECT_EQ(fakeplat::state().log, Log{"PostQuitMessage"});
    EXPECT_TRUE(fakeplat::state().quitPosted);
    EXPECT_EQ(fakeplat::state().quitCode, 0);
    EXPECT_NE(fakeplat::window(), nullptr);
}

TEST_F(InitTest, SizeMessagesResetTheProjectionWithoutDividingByZero)
{
    const struct {
        int width, height;
        double viewportHeight, aspect;
    } cases[] = {
        {800, 600, 600, 800.0 / 600.0},
        {640, 0, 1, 640.0},  // dragged to no client height
        {0, 0, 1, 0.0},      // minimised
        {1024, 768, 768, 1024.0 / 768.0},
    };
    for (const auto& c : cases) {
        glrec::reset();
        send(WM_SIZE, SIZE_RESTORED, LPARAM(MAKELONG(uint16_t(c.width), uint16_t(c.height))));
        ASSERT_EQ(glrec::count("glViewport"), 1u);
        EXPECT_EQ(glrec::named("glViewport")[0].args, (V{0, 0, double(c.width), c.viewportHeight}));
        EXPECT_EQ(glrec::named("gluPerspective")[0].args[1], c.aspect);
        EXPECT_EQ(glrec::calls().back().name, "glLoadIdentity");
        EXPECT_EQ(glrec::named("glMatrixMode").back().args[0], GL_MODELVIEW);
    }
}

}  // namespace
