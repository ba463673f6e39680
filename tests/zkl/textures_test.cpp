// Texture files the loaders must refuse without blocking or touching GL, each said in one box.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/textures.h"

using namespace zkl;

// One test runs out of memory on purpose and expects null back, also under the sanitizer.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

// An 8-bit RLE file of the given size whose stream ends at once: every pixel is black.
std::string blankRle(const testutil::ScratchDir& dir, const char* name, int width, int height)
{
    std::vector<unsigned char> b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 4, 0, 0, 40, 0, 0, 0};
    for (const uint32_t v : {uint32_t(width), uint32_t(height), 0x80001u, 1u, 2u, 0u, 0u, 0u, 0u})
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    b.resize(54 + 1024 + 2, 0);
    b.back() = 1;
    const std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return path;
}

// A missing file is said in its own box and keeps what was held; other refusals leave no image.
TEST(Textures, FilesThatCannotBeLoaded)
{
    const testutil::ScratchDir dir;
    const std::string present = dir.bmp("present.bmp", 1, 1, {90, 0, 0}), missing = dir.file("missing.bmp");
    const std::string wide = blankRle(dir, "wide.bmp", 16385, 1);  // GL's largest is 16384
    struct Case { std::string file, caption, text; };
    std::vector<Case> cases = {
        {missing, missing, "Could Not Load Texture."},
        {wide, "Error", wide + ": DIB image is wider or higher than the largest texture. The largest is 16384 x 16384."},
    };
#ifndef _WIN32
    const std::string fifo = dir.file("fifo.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    cases.push_back({fifo, "Error", fifo + ": a FIFO, not a regular file."});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        cTexture t;
        ASSERT_EQ(t.LoadMaskedNoTolerance(present.c_str(), 0), 1);
        unsigned char* const before = t.image->pixels;
        glrec::reset(), fake::resetBoxes();
        EXPECT_EQ(t.LoadMaskedWithTolerance(c.file.c_str(), 0), 0);
        ASSERT_EQ(fake::boxes().size(), 1u);
        const fake::Box& b = fake::boxes()[0];
        EXPECT_EQ(b.caption, c.caption);
        EXPECT_EQ(b.text, c.text);
        if (c.file == missing)
            EXPECT_EQ(std::make_tuple(b.owner, b.style, t.image->pixels), std::make_tuple(nullptr, 0x40u, before));
        else
            EXPECT_EQ(t.image, nullptr);
        EXPECT_TRUE(glrec::calls().empty()) << glrec::dump();
    }
}

#ifndef _WIN32
// Room for the 768 MiB picture but not for its 1 GiB alpha copy.
TEST(Textures, NoRoomForTheAlphaChannelIsSaid)
{
    testutil::ScratchDir dir;
    const std::string big = blankRle(dir, "big.bmp", 16384, 16384);
    EXPECT_EXIT(
        {
            size_t pages = 0;
            std::ifstream("/proc/self/statm") >> pages;  // the address space in use
            rlimit limit{};
            getrlimit(RLIMIT_AS, &limit);
            limit.rlim_cur = pages * size_t(sysconf(_SC_PAGESIZE)) + (900u << 20);
            setrlimit(RLIMIT_AS, &limit);
            fake::resetBoxes();
            cTexture t;
            const bool refused = t.LoadMaskedNoTolerance(big.c_str(), 0) == 0;
            const bool said = fake::boxes().size() == 1 &&
                              fake::boxes()[0].text == big + ": Out of memory for the alpha channel.";
            std::_Exit(refused && said ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
