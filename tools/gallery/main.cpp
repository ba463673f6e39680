// zkl-gallery --out-dir DIR: draws every piece of the toolkit offscreen, each into its own PNG
// file in DIR. The textures come from pictures the gallery makes itself, so the files are the
// same bytes on every run.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "platform/offscreen.h"
#include "tools/common/png_write.h"
#include "tools/gallery/pieces.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* usageText = "usage: zkl-gallery --out-dir DIR\n";

int Usage(const std::string& reason)
{
    std::fprintf(stderr, "zkl-gallery: %s\n%s", reason.c_str(), usageText);
    return 2;
}

int Fail(const std::string& what)
{
    std::fprintf(stderr, "zkl-gallery: %s\n", what.c_str());
    return 1;
}

// A fresh folder for the pictures the textures load from, removed again on the way out.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::error_code ec;
        const fs::path base = fs::temp_directory_path(ec);
        std::random_device random;
        for (int attempt = 0; !ec && attempt < 100 && path_.empty(); ++attempt) {
            fs::path candidate = base / ("zkl-gallery-" + std::to_string(random()));
            if (fs::create_directory(candidate, ec))
                path_ = candidate;
        }
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        if (!path_.empty())
            fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

int Run(const std::string& outDir)
{
    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (ec)
        return Fail("cannot make " + outDir + ": " + ec.message());
    const ScratchFolder scratch;
    if (scratch.path().empty() || !WriteGalleryPictures(scratch.path().string()))
        return Fail("cannot write the texture pictures to a temporary folder");

    std::string error;
    const auto gl = plat::OffscreenGL::create(galleryWidth, galleryHeight, &error);
    if (!gl)
        return Fail("no offscreen GL context: " + error);
    glViewport(0, 0, galleryWidth, galleryHeight);
    GalleryAssets assets;
    if (!LoadGalleryAssets(assets, scratch.path().string()))
        return Fail("the gallery textures did not load");

    for (const GalleryPiece& piece : GalleryPieces()) {
        piece.draw(assets);
        glFinish();
        const std::string path = (fs::path(outDir) / (std::string(piece.name) + ".png")).string();
        if (!writePngRgb(path, galleryWidth, galleryHeight, gl->readRgb().data(), &error))
            return Fail(error);
        std::printf("%s\n", path.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string outDir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usageText, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--out-dir") != 0)
            return Usage(std::string("unknown argument ") + argv[i]);
        if (!outDir.empty())
            return Usage("--out-dir given twice");
        if (i + 1 >= argc || argv[i + 1][0] == '\0')
            return Usage("missing value for --out-dir");
        outDir = argv[++i];
    }
    if (outDir.empty())
        return Usage("missing --out-dir");
    try {
        return Run(outDir);
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
