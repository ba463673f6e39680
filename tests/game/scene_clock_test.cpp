#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "game/clock.h"
#include "tests/support/fake_music.h"

namespace {

// tid is the layer's reading of the loaded module, exact for every int32 (a float would round
// 68 s and more), and holds still between samples whatever the music does meanwhile.
TEST(SceneClock, SamplesTheModuleOncePerFrameExactly)
{
    const struct {
        const void* module;
        int32_t reported;
    } frames[] = {
        {fakemusic::loadedModule(), 0},
        {fakemusic::loadedModule(), 68001},
        {fakemusic::loadedModule(), 16777217},
        {fakemusic::loadedModule(), std::numeric_limits<int32_t>::max()},
        {nullptr, 1234},  // a module that failed to load is still asked
        {nullptr, -5},    // whatever the layer says becomes tid, unchecked
    };
    for (const auto& f : frames) {
        fakemusic::reset();
        demo::mod = static_cast<MusicModule*>(const_cast<void*>(f.module));
        fakemusic::state().timeMs = f.reported;

        demo::updatetime();
        fakemusic::state().timeMs = f.reported ^ 0x155;  // the music moves on during the frame

        ASSERT_EQ(fakemusic::state().calls, std::vector<std::string>{"MusicGetTime"});
        EXPECT_EQ(fakemusic::state().modules.at(0), f.module);
        EXPECT_EQ(demo::tid, static_cast<double>(f.reported));
        EXPECT_EQ(demo::time(1.0), demo::tid);
        EXPECT_EQ(demo::time(100.0), static_cast<double>(f.reported) / 100.0);
        EXPECT_EQ(demo::time(20.0), static_cast<double>(f.reported) / 20.0);
    }
    demo::mod = nullptr;
}

}  // namespace
