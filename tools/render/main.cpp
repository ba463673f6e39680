// vavarizo-render: draws the show at chosen instants without a display. The clock is frozen at
// each instant and the frame goes through the demo's own DrawGLScene, so a PNG shows exactly
// what the demo's window shows when the music reads that time.
#include <GL/gl.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <limits>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "game/scene.h"
#include "game/textures.h"
#include "platform/music.h"
#include "platform/music_wav.h"
#include "platform/offscreen.h"
#include "platform/out_file.h"
#include "tools/common/png_write.h"
#include "tools/render/frame_writer.h"
#include "zkl/init.h"

namespace fs = std::filesystem;
using zkl::resizeViewport;
using zkl::setupGlState;

namespace {

constexpr const char* usageText =
    "usage: vavarizo-render --at MS --out FILE.png [--assets DIR] [--size WxH]\n"
    "       vavarizo-render --from MS --to MS --fps N --out-dir DIR [--overwrite] [--audio FILE.wav]\n"
    "                       [--assets DIR] [--size WxH] [--workers N]\n"
    "       vavarizo-render --help\n";
constexpr int maxSide = 16384;
constexpr const char* moduleFile = "morvask1.xm";

// The signal that asked the program to stop, 0 while none has.
std::atomic<int> stopSignal{0};

extern "C" void onStopSignal(int sig)
{
    stopSignal.store(sig);
}

struct Options {
    std::optional<int32_t> at, from, to;
    std::optional<int> fps, workers;
    std::string out, outDir, audio, assets = ".";
    int width = 800;
    int height = 600;
    bool overwrite = false;
    bool help = false;
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
    std::set<std::string_view> seen;
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") {
            o.help = true;
            return {};
        }
        if (name.starts_with("--") && !seen.insert(name).second)
            return std::string(name) + " given twice";
        if (name == "--overwrite") {
            o.overwrite = true;
            continue;
        }
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
        } else if (name == "--workers") {
            const auto v = parseInt(value, 0, 64);
            if (!v)
                return "malformed worker count (0 to 64): " + std::string(value);
            o.workers = static_cast<int>(*v);
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
    const bool sequence = o.from || o.to || o.fps || !o.outDir.empty() || o.workers || o.overwrite;
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
    if (!o.audio.empty() && plat::WavDataBytes(*o.from, *o.to) > plat::maxWavDataBytes)
        return "the span is too long for one WAV file (at most 6 h 45 min of music)";
    return {};
}

// Output paths are taken relative to where the program was started, not to the assets folder.
// False when that folder can no longer be named (it was deleted, say).
bool makeAbsolute(std::string& path)
{
    if (path.empty() || path.front() == '/')
        return true;
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    if (ec)
        return false;
    path = full.string();
    return true;
}

// The folder a sequence goes into: created (with what is missing above it) or, when it exists,
// empty or opened to be overwritten. Whatever this run created is removed again unless the run
// succeeds.
class OutputFolder {
public:
    ~OutputFolder()
    {
        if (kept_)
            return;
        std::error_code ec;
        for (auto it = created_.rbegin(); it != created_.rend(); ++it)
            fs::remove(*it, ec);  // only empty folders go; a file someone added stays
    }

    std::string Prepare(const fs::path& dir, bool overwrite)
    {
        std::error_code ec;
        const fs::file_status status = fs::status(dir, ec);
        if (fs::exists(status)) {
            if (!fs::is_directory(status))
                return dir.string() + " exists and is not a folder";
            return overwrite ? ClearFrames(dir) : RefuseIfNotEmpty(dir);
        }
        std::vector<fs::path> missing;
        for (fs::path p = dir; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
            missing.push_back(p);
            if (p == p.parent_path())
                break;
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            if (!fs::create_directory(*it, ec))
                return "cannot create " + it->string() + ": " + ec.message();
            created_.push_back(*it);
        }
        return {};
    }

    void Keep() { kept_ = true; }

private:
    static std::string RefuseIfNotEmpty(const fs::path& dir)
    {
        std::error_code ec;
        const fs::directory_iterator it(dir, ec);
        if (ec)
            return "cannot read " + dir.string() + ": " + ec.message();
        if (it != fs::directory_iterator())
            return dir.string() + " is not empty (--overwrite replaces the frame-*.png files in it)";
        return {};
    }

    // Frames of an earlier run would otherwise end up in a video beside this run's.
    static std::string ClearFrames(const fs::path& dir)
    {
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.starts_with("frame-") && name.ends_with(".png") && it->is_regular_file(ec) &&
                !fs::remove(it->path(), ec))
                break;
        }
        return ec ? "cannot clear the old frames in " + dir.string() + ": " + ec.message() : std::string();
    }

    std::vector<fs::path> created_;
    bool kept_ = false;
};

std::string frameName(int64_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(index));
    return name;
}

// Frame i shows the instant from + i / fps, in whole milliseconds as the clock reads them.
int32_t frameTime(const Options& o, int64_t i)
{
    return static_cast<int32_t>(*o.from + i * 1000 / *o.fps);
}

// "frames done, frames per second, time left" on one line that rewrites itself, a few times a
// second at most.
class Progress {
public:
    Progress(int64_t total, bool shown) : total_(total), shown_(shown), start_(Clock::now()), last_(start_) {}

    void Update(int64_t done)
    {
        if (!shown_)
            return;
        const auto now = Clock::now();
        if (done < total_ && now - last_ < std::chrono::milliseconds(250))
            return;
        last_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
        const double left = rate > 0 ? static_cast<double>(total_ - done) / rate : 0;
        std::printf("\r%lld/%lld frames  %.1f frames/s  %.0f s left   ", static_cast<long long>(done),
                    static_cast<long long>(total_), rate, left);
        std::fflush(stdout);
        printed_ = true;
    }

    // Ends the line, so whatever follows starts on a fresh one.
    void End()
    {
        if (printed_)
            std::printf("\n");
        printed_ = shown_ = false;
    }

private:
    using Clock = std::chrono::steady_clock;
    int64_t total_;
    bool shown_;
    bool printed_ = false;
    Clock::time_point start_, last_;
};

// The frame at `ms`, read back bottom row first into `pixels`.
void drawFrame(const plat::OffscreenGL& gl, int32_t ms, std::vector<unsigned char>& pixels)
{
    MusicFreezeClock(ms);
    demo::DrawGLScene();
    pixels.resize(static_cast<size_t>(gl.width()) * static_cast<size_t>(gl.height()) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, gl.width(), gl.height(), GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
}

int stoppedExit()
{
    std::fprintf(stderr, "vavarizo-render: stopped by signal %d, nothing written\n", stopSignal.load());
    return 128 + stopSignal.load();
}

int run(Options& o)
{
    if (!makeAbsolute(o.out) || !makeAbsolute(o.outDir) || !makeAbsolute(o.audio))
        return failure("the folder the program was started in no longer exists; give absolute paths");
    std::error_code ec;
    fs::current_path(o.assets, ec);
    if (ec)
        return failure("cannot enter " + o.assets + ": " + ec.message());

    // Everything that can be found wrong with the music and the output files is found before
    // the first frame, not after the last.
    std::string error;
    std::unique_ptr<plat::WavRender> music;
    if (!o.audio.empty()) {
        music = plat::WavRender::Open(moduleFile, &error);
        if (!music)
            return failure("no music for " + o.audio + ": " + error);
    }
    OutputFolder folder;
    if (!o.outDir.empty()) {
        if (error = folder.Prepare(o.outDir, o.overwrite); !error.empty())
            return failure(error);
    }
    // Made now, so a music file that cannot be written is found before the frames; it may
    // live in the output folder.
    std::unique_ptr<plat::OutFile> wav;
    if (!o.audio.empty()) {
        wav = plat::OutFile::Create(o.audio, &error);
        if (!wav)
            return failure(error);
    }

    const auto gl = plat::OffscreenGL::create(o.width, o.height, &error);
    if (!gl)
        return failure("no offscreen GL context at " + std::to_string(o.width) + "x" + std::to_string(o.height) +
                       ": " + error);
    // The demo's start-up, from the window's GL state to the textures.
    resizeViewport(o.width, o.height);
    setupGlState();
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    demo::LoadSceneTextures();
    if (stopSignal.load())
        return stoppedExit();

    std::vector<unsigned char> pixels;
    if (o.at) {
        drawFrame(*gl, *o.at, pixels);
        const auto png = encodePngRgb(gl->width(), gl->height(), pixels.data(), true, &error);
        if (stopSignal.load())
            return stoppedExit();
        if (png.empty() || !plat::WriteWholeFile(o.out, png.data(), png.size(), &error))
            return failure(error);
        return 0;
    }

    const int64_t span = int64_t(*o.to) - *o.from;
    const int64_t frames = (span * *o.fps + 999) / 1000;
    const int workers = o.workers ? *o.workers : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    FrameWriter writer(workers, gl->width(), gl->height(), o.outDir, frameName, &stopSignal);
    Progress progress(frames, span > 1000 && plat::IsTerminal(stdout));
    for (int64_t i = 0; i < frames && !stopSignal.load() && writer.Healthy(); ++i) {
        pixels = writer.TakeBuffer();
        drawFrame(*gl, frameTime(o, i), pixels);
        writer.Submit(i, std::move(pixels));
        progress.Update(writer.Done());
    }
    const bool written = writer.Finish(&error);
    progress.Update(writer.Done());
    progress.End();
    if (stopSignal.load())
        return stoppedExit();
    if (!written)
        return failure(error);

    if (music) {
        if (!music->Write(*o.from, *o.to, *wav, &stopSignal, &error) || !wav->Commit(&error))
            return stopSignal.load() ? stoppedExit() : failure(error);
    }
    writer.KeepFiles();
    folder.Keep();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Installed before SDL starts: SDL then leaves them alone instead of turning them into a
    // quit event nobody here reads.
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);

    Options o;
    try {
        if (const std::string error = parseArgs(argc, argv, o); !error.empty())
            return usage(error);
        if (o.help) {
            std::fputs(usageText, stdout);
            return 0;
        }
        return run(o);
    } catch (const std::bad_alloc&) {
        return failure("out of memory for a " + std::to_string(o.width) + "x" + std::to_string(o.height) +
                       " picture");
    } catch (const std::exception& e) {
        return failure(e.what());
    }
}
