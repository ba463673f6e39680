// Inputs the texture loaders must refuse without blocking, each with a message naming the file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/textures.h"

using namespace zkl;

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

TEST(TextureInputs, RefusedWithTheFileNamed)
{
    testutil::ScratchDir dir;
    const std::string fifo = dir.file("fifo.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string wide = blankRle(dir, "wide.bmp", 16385, 1);  // GL's largest is 16384
    const struct { std::string file, text; } cases[] = {
        {fifo, fifo + ": a FIFO, not a regular file."},
        {wide, wide + ": DIB image is wider or higher than the largest texture. The largest is 16384 x 16384."},
    };
    for (const auto& c : cases) {
        glrec::reset(), fake::resetBoxes();
        cTexture t;
        EXPECT_EQ(t.LoadMaskedNoTolerance(c.file.c_str(), 0), 0);
        EXPECT_EQ(t.image, nullptr);
        ASSERT_EQ(fake::boxes().size(), 1u) << c.file;
        EXPECT_EQ(fake::boxes()[0].text, c.text);
        EXPECT_EQ(glrec::count("glTexImage2D"), 0u);
    }
}

size_t addressSpaceInUse()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && line.rfind("VmSize:", 0) != 0) {
    }
    return std::stoul(line.substr(7)) << 10;
}

// Room for the 768 MiB picture but not for its 1 GiB alpha copy.
TEST(TextureInputs, NoRoomForTheAlphaChannelIsSaid)
{
    testutil::ScratchDir dir;
    const std::string big = blankRle(dir, "big.bmp", 16384, 16384);
    EXPECT_EXIT(
        {
            rlimit limit{};
            getrlimit(RLIMIT_AS, &limit);
            limit.rlim_cur = addressSpaceInUse() + (900u << 20);
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

}  // namespace
