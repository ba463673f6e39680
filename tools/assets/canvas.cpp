#include "tools/assets/canvas.h"

#include "tools/assets/detmath.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace art {

namespace {

double length(double x, double y) { return std::sqrt(x * x + y * y); }

Box grow(Box b, double d) { return {b.x0 - d, b.y0 - d, b.x1 + d, b.y1 + d}; }

}  // namespace

Colour rgb8(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

Colour mixColour(Colour a, Colour b, double t)
{
    return {det::mix(a.r, b.r, t), det::mix(a.g, b.g, t), det::mix(a.b, b.b, t)};
}

Colour scaleColour(Colour c, double k)
{
    return {det::clamp(c.r * k, 0, 1), det::clamp(c.g * k, 0, 1), det::clamp(c.b * k, 0, 1)};
}

Shape circle(double cx, double cy, double r)
{
    return {[=](double x, double y) { return length(x - cx, y - cy) - r; },
            {cx - r, cy - r, cx + r, cy + r}};
}

Shape ellipse(double cx, double cy, double rx, double ry)
{
    // A first-order distance estimate: exact on the axes, close enough for one pixel of edge.
    return {[=](double x, double y) {
                const double px = (x - cx) / rx;
                const double py = (y - cy) / ry;
                const double k0 = length(px, py);
                const double k1 = length(px / rx, py / ry);
                if (k1 == 0.0)
                    return -std::min(rx, ry);
                return k0 * (k0 - 1.0) / k1;
            },
            {cx - rx, cy - ry, cx + rx, cy + ry}};
}

Shape roundedBox(double x0, double y0, double x1, double y1, double radius)
{
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    return {[=](double x, double y) {
                const double qx = std::fabs(x - cx) - hx;
                const double qy = std::fabs(y - cy) - hy;
                const double outside = length(std::max(qx, 0.0), std::max(qy, 0.0));
                return outside + std::min(std::max(qx, qy), 0.0) - radius;
            },
            {x0, y0, x1, y1}};
}

Shape polygon(std::vector<Point> pts)
{
    Box box{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (const Point& p : pts)
        box = {std::min(box.x0, p.x), std::min(box.y0, p.y), std::max(box.x1, p.x), std::max(box.y1, p.y)};
    return {[pts = std::move(pts)](double x, double y) {
                double best = 1e300;
                bool inside = false;
                const size_t n = pts.size();
                for (size_t i = 0, j = n - 1; i < n; j = i++) {
                    const double ex = pts[j].x - pts[i].x, ey = pts[j].y - pts[i].y;
                    const double wx = x - pts[i].x, wy = y - pts[i].y;
                    const double ee = ex * ex + ey * ey;
                    const double t = ee > 0 ? det::clamp((wx * ex + wy * ey) / ee, 0, 1) : 0;
                    const double bx = wx - ex * t, by = wy - ey * t;
                    best = std::min(best, bx * bx + by * by);
                    if ((pts[i].y > y) != (pts[j].y > y) &&
                        x < pts[i].x + (y - pts[i].y) * ex / ey)
                        inside = !inside;
                }
                const double d = std::sqrt(best);
                return inside ? -d : d;
            },
            box};
}

Shape capsule(Point a, Point b, double radius)
{
    return {[=](double x, double y) {
                const double px = x - a.x, py = y - a.y;
                const double bx = b.x - a.x, by = b.y - a.y;
                const double bb = bx * bx + by * by;
                const double t = bb > 0 ? det::clamp((px * bx + py * by) / bb, 0, 1) : 0;
                return length(px - bx * t, py - by * t) - radius;
            },
            {std::min(a.x, b.x) - radius, std::min(a.y, b.y) - radius,
             std::max(a.x, b.x) + radius, std::max(a.y, b.y) + radius}};
}

Shape unite(Shape a, Shape b)
{
    const Box box{std::min(a.box.x0, b.box.x0), std::min(a.box.y0, b.box.y0),
                  std::max(a.box.x1, b.box.x1), std::max(a.box.y1, b.box.y1)};
    return {[a = std::move(a.distance), b = std::move(b.distance)](double x, double y) {
                return std::min(a(x, y), b(x, y));
            },
            box};
}

Shape subtract(Shape a, Shape b)
{
    const Box box = a.box;
    return {[a = std::move(a.distance), b = std::move(b.distance)](double x, double y) {
                return std::max(a(x, y), -b(x, y));
            },
            box};
}

Shape intersect(Shape a, Shape b)
{
    const Box box{std::max(a.box.x0, b.box.x0), std::max(a.box.y0, b.box.y0),
                  std::min(a.box.x1, b.box.x1), std::min(a.box.y1, b.box.y1)};
    return {[a = std::move(a.distance), b = std::move(b.distance)](double x, double y) {
                return std::max(a(x, y), b(x, y));
            },
            box};
}

Shape scaled(Shape s, Point anchor, double sx, double sy)
{
    const Box b = s.box;
    const Box box{anchor.x + (b.x0 - anchor.x) * sx, anchor.y + (b.y0 - anchor.y) * sy,
                  anchor.x + (b.x1 - anchor.x) * sx, anchor.y + (b.y1 - anchor.y) * sy};
    const double k = std::min(sx, sy);
    return {[f = std::move(s.distance), anchor, sx, sy, k](double x, double y) {
                return f(anchor.x + (x - anchor.x) / sx, anchor.y + (y - anchor.y) / sy) * k;
            },
            box};
}

Shape grown(Shape s, double amount)
{
    const Box box = grow(s.box, std::max(amount, 0.0));
    return {[f = std::move(s.distance), amount](double x, double y) { return f(x, y) - amount; },
            box};
}

Shader verticalRamp(double y0, Colour bottom, double y1, Colour top)
{
    return [=](double, double y) { return mixColour(bottom, top, det::clamp((y - y0) / (y1 - y0), 0, 1)); };
}

Shader radialRamp(Point centre, double r, Colour inner, Colour outer)
{
    return [=](double x, double y) {
        return mixColour(inner, outer, det::clamp(length(x - centre.x, y - centre.y) / r, 0, 1));
    };
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), colour_(static_cast<size_t>(width) * height, Colour{0, 0, 0}),
      cover_(static_cast<size_t>(width) * height, 0.0)
{
}

void Canvas::fill(const Shape& shape, const Shader& shader)
{
    const Box b = grow({shape.box.x0 * scale_ + offset_.x, shape.box.y0 * scale_ + offset_.y,
                        shape.box.x1 * scale_ + offset_.x, shape.box.y1 * scale_ + offset_.y},
                       1.0);
    const int x0 = std::max(0, static_cast<int>(det::floorD(b.x0)));
    const int y0 = std::max(0, static_cast<int>(det::floorD(b.y0)));
    const int x1 = std::min(width_ - 1, static_cast<int>(det::floorD(b.x1)));
    const int y1 = std::min(height_ - 1, static_cast<int>(det::floorD(b.y1)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double px = (x + 0.5 - offset_.x) / scale_, py = (y + 0.5 - offset_.y) / scale_;
            const double c = det::clamp(0.5 - shape.distance(px, py) * scale_, 0.0, 1.0);
            if (c <= 0.0)
                continue;
            const size_t i = static_cast<size_t>(y) * width_ + x;
            const Colour paint = shader(px, py);
            const double a = cover_[i];
            const double out = c + a * (1.0 - c);
            // "Over" without premultiplying: the old colour only counts as far as it was painted.
            const double keep = a * (1.0 - c) / out;
            colour_[i] = mixColour(paint, colour_[i], keep);
            cover_[i] = out;
        }
    }
}

void Canvas::fill(const Shape& shape, Colour colour)
{
    fill(shape, [colour](double, double) { return colour; });
}

void Canvas::fillOutlined(const Shape& shape, const Shader& shader, Colour line, double width)
{
    fill(grown(shape, width), line);
    fill(shape, shader);
}

void Canvas::fillOutlined(const Shape& shape, Colour colour, Colour line, double width)
{
    fillOutlined(shape, [colour](double, double) { return colour; }, line, width);
}

std::vector<unsigned char> Canvas::toRgb() const
{
    std::vector<unsigned char> out(colour_.size() * 3, 0);
    for (size_t i = 0; i < colour_.size(); ++i) {
        if (cover_[i] < 0.5)
            continue;
        const double ch[3] = {colour_[i].r, colour_[i].g, colour_[i].b};
        for (int k = 0; k < 3; ++k) {
            const int v = static_cast<int>(det::floorD(det::clamp(ch[k], 0, 1) * 255.0 + 0.5));
            out[i * 3 + k] = static_cast<unsigned char>(std::max(v, kMinArt));
        }
    }
    return out;
}

}  // namespace art
