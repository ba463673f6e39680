#include "tools/common/png_write.h"

#include <png.h>

#include "platform/out_file.h"

namespace {

bool fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what;
    return false;
}

void appendBytes(png_structp png, png_bytep data, png_size_t size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void noFlush(png_structp) {}

// libpng reports errors through longjmp; this keeps it out of code that owns C++ objects
// other than the output vector, which is only appended to.
bool encode(std::vector<unsigned char>& out, int width, int height, const unsigned char* rgb, bool bottomUp,
            std::string* error)
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
    png_set_write_fn(png, &out, appendBytes, noFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Frames are intermediate files for a video encoder: speed over size. The pictures are
    // large flat areas with a few sprites: with the Up filter alone most rows become zeros,
    // and the fastest deflate level packs them as small as trying several filters per row
    // does, in two thirds of the time (a run-length strategy writes more and is slower).
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_buffer_size(png, 1 << 17);
    png_write_info(png, info);
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        const int source = bottomUp ? height - 1 - y : y;
        png_write_row(png, rgb + row * static_cast<size_t>(source));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::vector<unsigned char> encodePngRgb(int width, int height, const unsigned char* rgb, bool bottomUp,
                                        std::string* error)
{
    std::vector<unsigned char> out;
    if (width <= 0 || height <= 0 || !rgb) {
        fail(error, "empty picture");
        return out;
    }
    out.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) / 4 + 1024);
    if (!encode(out, width, height, rgb, bottomUp, error))
        out.clear();
    return out;
}

bool writePngRgb(const std::string& path, int width, int height, const unsigned char* rgb, std::string* error)
{
    const std::vector<unsigned char> bytes = encodePngRgb(width, height, rgb, false, error);
    return !bytes.empty() && plat::WriteWholeFile(path, bytes.data(), bytes.size(), error);
}
