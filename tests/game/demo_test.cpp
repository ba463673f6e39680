#include "game/demo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/clock.h"
#include "game/textures.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_music.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/init.h"

using namespace zkl;

using namespace plat;
using Log = std::vector<std::string>;

namespace {

class DemoTest : public ::testing::Test {
protected:
    // An empty folder: every texture file is missing and says so in a box.
    void SetUp() override
    {
        std::filesystem::current_path(dir_.path());
        fakeplat::reset();
        fakemusic::reset();
        glrec::reset();
        std::fill(std::begin(keys), std::end(keys), false);
        active = fullscreen = true;
        demo::mod = nullptr;
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    // Runs WinMain with `react(name)` called after each logged call.
    static int run(std::function<void(const std::string&)> react)
    {
        fakeplat::state().onCall = std::move(react);
        return demo::WinMain(nullptr, nullptr, nullptr, 0);
    }

    const std::filesystem::path previous_ = std::filesystem::current_path();
    const testutil::ScratchDir dir_;
};

// The music is loaded before the question and starts only once the window and the textures are
// up, so loading never shifts the picture against it; it goes before the window on the way out.
// Each texture loads its own file, keyed; a missing one is reported and the others still load.
// Asked for, the frame rate is printed on the way out.
TEST_F(DemoTest, StartsUpInOrderAndShutsDownMusicBeforeTheWindow)
{
    const std::pair<cTexture*, const char*> set[] = {{&demo::Grass, "grass.bmp"}, {&demo::Morvask, "morvask.bmp"},
        {&demo::Stor, "stor.bmp"}, {&demo::Liten, "liten.bmp"}, {&demo::Lampa, "lampa.bmp"},
        {&demo::Kossa, "kossa.bmp"}, {&demo::Hal, "hal.bmp"}};
    for (unsigned char i = 0; i < 7; ++i) {
        if (i != 2)  // stor.bmp is missing
            dir_.bmp(set[i].second, 1, 1, {i, 9, 9});
        set[i].first->keyAlpha = 0;
    }
    static char on[] = "VAVARIZO_FPS=1", off[] = "VAVARIZO_FPS=";  // putenv keeps them
    putenv(on);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(run([](const std::string& name) {
                  if (name == "SwapBuffers")
                      fakeplat::post(WM_CLOSE);
              }), 0);
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("vavarizo: 1 frames in "), std::string::npos);
    putenv(off);
    const Log order = fakeplat::logOf({"music:", "box:", "RegisterClass", "SwapBuffers", "wglMakeCurrent(none)"});
    EXPECT_EQ(order, (Log{"music:SoundInit", "music:MusicLoadSong", "box:Fullscreen?", "RegisterClass",
                          "box:Could Not Load Texture.", "music:MusicPlaySong", "music:MusicSetMasterVolume",
                          "music:MusicGetTime", "SwapBuffers", "music:MusicFreeSong", "music:SoundClose",
                          "wglMakeCurrent(none)"}));
    EXPECT_EQ(fake::boxes()[0].style, 0x24u) << "a question with Yes and No";
    EXPECT_EQ(fake::boxes().at(1).caption, "stor.bmp");
    for (unsigned char i = 0; i < 7; ++i) {
        const cTexture& t = *set[i].first;
        EXPECT_TRUE(i == 2 ? !t.image : t.keyAlpha == 1 && t.image->pixels[0] == i) << set[i].second;
    }
    EXPECT_EQ(fakeplat::state().created->style, 0x86000000u) << "yes means fullscreen";
}

TEST_F(DemoTest, WindowThatCannotBeMadeEndsWithAFailureCodeAndReleasesTheMusic)
{
    fakeplat::state().failing = {"CreateWindowEx"};
    EXPECT_EQ(run([](const std::string&) {}), 1);
    EXPECT_EQ(fakeplat::logOf({"music:"}).back(), "music:SoundClose");
}

// Minimised, the show waits instead of spinning, draws nothing and ignores Escape; restored with
// Escape held it ends without a frame, exiting with the last wParam. A close ends it minimised too.
TEST_F(DemoTest, MinimisedShowWaitsIgnoresEscapeAndStillCloses)
{
    for (const bool restore : {true, false}) {
        SetUp();
        int waits = 0;
        const int code = run([&](const std::string& name) {
            if (name == "SwapBuffers") {
                fakeplat::post(WM_ACTIVATE, MAKELONG(WA_INACTIVE, 1));
                fakeplat::post(WM_KEYDOWN, VK_ESCAPE);
            } else if (name == "WaitMessageTimeout" && ++waits == 3) {
                fakeplat::post(restore ? WM_ACTIVATE : WM_CLOSE, MAKELONG(WA_ACTIVE, 0));
            }
        });
        EXPECT_EQ(waits, 3);
        EXPECT_EQ(fakeplat::logOf({"SwapBuffers"}).size(), 1u);
        EXPECT_EQ(code, restore ? int(MAKELONG(WA_ACTIVE, 0)) : 0);
    }
}

}  // namespace
