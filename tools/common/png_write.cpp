#include "tools/common/png_write.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what;
    return false;
}

// libpng reports errors through longjmp; this keeps it out of code that owns C++ objects.
bool encode(std::FILE* file, int width, int height, const unsigned char* rgb, std::string* error)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return fail(error, "out of memory");
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return fail(error, "out of memory");
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return fail(error, "PNG encoding failed");
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Frame sequences are intermediate files for a video encoder: speed over size (level 1
    // makes them about a tenth larger and halves the time spent per frame).
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB | PNG_FILTER_UP);
    png_write_info(png, info);
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgb + row * static_cast<size_t>(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePngRgb(const std::string& path, int width, int height, const unsigned char* rgb, std::string* error)
{
    if (width <= 0 || height <= 0 || !rgb)
        return fail(error, "empty picture");
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return fail(error, "cannot create " + path);
    // A half-written picture is worse than none: it would pass for a frame. Only plain files
    // are removed, never a device or pipe the caller named.
    const bool encoded = encode(file.get(), width, height, rgb, error);
    const bool closed = std::fclose(file.release()) == 0;
    if (encoded && closed)
        return true;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec))
        std::filesystem::remove(path, ec);
    return encoded ? fail(error, "cannot write " + path) : false;
}
