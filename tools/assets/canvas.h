#pragma once
// A small anti-aliased rasteriser for the sprite maker. Shapes are signed distance fields in
// pixel units (negative inside); the canvas keeps a colour and a coverage per pixel and turns
// them into a colour-keyed 24-bit picture at the end.
#include <functional>
#include <vector>

namespace art {

struct Colour {
    double r, g, b;  // 0..1
};

Colour rgb8(int r, int g, int b);
Colour mixColour(Colour a, Colour b, double t);
Colour scaleColour(Colour c, double k);

// Axis-aligned bounds of a shape; only pixels inside are evaluated.
struct Box {
    double x0, y0, x1, y1;
};

struct Point {
    double x, y;
};

struct Shape {
    std::function<double(double, double)> distance;
    Box box;
};

using Shader = std::function<Colour(double x, double y)>;

Shape circle(double cx, double cy, double r);
Shape ellipse(double cx, double cy, double rx, double ry);
Shape roundedBox(double x0, double y0, double x1, double y1, double radius);
Shape polygon(std::vector<Point> points);
Shape capsule(Point a, Point b, double radius);
Shape unite(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape intersect(Shape a, Shape b);
// Scales a shape by (sx, sy) about the anchor point.
Shape scaled(Shape s, Point anchor, double sx, double sy);
// Moves a shape outward by `amount` pixels (inward when negative).
Shape grown(Shape s, double amount);

// Shades from colour `bottom` at height y0 to `top` at y1.
Shader verticalRamp(double y0, Colour bottom, double y1, Colour top);
// Shades from `inner` at the centre to `outer` at distance r.
Shader radialRamp(Point centre, double r, Colour inner, Colour outer);

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }

    // Where later drawing lands: a point (x, y) of the drawing goes to pixel position
    // (x * scale + offset.x, y * scale + offset.y). Shaders see drawing coordinates.
    void setFrame(double scale, Point offset)
    {
        scale_ = scale;
        offset_ = offset;
    }
    int height() const { return height_; }

    // Paints where the shape is, anti-aliased over one pixel. An edge pixel blends toward what is
    // already painted there; over empty pixels it keeps the shade, never a fade toward the key.
    void fill(const Shape& shape, const Shader& shader);
    void fill(const Shape& shape, Colour colour);
    // An outline `width` pixels wide around the shape, then the shape itself.
    void fillOutlined(const Shape& shape, const Shader& shader, Colour line, double width);
    void fillOutlined(const Shape& shape, Colour colour, Colour line, double width);

    // Pixels at least half covered become art, every channel at least kMinArt; the rest become
    // the transparent key (0, 0, 0). Rows bottom first, as a bottom-up BMP stores them.
    std::vector<unsigned char> toRgb() const;

    static constexpr int kMinArt = 8;

private:
    int width_;
    int height_;
    double scale_ = 1.0;
    Point offset_{0, 0};
    std::vector<Colour> colour_;
    std::vector<double> cover_;
};

}  // namespace art
