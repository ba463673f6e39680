// vavarizo-render: draws the show at chosen instants without a display. The clock is frozen at
// each instant and the frame goes through the demo's own DrawGLScene, so a PNG shows exactly
// what the demo's window shows when the music reads that time.
#include <GL/gl.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "game/scene.h"
#include "game/textures.h"
#include "platform/music.h"
#include "platform/offscreen.h"
#include "tools/common/png_write.h"
#include "zkl/init.h"

namespace fs = std::filesystem;
using zkl::resizeViewport;
using zkl::setupGlState;

namespace {

constexpr const char* usageText =
    "usage: vavarizo-render --at MS --out FILE.png [--assets DIR] [--size WxH]\n"
    "       vavarizo-render --from MS --to MS --fps N --out-dir DIR [--audio FILE.wav] [--assets DIR] [--size WxH]\n";
constexpr int maxSide = 16384;
constexpr const char* moduleFile = "morvask1.xm";

struct Options {
    std::optional<int32_t> at, from, to;
    std::optional<int> fps;
    std::string out, outDir, audio, assets = ".";
    int width = 800;
    int height = 600;
};

int usage(const std::string& reason)
{
    std::fprintf(stderr, "vavarizo-render: %s\n%s", reason.c_str(), usageText);
    return 2;
}

int failure(const std::string& reason)
{
    std::fprintf(stderr, "vavarizo-render: %s\n", reason.c_str());
    return 1;
}

// A whole decimal number in [lo, hi], nothing else.
std::optional<int64_t> parseInt(std::string_view text, int64_t lo, int64_t hi)
{
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || value < lo || value > hi)
        return std::nullopt;
    return value;
}

bool parseSize(std::string_view text, int& width, int& height)
{
    const size_t x = text.find('x');
    if (x == std::string_view::npos)
        return false;
    const auto w = parseInt(text.substr(0, x), 1, maxSide);
    const auto h = parseInt(text.substr(x + 1), 1, maxSide);
    if (!w || !h)
        return false;
    width = static_cast<int>(*w);
    height = static_cast<int>(*h);
    return true;
}

// Empty when the arguments are sound; otherwise the reason.
std::string parseArgs(int argc, char** argv, Options& o)
{
    constexpr int64_t msLo = std::numeric_limits<int32_t>::min();
    constexpr int64_t msHi = std::numeric_limits<int32_t>::max();
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (i + 1 >= argc)
            return name.starts_with("--") ? "missing value for " + std::string(name)
                                          : "unexpected argument " + std::string(name);
        const std::string_view value = argv[++i];
        const auto ms = [&](std::optional<int32_t>& slot) -> std::string {
            const auto v = parseInt(value, msLo, msHi);
            if (!v)
                return "malformed time for " + std::string(name) + ": " + std::string(value);
            slot = static_cast<int32_t>(*v);
            return {};
        };
        std::string error;
        if (name == "--at")
            error = ms(o.at);
        else if (name == "--from")
            error = ms(o.from);
        else if (name == "--to")
            error = ms(o.to);
        else if (name == "--fps") {
            const auto v = parseInt(value, 1, 1000);
            if (!v)
                return "malformed frame rate: " + std::string(value);
            o.fps = static_cast<int>(*v);
        } else if (name == "--size") {
            if (!parseSize(value, o.width, o.height))
                return "malformed size (WxH, 1 to 16384 each): " + std::string(value);
        } else if (name == "--out")
            o.out = value;
        else if (name == "--out-dir")
            o.outDir = value;
        else if (name == "--audio")
            o.audio = value;
        else if (name == "--assets")
            o.assets = value;
        else
            return "unknown option " + std::string(name);
        if (!error.empty())
            return error;
        if (value.empty())
            return "empty value for " + std::string(name);
    }

    const bool single = o.at || !o.out.empty();
    const bool sequence = o.from || o.to || o.fps || !o.outDir.empty();
    if (single && sequence)
        return "--at/--out and --from/--to/--fps/--out-dir do not mix";
    if (single) {
        if (!o.at)
            return "missing --at";
        if (o.out.empty())
            return "missing --out";
        if (!o.audio.empty())
            return "--audio needs a sequence (--from/--to)";
        return {};
    }
    if (!sequence)
        return "nothing to draw";
    if (!o.from)
        return "missing --from";
    if (!o.to)
        return "missing --to";
    if (!o.fps)
        return "missing --fps";
    if (o.outDir.empty())
        return "missing --out-dir";
    if (*o.to <= *o.from)
        return "--to must be later than --from";
    return {};
}

// Output paths are taken relative to where the program was started, not to the assets folder.
std::string absolute(const std::string& path)
{
    return path.empty() ? path : fs::absolute(path).string();
}

bool renderFrame(const plat::OffscreenGL& gl, int32_t ms, const std::string& path)
{
    MusicFreezeClock(ms);
    demo::DrawGLScene();
    const auto rgb = gl.readRgb();
    std::string error;
    if (!writePngRgb(path, gl.width(), gl.height(), rgb.data(), &error)) {
        std::fprintf(stderr, "vavarizo-render: %s\n", error.c_str());
        return false;
    }
    return true;
}

std::string frameName(int64_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(index));
    return name;
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (const std::string error = parseArgs(argc, argv, o); !error.empty())
        return usage(error);
    o.out = absolute(o.out);
    o.outDir = absolute(o.outDir);
    o.audio = absolute(o.audio);

    std::error_code ec;
    if (!o.outDir.empty() && !fs::is_directory(o.outDir) && !fs::create_directories(o.outDir, ec))
        return failure("cannot create " + o.outDir);

    std::string error;
    const auto gl = plat::OffscreenGL::create(o.width, o.height, &error);
    if (!gl)
        return failure("no offscreen GL context: " + error);
    // The demo's start-up, from the window's GL state to the textures.
    resizeViewport(o.width, o.height);
    setupGlState();
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    fs::current_path(o.assets, ec);
    if (ec)
        return failure("cannot enter " + o.assets + ": " + ec.message());
    demo::LoadSceneTextures();

    if (o.at)
        return renderFrame(*gl, *o.at, o.out) ? 0 : 1;

    // Frame i shows the instant from + i / fps, in whole milliseconds as the clock reads them.
    const int64_t span = int64_t(*o.to) - *o.from;
    const int64_t frames = (span * *o.fps + 999) / 1000;
    for (int64_t i = 0; i < frames; ++i) {
        const auto ms = static_cast<int32_t>(*o.from + i * 1000 / *o.fps);
        if (!renderFrame(*gl, ms, (fs::path(o.outDir) / frameName(i)).string()))
            return 1;
    }
    if (!o.audio.empty() && !MusicRenderWav(moduleFile, *o.from, *o.to, o.audio.c_str()))
        return failure("cannot write the music to " + o.audio);
    return 0;
}
