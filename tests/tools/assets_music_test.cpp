// The XM writer's refusals; the composed song in two players, cue for cue with the show.
#include <gtest/gtest.h>

#include "game/timeline.h"
#include "tests/support/scratch_dir.h"
#include "tools/assets/instruments.h"
#include "tools/assets/song.h"
#include "tools/assets/xm_writer.h"

#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace {

// Each case breaks a rule that one of the two players enforces (or misreads without a word);
// the writer must say so and write nothing.
TEST(XmWriter, RefusesWhatThePlayersCannotRead)
{
    const struct { const char* what; void (*breakIt)(xm::Module&); } cases[] = {
        {"pattern of 257 rows", [](xm::Module& m) {
             m.patterns[0].rows = 257;
             m.patterns[0].cells.resize(size_t(257 * m.channels));
         }},
        {"loop past the data", [](xm::Module& m) {
             xm::Sample& s = m.instruments[0].samples[0];
             s.loop = xm::Loop::Forward, s.loopStart = 1, s.loopLength = uint32_t(s.frames.size());
         }},
        {"order names a missing pattern", [](xm::Module& m) { m.order.push_back(uint8_t(m.patterns.size())); }},
        {"restart outside the order list", [](xm::Module& m) { m.restart = int(m.order.size()); }},
        {"F00", [](xm::Module& m) { xm::Cell& c = m.patterns[0].cells[1]; c.effect = 0x0F, c.param = 0; }},
    };
    const testutil::ScratchDir scratch;
    const std::string path = (scratch.path() / "refused.xm").string();
    std::string error;
    for (const auto& c : cases) {
        xm::Module m = music::composeSong();
        c.breakIt(m);
        EXPECT_TRUE(xm::encode(m, error).empty()) << c.what;
        EXPECT_FALSE(xm::write(m, path, error)) << c.what;
        EXPECT_FALSE(std::filesystem::exists(path)) << c.what;
    }
    EXPECT_FALSE(xm::write(music::composeSong(), (scratch.path() / "missing" / "x.xm").string(), error));
}

// Every visible change of the show has a cue on its row (a stab, crash or the cow's low), and no
// row carries one where nothing changes; the strongest moments carry a crash and a kick too.
TEST(Song, CuesFallOnTheShowsChangesAndNowhereElse)
{
    namespace tl = demo::timeline;
    const xm::Module m = music::composeSong();
    std::map<int, std::set<uint8_t>> started;  // ms -> instruments started on that row
    int row = 0;
    for (const uint8_t o : m.order)
        for (int r = 0; r < m.patterns[o].rows; ++r, ++row)
            for (int ch = 0; ch < m.channels; ++ch)
                started[row * music::kRowMs].insert(m.patterns[o].cells[static_cast<size_t>(r * m.channels + ch)].instrument);
    std::set<int> cues, expected;
    for (const auto& [ms, ins] : started)
        if (ins.count(music::Stab) || ins.count(music::Crash) || ins.count(music::Moo))
            cues.insert(ms);
    const std::vector<double> changes = tl::VisibleChanges();
    ASSERT_EQ(changes.size(), 42u);
    for (const double t : changes)
        expected.insert(static_cast<int>(t) / music::kRowMs * music::kRowMs);
    EXPECT_EQ(cues, expected);
    const double finalFrame = *std::find_if(changes.begin(), changes.end(), [](double t) { return t > tl::finalFrameFrom; });
    for (const double t : {tl::lampLit.from, tl::lampLit.to, tl::cowFrom, tl::knockAwayFrom, tl::loop.from,
                           tl::loop.to, finalFrame})
        EXPECT_TRUE(started[static_cast<int>(t)].count(music::Crash) && started[static_cast<int>(t)].count(music::Kick)) << t;
    EXPECT_TRUE(started[static_cast<int>(tl::cowInViewAt) / music::kRowMs * music::kRowMs].count(music::Moo));
}

// Both players play the same module for the same time, at least 72 s, and loop it; rendered
// it never clips, has width that survives a mono fold-down, and no gap before the loop.
TEST(Song, BothPlayersAgreeAndItLoopsWideWithoutAGap)
{
    constexpr int kRate = 48000, kWindow = kRate / 20;  // 50 ms
    std::string error;
    const std::vector<uint8_t> song = xm::encode(music::composeSong(), error);
    std::unique_ptr<openmpt_module, void (*)(openmpt_module*)> mod(openmpt_module_create_from_memory2(song.data(),
        song.size(), &openmpt_log_func_silent, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), &openmpt_module_destroy);
    ASSERT_NE(mod, nullptr);
    const double seconds = openmpt_module_get_duration_seconds(mod.get());
    EXPECT_GE(seconds, 72.0);
    openmpt_module_set_repeat_count(mod.get(), -1);
    const size_t loopAt = static_cast<size_t>(std::lround(seconds * kRate));
    std::vector<float> lr(2 * (loopAt + kRate));
    ASSERT_EQ(openmpt_module_read_interleaved_float_stereo(mod.get(), kRate, lr.size() / 2, lr.data()), lr.size() / 2)
        << "plays on past its end";
    double side = 0, mid = 0;
    float peak = 0;
    for (size_t w = 0; w + kWindow <= lr.size() / 2; w += kWindow) {
        double wm = 0, ws = 0, wlr = 0;
        for (size_t i = 2 * w; i < 2 * (w + kWindow); i += 2) {
            wm += (lr[i] + lr[i + 1]) * (lr[i] + lr[i + 1]) / 4.0, ws += (lr[i] - lr[i + 1]) * (lr[i] - lr[i + 1]) / 4.0;
            wlr += (lr[i] * lr[i] + lr[i + 1] * lr[i + 1]) / 2.0;
            peak = std::max({peak, std::fabs(lr[i]), std::fabs(lr[i + 1])});
        }
        side += ws, mid += wm;
        EXPECT_GE(wm, 0.5 * wlr) << "cancels in mono at " << w / kRate << " s";
        const bool nearLoop = w + 2 * kRate >= loopAt && w < loopAt + kRate / 10;
        EXPECT_TRUE(!nearLoop || wlr / kWindow > 1e-5) << "near silence at " << static_cast<double>(w) / kRate << " s";
    }
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(side / mid, 0.01) << "no stereo width";

    const xmp_context ctx = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(ctx, song.data(), static_cast<long>(song.size())), 0);
    EXPECT_EQ(xmp_start_player(ctx, kRate, 0), 0);
    xmp_frame_info fi{};
    size_t xmpFrames = 0;
    while (xmp_play_frame(ctx) == 0 && (xmp_get_frame_info(ctx, &fi), fi.loop_count == 0))
        xmpFrames += static_cast<size_t>(fi.buffer_size / 4);
    EXPECT_EQ(fi.loop_count, 1) << "libxmp loops it";
    xmp_end_player(ctx);
    xmp_free_context(ctx);  // releases the module too
    EXPECT_NEAR(static_cast<double>(xmpFrames) / kRate, seconds, 0.005);
}

}  // namespace
