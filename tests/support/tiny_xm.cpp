#include "tests/support/tiny_xm.h"

#include "tools/assets/xm_writer.h"

// Designated initializers leave the other fields at their defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace tinyxm {

namespace {

xm::Module Song(int rows)
{
    xm::Sample square{.name = "square", .loopLength = 32, .loop = xm::Loop::Forward};
    for (int i = 0; i < 32; ++i)
        square.frames.push_back(i < 16 ? 8000 : -8000);
    xm::Module m{.name = "tiny", .tracker = "vavarizo tests", .channels = 2, .speed = 5, .bpm = 125};
    m.order = {0};
    m.patterns.push_back({.rows = rows, .cells = std::vector<xm::Cell>(size_t(rows) * 2)});
    m.patterns[0].cells[0] = {.note = 49, .instrument = 1};  // C-4 on the first row
    m.instruments.push_back({.name = "square", .samples = {square}});
    return m;
}

}  // namespace

std::vector<uint8_t> Module(int rows)
{
    std::string error;
    return xm::encode(Song(rows), error);
}

bool Write(const std::string& path, int rows)
{
    std::string error;
    return xm::write(Song(rows), path, error);
}

}  // namespace tinyxm
