#include "zkl/init.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_recorder.h"

using namespace plat;
using Log = std::vector<std::string>;

namespace {

class InitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeplat::reset();
        glrec::reset();
        std::fill(std::begin(keys), std::end(keys), false);
        active = true;
        fullscreen = true;
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

const Log kCreationSteps = {"GetModuleHandle", "LoadIcon",         "LoadCursor",     "RegisterClass",
                            "AdjustWindowRectEx", "CreateWindowEx", "GetDC",         "ChoosePixelFormat",
                            "SetPixelFormat",  "wglCreateContext", "wglMakeCurrent", "ShowWindow",
                            "SetForegroundWindow", "SetFocus"};

TEST_F(InitTest, WindowedWindowIsBuiltStepByStepWithTheRequestedFormat)
{
    ASSERT_EQ(CreateGLWindow("Vavarizo32 complete remake!", 800, 600, 16, false), 1);
    EXPECT_EQ(fakeplat::state().log, kCreationSteps);
    EXPECT_TRUE(fake::boxes().empty());

    const WNDCLASS& wc = *fakeplat::state().windowClass;
    EXPECT_EQ(wc.style, 0x23u);
    EXPECT_EQ(wc.lpfnWndProc, &windowProc);
    EXPECT_EQ(std::string(wc.lpszClassName), "OpenGL");
    EXPECT_NE(wc.hIcon, nullptr);
    EXPECT_NE(wc.hCursor, nullptr);
    EXPECT_EQ(wc.hbrBackground, nullptr);

    // The window's outer size is the adjusted rectangle, so the client area is 800 x 600.
    const fakeplat::Created& created = *fakeplat::state().created;
    EXPECT_EQ(created.exStyle, 0x00040100u);
    EXPECT_EQ(created.style, 0x06CF0000u);
    EXPECT_EQ(created.title, "Vavarizo32 complete remake!");
    EXPECT_EQ(created.className, "OpenGL");
    EXPECT_EQ(created.x, 0);
    EXPECT_EQ(created.y, 0);
    EXPECT_EQ(created.width, 816);
    EXPECT_EQ(created.height, 616);

    const PIXELFORMATDESCRIPTOR& pfd = *fakeplat::state().pixelFormat;
    EXPECT_EQ(pfd.nSize, 40);
    EXPECT_EQ(pfd.nVersion, 1);
    EXPECT_EQ(pfd.dwFlags, 0x25u);
    EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(pfd.cColorBits, 16);
    EXPECT_EQ(pfd.cDepthBits, 16);
    EXPECT_EQ(pfd.cStencilBits, 0);
    EXPECT_EQ(pfd.cAlphaBits, 0);

    EXPECT_FALSE(fakeplat::state().mode.has_value());
    EXPECT_EQ(fakeplat::state().cursorCount, 0);
    EXPECT_EQ(hWnd, fakeplat::window());
    EXPECT_EQ(hDC, fakeplat::dc());
    EXPECT_EQ(hRC, fakeplat::context());
    EXPECT_EQ(fake::boxes().size(), 0u);
}

TEST_F(InitTest, ProjectionAndGlStateAreSetAfterTheContextIsCurrent)
{
    ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, false), 1);
    const std::vector<GlCall>& calls = glrec::calls();
    const std::vector<std::string> names = [&] {
        std::vector<std::string> n;
        for (const GlCall& c : calls)
            n.push_back(c.name);
        return n;
    }();
    EXPECT_EQ(names, (std::vector<std::string>{"glViewport", "glMatrixMode", "glLoadIdentity", "gluPerspective",
                                               "glMatrixMode", "glLoadIdentity", "glEnable", "glShadeModel",
                                               "glClearColor", "glClearDepth", "glEnable", "glDepthFunc", "glHint"}))
        << glrec::dump();
    EXPECT_EQ(calls[0].args, (std::vector<double>{0, 0, 800, 600}));
    EXPECT_EQ(calls[1].args[0], GL_PROJECTION);
    EXPECT_EQ(calls[3].args, (std::vector<double>{45.0, 1.3333333333333333, 0.009999999776482582, 300.1000061035156}));
    EXPECT_EQ(calls[4].args[0], GL_MODELVIEW);
    EXPECT_EQ(calls[6].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(calls[7].args[0], GL_SMOOTH);
    EXPECT_EQ(calls[8].args, (std::vector<double>{0.0, 0.0, 0.0, 0.5}));
    EXPECT_EQ(calls[9].args[0], 1.0);
    EXPECT_EQ(calls[10].args[0], GL_DEPTH_TEST);
    EXPECT_EQ(calls[11].args[0], GL_LEQUAL);
    EXPECT_EQ(calls[12].args, (std::vector<double>{GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}));
}

TEST_F(InitTest, FullscreenAsksForTheModeAndHidesTheCursorUntilTeardown)
{
    ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, true), 1);
    EXPECT_TRUE(fullscreen);
    const DEVMODE& mode = *fakeplat::state().mode;
    EXPECT_EQ(mode.dmPelsWidth, 800u);
    EXPECT_EQ(mode.dmPelsHeight, 600u);
    EXPECT_EQ(mode.dmBitsPerPel, 16u);
    EXPECT_EQ(mode.dmFields, 0x001C0000u);
    EXPECT_EQ(mode.dmDisplayFrequency, 0u);
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

struct CreationFailure {
    const char* step;
    const char* message;
    Log teardown;  // what KillGLWindow releases before the message (windowed)
};

const CreationFailure kCreationFailures[] = {
    {"CreateWindowEx", "Window Creation Error.", {"UnregisterClass"}},
    {"GetDC", "Can't Create A GL Device Context.", {"DestroyWindow", "UnregisterClass"}},
    {"ChoosePixelFormat", "Can't Find A Suitable PixelFormat.", {"ReleaseDC", "DestroyWindow", "UnregisterClass"}},
    {"SetPixelFormat", "Can't Set The PixelFormat.", {"ReleaseDC", "DestroyWindow", "UnregisterClass"}},
    {"wglCreateContext", "Can't Create A GL Rendering Context.", {"ReleaseDC", "DestroyWindow", "UnregisterClass"}},
    {"wglMakeCurrent",
     "Can't Activate The GL Rendering Context.",
     {"wglMakeCurrent(none)", "wglDeleteContext", "ReleaseDC", "DestroyWindow", "UnregisterClass"}},
};

TEST_F(InitTest, EachFailingStepTearsDownWhatWasBuiltThenShowsItsMessage)
{
    for (const bool full : {false, true}) {
        for (const CreationFailure& f : kCreationFailures) {
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
            EXPECT_EQ(fake::boxes()[0].caption, "ERROR");
            EXPECT_EQ(fake::boxes()[0].style, 0x30u);
            EXPECT_EQ(fake::boxes()[0].owner, nullptr);
            EXPECT_EQ(fakeplat::state().cursorCount, 0);
            EXPECT_EQ(glrec::calls().size(), 0u) << "no GL call without a current context";
            EXPECT_EQ(fakeplat::window(), nullptr);
            EXPECT_EQ(fakeplat::context(), nullptr);
        }
    }
}

TEST_F(InitTest, ClassThatCannotBeRegisteredEndsWithoutTeardown)
{
    fakeplat::state().failing = {"RegisterClass"};
    EXPECT_EQ(CreateGLWindow("t", 800, 600, 16, true), 0);
    EXPECT_EQ(logFrom("RegisterClass"), (Log{"RegisterClass", "box:Failed To Register The Window Class."}));
    ASSERT_EQ(fake::boxes().size(), 1u);
    EXPECT_EQ(fake::boxes()[0].caption, "ERROR");
    EXPECT_EQ(fake::boxes()[0].style, 0x30u);
}

TEST_F(InitTest, RefusedFullscreenModeAsksForAWindow)
{
    fakeplat::state().failing = {"ChangeDisplaySettings"};
    fake::answerNext(IDYES);
    ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, true), 1);

    ASSERT_EQ(fake::boxes().size(), 1u);
    EXPECT_EQ(fake::boxes()[0].text,
              "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?");
    EXPECT_EQ(fake::boxes()[0].caption, "Vexo GL");
    EXPECT_EQ(fake::boxes()[0].style, 0x34u);
    EXPECT_FALSE(fullscreen);
    EXPECT_EQ(fakeplat::state().created->style, 0x06CF0000u);
    EXPECT_EQ(fakeplat::state().cursorCount, 0);

    // Windowed now: the teardown leaves the display mode and the cursor alone.
    KillGLWindow();
    EXPECT_TRUE(fakeplat::logOf({"ChangeDisplaySettings(restore)", "ShowCursor"}).empty());
}

TEST_F(InitTest, RefusingTheWindowedFallbackClosesWithTheDisplayUnchanged)
{
    fakeplat::state().failing = {"ChangeDisplaySettings"};
    fake::answerNext(IDNO);
    EXPECT_EQ(CreateGLWindow("t", 800, 600, 16, true), 0);
    EXPECT_EQ(logFrom("ChangeDisplaySettings"),
              (Log{"ChangeDisplaySettings",
                   "box:The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
                   "box:Program Will Now Close."}));
    EXPECT_EQ(fake::boxes()[1].caption, "ERROR");
    EXPECT_EQ(fake::boxes()[1].style, 0x10u);
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
        EXPECT_EQ(fake::boxes()[0].caption, "SHUTDOWN ERROR");
        EXPECT_EQ(fake::boxes()[0].style, 0x40u);
        EXPECT_EQ(hRC, nullptr);
    }
}

LRESULT send(UINT message, WPARAM wParam, LPARAM lParam = 0)
{
    return windowProc(fakeplat::window(), message, wParam, lParam);
}

TEST_F(InitTest, ActiveFollowsTheMinimisedStateNotTheFocus)
{
    const struct {
        WPARAM wParam;
        bool active;
    } cases[] = {
        {MAKELONG(WA_INACTIVE, 1), false},  // minimised
        {MAKELONG(WA_ACTIVE, 0), true},     // restored
        {MAKELONG(WA_INACTIVE, 0), true},   // another window in front, still visible
        {MAKELONG(WA_ACTIVE, 1), false},
        {MAKELONG(2, 0), true},             // activated by a click
    };
    for (const auto& c : cases) {
        EXPECT_EQ(send(WM_ACTIVATE, c.wParam), 0);
        EXPECT_EQ(active, c.active) << std::hex << c.wParam;
    }
    EXPECT_TRUE(fakeplat::state().defaultHandled.empty());
}

TEST_F(InitTest, KeyTableFollowsKeyMessagesAndStaysInsideItsEntries)
{
    send(WM_KEYDOWN, VK_ESCAPE);
    send(WM_KEYDOWN, VK_ESCAPE);  // auto-repeat
    EXPECT_TRUE(keys[27]);
    send(WM_KEYDOWN, 255);
    EXPECT_TRUE(keys[255]);
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
    EXPECT_FALSE(keys[VK_F4]);
    send(WM_SYSKEYDOWN, VK_ESCAPE, LPARAM(1) << 29);
    EXPECT_FALSE(keys[VK_ESCAPE]);
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
        EXPECT_EQ(glrec::named("glViewport")[0].args, (std::vector<double>{0, 0, double(c.width), c.viewportHeight}));
        EXPECT_EQ(glrec::named("gluPerspective")[0].args[1], c.aspect);
        EXPECT_EQ(glrec::calls().back().name, "glLoadIdentity");
        EXPECT_EQ(glrec::named("glMatrixMode").back().args[0], GL_MODELVIEW);
    }
}

}  // namespace
