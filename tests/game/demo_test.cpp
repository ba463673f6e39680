#include "game/demo.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "game/clock.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_music.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/init.h"

using namespace plat;
using Log = std::vector<std::string>;

namespace {

constexpr const char* kFeel = "FEEL n\xE4r Fmod skulle startas";

class DemoTest : public ::testing::Test {
protected:
    // An empty folder: every texture file is missing and says so in a box.
    void SetUp() override
    {
        std::filesystem::current_path(dir_.path());
        resetState();
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    static void resetState()
    {
        fakeplat::reset();
        fakemusic::reset();
        fakemusic::setCallObserver([](const char* call) { fakeplat::note(std::string("music:") + call); });
        glrec::reset();
        std::fill(std::begin(keys), std::end(keys), false);
        active = true;
        fullscreen = true;
        demo::mod = nullptr;
    }

    // Runs `react` at each call of that name (1 for the first), then WinMain.
    int run(const std::string& call, std::function<void(int)> react)
    {
        int seen = 0;
        fakeplat::state().onCall = [=, &seen](const std::string& name) {
            if (name == call)
                react(++seen);
        };
        return demo::WinMain(nullptr, nullptr, nullptr, 0);
    }

    // Closes the window at the first frame.
    int runOneFrame()
    {
        return run("SwapBuffers", [](int n) {
            if (n == 1)
                fakeplat::post(WM_CLOSE);
        });
    }

    static long count(const std::string& entry)
    {
        const Log& log = fakeplat::state().log;
        return std::count(log.begin(), log.end(), entry);
    }

    static long indexOf(const std::string& entry)
    {
        const Log& log = fakeplat::state().log;
        return std::find(log.begin(), log.end(), entry) - log.begin();
    }

    const std::filesystem::path previous_ = std::filesystem::current_path();
    const testutil::ScratchDir dir_;
};

TEST_F(DemoTest, StartsUpInOrderAndShutsDownMusicBeforeTheWindow)
{
    EXPECT_EQ(runOneFrame(), 0);

    const Log order = fakeplat::logOf({"music:", "box:Fullscreen?", "RegisterClass", "SetFocus", "SwapBuffers",
                                       "wglMakeCurrent(none)", "UnregisterClass"});
    EXPECT_EQ(order, (Log{"music:SoundInit", "music:MusicLoadSong", "box:Fullscreen?", "RegisterClass", "SetFocus",
                          "music:MusicPlaySong", "music:MusicSetMasterVolume", "music:MusicGetTime", "SwapBuffers",
                          "music:MusicFreeSong", "music:SoundClose", "wglMakeCurrent(none)", "UnregisterClass"}));

    const fake::Box& question = fake::boxes()[0];
    EXPECT_EQ(question.caption, "QECS (Quendrill Elite Config System)");
    EXPECT_EQ(question.style, 0x24u);
    EXPECT_EQ(question.owner, nullptr);
    EXPECT_EQ(fakeplat::state().created->title, "Vavarizo32 complete remake!");
    EXPECT_TRUE(fakeplat::state().mode.has_value()) << "yes means fullscreen";
    EXPECT_EQ(fakeplat::state().created->style, 0x86000000u);

    // The module handed to every later call is the one that was loaded.
    const fakemusic::State& music = fakemusic::state();
    for (size_t i = 0; i < music.calls.size(); ++i) {
        const std::string& name = music.calls[i];
        if (name != "SoundInit" && name != "MusicLoadSong" && name != "SoundClose") {
            EXPECT_EQ(music.modules[i], fakemusic::loadedModule()) << name;
        }
    }
}

TEST_F(DemoTest, SkyIsSetAfterTheWindowAndTexturesLoadBeforeTheMusicStarts)
{
    runOneFrame();
    // The seven texture files are missing: each says so (the scene test checks which and in what
    // order), after the window is up and before the music starts.
    EXPECT_EQ(count("box:Could Not Load Texture."), 7);
    EXPECT_LT(indexOf("SetFocus"), indexOf("box:Could Not Load Texture."));
    const Log& log = fakeplat::state().log;
    const long lastTexture = log.rend() - std::find(log.rbegin(), log.rend(), "box:Could Not Load Texture.") - 1;
    EXPECT_LT(lastTexture, indexOf("music:MusicPlaySong"));

    const std::vector<GlCall> clears = glrec::named("glClearColor");
    ASSERT_EQ(clears.size(), 2u);
    EXPECT_EQ(clears[1].args, (std::vector<double>{0.0, 0.0, 1.0, 0.0}));
}

TEST_F(DemoTest, NoToTheQuestionOpensAWindow)
{
    fake::answerNext(IDNO);
    runOneFrame();
    EXPECT_FALSE(fullscreen);
    EXPECT_FALSE(fakeplat::state().mode.has_value());
    EXPECT_EQ(fakeplat::state().created->style, 0x06CF0000u);
}

TEST_F(DemoTest, MusicFailuresAreReportedAndStartUpCarriesOn)
{
    fakemusic::state().initSucceeds = false;
    fakemusic::state().loadSucceeds = false;
    EXPECT_EQ(runOneFrame(), 0);

    ASSERT_GE(fake::boxes().size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(fake::boxes()[i].text, i == 0 ? kFeel : "morvaskfel!");
        EXPECT_EQ(fake::boxes()[i].caption, "FmodFel! QZ :)");
        EXPECT_EQ(fake::boxes()[i].style, 0u);
    }
    EXPECT_EQ(fake::boxes()[2].text, "Fullscreen?");

    // Every later call is still made, with the null module.
    EXPECT_EQ(fakemusic::state().calls, (std::vector<std::string>{"SoundInit", "MusicLoadSong", "MusicPlaySong",
                                                                  "MusicSetMasterVolume", "MusicGetTime",
                                                                  "MusicFreeSong", "SoundClose"}));
    for (size_t i = 2; i < 6; ++i)
        EXPECT_EQ(fakemusic::state().modules[i], nullptr);
    EXPECT_EQ(count("SwapBuffers"), 1);
}

TEST_F(DemoTest, WindowThatCannotBeMadeEndsWithAFailureCodeAndReleasesTheMusic)
{
    const struct {
        const char* failing;
        int answer;  // to the fallback question, when there is one
        const char* lastBox;
    } cases[] = {
        {"CreateWindowEx", IDYES, "Window Creation Error."},
        {"wglMakeCurrent", IDYES, "Can't Activate The GL Rendering Context."},
        {"RegisterClass", IDYES, "Failed To Register The Window Class."},
        {"ChangeDisplaySettings", IDNO, "Program Will Now Close."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        resetState();
        fakeplat::state().failing = {c.failing};
        fake::answerNext(IDYES);  // fullscreen
        fake::answerNext(c.answer);

        EXPECT_NE(demo::WinMain(nullptr, nullptr, nullptr, 0), 0);

        EXPECT_EQ(fake::boxes().back().text, c.lastBox);
        EXPECT_EQ(count("box:Could Not Load Texture."), 0) << "no texture is loaded";
        EXPECT_EQ(glrec::count("glClearColor"), 0u) << "no sky without a window";
        EXPECT_EQ(fakeplat::logOf({"music:"}), (Log{"music:SoundInit", "music:MusicLoadSong", "music:MusicFreeSong",
                                                    "music:SoundClose"}));
        EXPECT_GT(indexOf("music:MusicFreeSong"), indexOf(std::string("box:") + c.lastBox));
        EXPECT_EQ(fakemusic::state().modules[2], fakemusic::loadedModule());
    }
}

TEST_F(DemoTest, PendingMessagesAreHandledOneAPassBeforeAFrame)
{
    fakeplat::post(WM_KEYDOWN, 'A');
    fakeplat::post(WM_SIZE, SIZE_RESTORED, LPARAM(MAKELONG(640, 480)));
    fakeplat::post(WM_KEYUP, 'A');
    long dispatchedAtFirstFrame = -1;
    run("SwapBuffers", [&](int n) {
        if (n == 1) {
            dispatchedAtFirstFrame = fakeplat::state().dispatched;
            EXPECT_TRUE(fakeplat::state().queue.empty());
            // Messages that arrive while a frame is shown go before the next frame.
            fakeplat::post(WM_KEYDOWN, 'B');
            fakeplat::post(WM_KEYUP, 'B');
        } else if (n == 2) {
            EXPECT_EQ(fakeplat::state().dispatched, 5);
            fakeplat::post(WM_CLOSE);
        }
    });
    // Messages queued before the loop are pending with the question's answer: all three first.
    EXPECT_EQ(dispatchedAtFirstFrame, 3);
    EXPECT_EQ(count("SwapBuffers"), 2);
    // Each pass takes one message: three dispatches, one frame, two, one frame, close, quit.
    EXPECT_EQ(fakeplat::state().peeks, 3 + 1 + 2 + 1 + 2);
}

TEST_F(DemoTest, EscapeEndsOnTheNextIdlePassWithTheLastMessagesCode)
{
    // With messages still queued the Escape waits for them; the exit code is the last message's wParam.
    for (const bool sizeAfter : {false, true}) {
        resetState();
        const int code = run("SwapBuffers", [=](int n) {
            if (n != 1)
                return;
            fakeplat::post(WM_KEYDOWN, VK_ESCAPE);
            if (sizeAfter)
                fakeplat::post(WM_SIZE, SIZE_RESTORED, LPARAM(MAKELONG(800, 600)));
        });
        EXPECT_EQ(count("SwapBuffers"), 1) << "no frame after the key press";
        EXPECT_EQ(code, sizeAfter ? int(SIZE_RESTORED) : int(VK_ESCAPE));
    }
    EXPECT_EQ(glrec::named("glViewport").back().args, (std::vector<double>{0, 0, 800, 600}));
}

TEST_F(DemoTest, MinimisedShowIgnoresEscapeDrawsNothingAndWaitsInsteadOfSpinning)
{
    int frames = 0;
    int framesWhileMinimised = 0;
    int waits = 0;
    bool minimised = false;
    fakeplat::state().onCall = [&](const std::string& name) {
        if (name == "SwapBuffers") {
            framesWhileMinimised += minimised ? 1 : 0;
            if (++frames == 1) {
                fakeplat::post(WM_ACTIVATE, MAKELONG(WA_INACTIVE, 1));
                fakeplat::post(WM_SIZE, SIZE_MINIMIZED, 0);
                fakeplat::post(WM_KEYDOWN, VK_ESCAPE);
                minimised = true;
            }
        } else if (name == "WaitMessageTimeout" && ++waits == 3) {
            fakeplat::post(WM_ACTIVATE, MAKELONG(WA_ACTIVE, 0));
            minimised = false;
        }
    };
    const int code = demo::WinMain(nullptr, nullptr, nullptr, 0);

    EXPECT_EQ(waits, 3);
    EXPECT_EQ(framesWhileMinimised, 0);
    // Restored with Escape still held: the next idle pass ends the show without another frame.
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(code, int(MAKELONG(WA_ACTIVE, 0)));
}

TEST_F(DemoTest, CloseEndsTheShowEvenWhileMinimised)
{
    int waits = 0;
    fakeplat::state().onCall = [&](const std::string& name) {
        if (name == "SwapBuffers")
            fakeplat::post(WM_ACTIVATE, MAKELONG(WA_INACTIVE, 1));
        else if (name == "WaitMessageTimeout" && ++waits == 2)
            fakeplat::post(WM_CLOSE);
    };
    EXPECT_EQ(demo::WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(count("SwapBuffers"), 1);
    EXPECT_EQ(count("UnregisterClass"), 1);
}

// Sets (or with nullptr removes) an environment variable; Windows has no setenv.
void setEnvironment(const char* name, const char* value)
{
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    value ? setenv(name, value, 1) : unsetenv(name);
#endif
}

TEST_F(DemoTest, FrameRateIsPrintedOnExitOnlyWhenAskedFor)
{
    for (const char* setting : {"1", "0"}) {
        SCOPED_TRACE(setting);
        resetState();
        setEnvironment("VAVARIZO_FPS", setting);
        int frames = 0;
        fakeplat::state().onCall = [&](const std::string& name) {
            if (name == "SwapBuffers" && ++frames == 3)
                PostQuitMessage(0);
        };
        ::testing::internal::CaptureStdout();
        demo::RunLoop();
        const std::string out = ::testing::internal::GetCapturedStdout();
        setEnvironment("VAVARIZO_FPS", nullptr);
        if (setting[0] == '1')
            EXPECT_EQ(out.rfind("vavarizo: 3 frames in ", 0), 0u) << out;
        else
            EXPECT_EQ(out, "");
    }
}

}  // namespace
