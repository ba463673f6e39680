#include "tools/assets/sprites.h"

#include "image/bmp_write.h"
#include "platform/out_file.h"
#include "tools/assets/canvas.h"
#include "tools/assets/detmath.h"

#include <cmath>

namespace art {

namespace {

const Colour kInk = rgb8(34, 26, 44);  // outlines: dark, but well clear of the key

// The vehicle stands on the grass line: the strip's top edge crosses its quad 0.12 / 0.25 of
// the height above the bottom, at row 0.48 * 256. The tyres reach a few rows below it, among
// the blade tips, so the vehicle stands in the grass rather than hovering over it.
constexpr double kGround = 0.48 * 256;

struct VehicleFrame {
    double sx, sy;       // body squash (< 1) or stretch (> 1) about the middle of the wheel line
    double wheelRx, wheelRy;
    bool worn;           // the final frame: dents, cracks, a plaster and smoke
};

// The lamp's square is placed 0.19 right of and 0.15 above the vehicle's corner but 0.1 nearer
// the eye (z = -0.9), so the perspective shows it 1/0.9 times further from the view's centre
// and larger: its middle lands 47.8 % across and 61.3 % up the vehicle quad, 11.1 % x 22.2 % of
// it. The housing is drawn there in every frame and is never squashed.
const Point kLampCentre{(0.19 + 0.025) / 0.9 / 0.5 * 512, ((0.15 + 0.025 - 0.37) / 0.9 + 0.37) / 0.25 * 256};

void drawWheel(Canvas& c, double cx, double rx, double ry, bool worn)
{
    const double cy = kGround + ry - 2.5;  // the tyre sinks a little into the blade tips
    c.fillOutlined(ellipse(cx, cy, rx, ry), radialRamp({cx - 6, cy + 8}, rx * 1.3, rgb8(84, 84, 96), rgb8(38, 38, 46)), kInk, 2.5);
    c.fillOutlined(ellipse(cx, cy, rx * 0.52, ry * 0.52), radialRamp({cx - 4, cy + 4}, rx * 0.6, rgb8(236, 236, 244), rgb8(150, 152, 166)), kInk, 1.5);
    if (!worn)
        c.fillOutlined(ellipse(cx, cy, rx * 0.18, ry * 0.18), rgb8(220, 60, 50), kInk, 1.0);
    // Tread marks along the tyre, so the wheels read as wheels at a glance.
    for (int i = 0; i < 10; ++i) {
        const double a = det::kTwoPi * i / 10.0;
        const Point p{cx + det::cos(a) * rx * 0.84, cy + det::sin(a) * ry * 0.84};
        c.fill(circle(p.x, p.y, 2.0), rgb8(26, 26, 32));
    }
}

void drawVehicle(Canvas& c, const VehicleFrame& f)
{
    const Point anchor{256, kGround + 18};
    auto T = [&](Shape s) { return scaled(std::move(s), anchor, f.sx, f.sy); };
    auto X = [&](double x) { return anchor.x + (x - anchor.x) * f.sx; };

    const Colour bodyLow = rgb8(176, 36, 40), bodyHigh = rgb8(246, 96, 72);
    const Shader body = verticalRamp(anchor.y, bodyLow, anchor.y + 80 * f.sy, bodyHigh);

    // Exhaust pipe at the back, under everything else.
    c.fillOutlined(T(roundedBox(448, 146, 482, 156, 4)), rgb8(150, 150, 160), kInk, 2);

    // Cabin, then the lower body over it.
    c.fillOutlined(T(polygon({{132, 190}, {186, 234}, {432, 234}, {450, 218}, {450, 190}})), body, kInk, 3);
    c.fillOutlined(T(roundedBox(54, 140, 466, 200, 20)), body, kInk, 3);

    // Cream stripe along the side.
    c.fill(intersect(T(roundedBox(54, 140, 466, 200, 20)), T(roundedBox(40, 160, 480, 170, 0))), rgb8(250, 228, 176));

    // Windows: windscreen at the front (left), two side windows.
    const Shader glass = verticalRamp(anchor.y + 50 * f.sy, rgb8(84, 140, 204), anchor.y + 78 * f.sy, rgb8(176, 226, 250));
    c.fillOutlined(T(polygon({{156, 206}, {184, 228}, {244, 228}, {244, 206}})), glass, kInk, 2.5);
    c.fillOutlined(T(roundedBox(262, 206, 336, 228, 5)), glass, kInk, 2.5);
    c.fillOutlined(T(roundedBox(350, 206, 428, 228, 5)), glass, kInk, 2.5);
    // A glint on each window.
    c.fill(T(polygon({{196, 224}, {206, 224}, {194, 210}, {184, 210}})), rgb8(236, 248, 255));
    c.fill(T(polygon({{292, 225}, {300, 225}, {290, 209}, {282, 209}})), rgb8(236, 248, 255));
    c.fill(T(polygon({{382, 225}, {390, 225}, {380, 209}, {372, 209}})), rgb8(236, 248, 255));

    // Door seams and a handle.
    c.fill(T(roundedBox(253, 146, 256, 230, 1)), rgb8(120, 24, 32));
    c.fill(T(roundedBox(341, 146, 344, 230, 1)), rgb8(120, 24, 32));
    c.fillOutlined(T(roundedBox(314, 180, 332, 185, 2)), rgb8(214, 216, 228), kInk, 1.5);

    // Headlight at the front, tail light at the back, chrome bumpers.
    c.fillOutlined(T(ellipse(66, 182, 9, 11)), radialRamp({X(64), anchor.y + 46 * f.sy}, 11, rgb8(255, 255, 220), rgb8(244, 200, 80)), kInk, 2);
    c.fillOutlined(T(roundedBox(456, 174, 466, 192, 3)), rgb8(230, 60, 40), kInk, 2);
    if (f.worn) {
        // Knocked askew by the cow.
        c.fillOutlined(polygon({{X(40), kGround + 20}, {X(104), kGround + 12}, {X(106), kGround + 23}, {X(42), kGround + 31}}),
                       rgb8(200, 204, 216), kInk, 2);
    } else {
        c.fillOutlined(T(roundedBox(40, 140, 104, 152, 5)), verticalRamp(anchor.y - 14, rgb8(150, 154, 170), anchor.y, rgb8(236, 238, 246)), kInk, 2);
    }
    c.fillOutlined(T(roundedBox(430, 140, 476, 152, 5)), verticalRamp(anchor.y - 14, rgb8(150, 154, 170), anchor.y, rgb8(236, 238, 246)), kInk, 2);

    // Wheel arches, then the wheels, which do not squash as much as the body.
    const double frontX = X(128), rearX = X(384);
    for (double wx : {frontX, rearX})
        c.fill(intersect(ellipse(wx, kGround + f.wheelRy - 2.5, f.wheelRx + 7, f.wheelRy + 7), T(roundedBox(54, 140, 466, 200, 20))), rgb8(70, 14, 24));
    drawWheel(c, frontX, f.wheelRx, f.wheelRy, false);
    drawWheel(c, rearX, f.wheelRx, f.wheelRy, f.worn);

    // The lamp housing: a chrome ring around dark glass, where the lit lamp will shine.
    const Point L = kLampCentre;
    c.fillOutlined(circle(L.x, L.y, 18), radialRamp({L.x - 5, L.y + 5}, 21, rgb8(246, 246, 252), rgb8(132, 136, 150)), kInk, 2.5);
    c.fillOutlined(circle(L.x, L.y, 12), radialRamp({L.x - 3, L.y + 3}, 14, rgb8(228, 222, 176), rgb8(150, 140, 96)), kInk, 1.5);
    c.fill(ellipse(L.x - 4, L.y + 5, 4, 2.5), rgb8(255, 255, 240));

    if (f.worn) {
        // Cracks in the windscreen.
        const Colour crack = rgb8(244, 250, 255);
        c.fill(capsule({X(206), anchor.y + 70 * f.sy}, {X(196), anchor.y + 62 * f.sy}, 1.0), crack);
        c.fill(capsule({X(206), anchor.y + 70 * f.sy}, {X(220), anchor.y + 64 * f.sy}, 1.0), crack);
        c.fill(capsule({X(206), anchor.y + 70 * f.sy}, {X(212), anchor.y + 80 * f.sy}, 1.0), crack);
        c.fill(capsule({X(196), anchor.y + 62 * f.sy}, {X(188), anchor.y + 60 * f.sy}, 1.0), crack);
        // Dents.
        for (const Point p : {Point{120, 186}, Point{300, 156}, Point{410, 184}}) {
            c.fill(T(ellipse(p.x, p.y, 12, 5)), rgb8(132, 26, 34));
            c.fill(T(ellipse(p.x + 2, p.y + 2, 8, 2)), rgb8(252, 140, 120));
        }
        // A plaster across the front.
        c.fillOutlined(T(polygon({{92, 170}, {136, 190}, {140, 182}, {96, 162}})), rgb8(240, 210, 170), kInk, 1.5);
        c.fillOutlined(T(polygon({{94, 188}, {138, 166}, {134, 158}, {90, 180}})), rgb8(240, 210, 170), kInk, 1.5);
        // Smoke from the exhaust.
        const Colour smoke = rgb8(196, 196, 206);
        c.fillOutlined(circle(X(486), kGround + 50, 11), smoke, rgb8(120, 120, 136), 2);
        c.fillOutlined(circle(X(496), kGround + 74, 9), smoke, rgb8(120, 120, 136), 2);
        c.fillOutlined(circle(X(500), kGround + 96, 7), smoke, rgb8(120, 120, 136), 2);
    }
}

Sprite vehicle(const char* file, const VehicleFrame& f)
{
    Canvas c(512, 256);
    drawVehicle(c, f);
    return {file, c.width(), c.height(), c.toRgb()};
}

Sprite lamp()
{
    Canvas c(64, 64);
    const Point o{32, 31};
    std::vector<Point> star;
    for (int i = 0; i < 24; ++i) {
        const double a = det::kTwoPi * i / 24.0;
        const double r = (i % 2) ? 20.0 : 29.0;
        star.push_back({o.x + det::cos(a) * r, o.y + det::sin(a) * r});
    }
    c.fillOutlined(polygon(star), radialRamp(o, 29, rgb8(255, 236, 120), rgb8(255, 150, 40)), rgb8(196, 96, 24), 1.5);
    c.fillOutlined(circle(o.x, o.y, 17), radialRamp({o.x - 3, o.y + 3}, 18, rgb8(255, 255, 236), rgb8(255, 214, 90)), rgb8(214, 130, 30), 1.5);
    c.fill(ellipse(o.x - 5, o.y + 6, 5, 3.5), rgb8(255, 255, 255));
    return {"lampa.bmp", c.width(), c.height(), c.toRgb()};
}

Sprite cow()
{
    Canvas c(256, 256);
    // Drawn on a 256 grid, then shrunk so she stands about as tall as the vehicle with her
    // hooves in the grass (the quad's bottom is well below the strip's top edge).
    c.setFrame(0.78, {28.2, 52.8});
    const Colour hide = rgb8(246, 244, 236), hideShade = rgb8(196, 194, 204);
    const Colour patch = rgb8(46, 38, 48), pink = rgb8(246, 170, 176), hoof = rgb8(70, 58, 60);
    const Shader hideRamp = verticalRamp(80, hideShade, 160, hide);

    // Tail first, hanging from the rump; its tuft stays clear of the legs.
    c.fill(capsule({48, 142}, {30, 112}, 3.5), kInk);
    c.fill(capsule({30, 112}, {28, 88}, 3.5), kInk);
    c.fill(capsule({48, 142}, {30, 112}, 2.0), hide);
    c.fill(capsule({30, 112}, {28, 88}, 2.0), hide);
    c.fillOutlined(ellipse(28, 82, 6, 10), patch, kInk, 1.5);

    // Legs behind the body: the far pair a shade darker.
    const Colour far = rgb8(206, 204, 200);
    for (double x : {82.0, 160.0}) {
        c.fillOutlined(roundedBox(x, 34, x + 16, 110, 6), far, kInk, 2.5);
        c.fillOutlined(roundedBox(x - 1, 26, x + 17, 40, 4), hoof, kInk, 2);
    }
    for (double x : {64.0, 178.0}) {
        c.fillOutlined(roundedBox(x, 30, x + 18, 110, 7), hideRamp, kInk, 2.5);
        c.fillOutlined(roundedBox(x - 1, 22, x + 19, 37, 4), hoof, kInk, 2);
    }

    // Udder under the belly.
    c.fillOutlined(ellipse(132, 84, 18, 12), pink, kInk, 2);
    c.fill(roundedBox(124, 68, 128, 78, 2), pink);
    c.fill(roundedBox(136, 68, 140, 78, 2), pink);

    // Body with patches clipped to it.
    const Shape body = roundedBox(44, 80, 214, 166, 36);
    c.fillOutlined(body, hideRamp, kInk, 3);
    c.fill(intersect(body, ellipse(86, 136, 26, 20)), patch);
    c.fill(intersect(body, ellipse(150, 100, 22, 16)), patch);
    c.fill(intersect(body, ellipse(182, 156, 18, 14)), patch);
    c.fill(intersect(body, ellipse(58, 100, 12, 14)), patch);

    // Head, facing right, a little above the back line.
    c.fillOutlined(polygon({{190, 150}, {206, 186}, {224, 150}, {214, 130}}), hideRamp, kInk, 2.5);  // neck
    c.fillOutlined(ellipse(208, 190, 11, 7), patch, kInk, 2);                                         // forelock
    c.fillOutlined(capsule({212, 190}, {196, 202}, 5), rgb8(238, 226, 190), kInk, 2);                // horns
    c.fillOutlined(capsule({226, 192}, {236, 206}, 5), rgb8(238, 226, 190), kInk, 2);
    c.fillOutlined(ellipse(194, 180, 14, 7), hideShade, kInk, 2);                                    // ear
    c.fillOutlined(ellipse(222, 164, 22, 28), hideRamp, kInk, 3);
    c.fill(intersect(ellipse(222, 164, 22, 28), ellipse(214, 182, 14, 12)), patch);
    c.fillOutlined(ellipse(230, 136, 20, 14), pink, kInk, 2.5);                                     // muzzle
    c.fill(ellipse(226, 136, 3, 4), rgb8(150, 70, 86));
    c.fill(ellipse(238, 136, 3, 4), rgb8(150, 70, 86));
    c.fillOutlined(circle(230, 168, 6), rgb8(255, 255, 255), kInk, 1.5);                             // eye
    c.fill(circle(232, 168, 3.2), kInk);
    c.fill(circle(233, 169.5, 1.2), rgb8(255, 255, 255));
    // A bell on a strap.
    c.fill(capsule({206, 138}, {222, 124}, 3), rgb8(150, 70, 60));
    c.fillOutlined(polygon({{210, 124}, {222, 124}, {226, 108}, {206, 108}}), rgb8(248, 204, 70), kInk, 2);

    return {"kossa.bmp", c.width(), c.height(), c.toRgb()};
}

// A blade bends from its root toward its tip along a quadratic curve and tapers to a point.
Shape blade(double x, double y, double height, double width, double bend)
{
    std::vector<Point> left, right;
    const int steps = 8;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double cx = x + bend * t * t;
        const double cy = y + height * t;
        const double half = width * 0.5 * (1.0 - t * 0.92);
        left.push_back({cx - half, cy});
        right.push_back({cx + half, cy});
    }
    std::vector<Point> outline(left.begin(), left.end());
    outline.insert(outline.end(), right.rbegin(), right.rend());
    return polygon(std::move(outline));
}

Sprite grass()
{
    constexpr int W = 1024, H = 128;
    Canvas c(W, H);
    det::Random rnd(20240817);

    // Turf: opaque over the lower three quarters, darker lower down.
    c.fill(roundedBox(-8, -8, W + 8, 92, 0), verticalRamp(0, rgb8(34, 86, 30), 92, rgb8(74, 148, 48)));

    // Repeats at x - W and x + W make the tile continue across its left and right edges.
    auto wrapped = [&](const Shape& s, const Shader& sh, Colour line) {
        for (double dx : {-1.0 * W, 0.0, 1.0 * W}) {
            Shape moved{[f = s.distance, dx](double x, double y) { return f(x - dx, y); },
                        {s.box.x0 + dx, s.box.y0, s.box.x1 + dx, s.box.y1}};
            c.fillOutlined(moved, sh, line, 1.2);
        }
    };

    // Three layers of blades, back to front, each brighter; their tips leave sky between them
    // in the top rows only.
    const struct Layer { int count; double yLo, yHi, hLo, hHi; Colour root, tip, line; } layers[] = {
        {190, 84, 96, 18, 40, rgb8(30, 92, 34), rgb8(70, 150, 52), rgb8(22, 60, 26)},
        {140, 76, 90, 18, 40, rgb8(44, 120, 38), rgb8(112, 190, 64), rgb8(28, 76, 30)},
        {100, 72, 88, 22, 44, rgb8(60, 144, 44), rgb8(156, 218, 82), rgb8(34, 90, 34)},
    };
    for (const Layer& l : layers) {
        for (int i = 0; i < l.count; ++i) {
            const double x = rnd.range(0, W);
            const double y = rnd.range(l.yLo, l.yHi);
            const double h = rnd.range(l.hLo, l.hHi);
            const double w = rnd.range(5, 10);
            const double bend = rnd.range(-12, 12);
            // The top 2 % of the rows are never shown; the tips reach just below them, where
            // the vehicle's wheels touch the strip's edge.
            const double top = y + h > 124 ? 124 - y : h;
            wrapped(blade(x, y, top, w, bend), verticalRamp(y, l.root, y + top, l.tip), l.line);
        }
        // Flowers sit among the middle blades.
        if (&l == &layers[1]) {
            for (int i = 0; i < 14; ++i) {
                const double x = rnd.range(0, W);
                const double y = rnd.range(98, 112);
                const Colour petal = (i % 3 == 0) ? rgb8(255, 236, 90) : (i % 3 == 1 ? rgb8(250, 250, 246) : rgb8(236, 130, 200));
                wrapped(capsule({x, y - 20}, {x, y}, 1.5), [](double, double) { return rgb8(50, 120, 40); }, rgb8(28, 76, 30));
                for (int k = 0; k < 5; ++k) {
                    const double a = det::kTwoPi * k / 5.0 + 0.3;
                    wrapped(circle(x + det::cos(a) * 4.5, y + det::sin(a) * 4.5, 3.4), [petal](double, double) { return petal; }, rgb8(120, 90, 60));
                }
                wrapped(circle(x, y, 2.6), [](double, double) { return rgb8(240, 160, 40); }, rgb8(120, 70, 30));
            }
        }
    }
    return {"grass.bmp", W, H, c.toRgb()};
}

}  // namespace

std::vector<Sprite> makeSprites()
{
    std::vector<Sprite> out;
    out.push_back(grass());
    out.push_back(vehicle("morvask.bmp", {1.0, 1.0, 30, 30, false}));
    out.push_back(vehicle("liten.bmp", {1.06, 0.84, 32, 26, false}));
    out.push_back(vehicle("stor.bmp", {0.95, 1.12, 29, 32, false}));
    out.push_back(lamp());
    out.push_back(cow());
    out.push_back(vehicle("hal.bmp", {1.0, 1.0, 30, 30, true}));
    return out;
}

std::string writeSprites(const std::string& dir, const std::vector<Sprite>& sprites)
{
    for (const Sprite& s : sprites) {
        const std::vector<unsigned char> bytes = encodeBmp24(s.width, s.height, s.rgb.data());
        std::string error;
        if (!plat::WriteWholeFile(dir + "/" + s.file, bytes.data(), bytes.size(), &error))
            return error;
    }
    return "";
}

}  // namespace art
