#pragma once
// An OpenGL context of a fixed size that needs no display: the tools draw into it with the same
// code the demo uses for its window and read the picture back.
#include <memory>
#include <string>
#include <vector>

namespace plat {

class OffscreenGL {
public:
    // Makes a width x height context (8-8-8 colour, depth of at least 16 bits) current on the
    // calling thread. Null on failure, with the reason in *error when given.
    static std::unique_ptr<OffscreenGL> create(int width, int height, std::string* error = nullptr);
    ~OffscreenGL();
    OffscreenGL(const OffscreenGL&) = delete;
    OffscreenGL& operator=(const OffscreenGL&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // The frame drawn so far as width * height * 3 bytes (red, green, blue), top row first.
    std::vector<unsigned char> readRgb() const;

private:
    struct Impl;
    OffscreenGL(int width, int height, std::unique_ptr<Impl> impl);

    int width_;
    int height_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace plat
