// demopictures: makes the demo game's pictures.
//   demopictures <game-folder>
// Backgrounds (bg\*.png, 800 x 600, and a tall sky for the pan), character
// sprites with soft alpha edges (chara\*.png), an event picture
// (event\ev01.png), the reveal band's picture, the message window's pictures
// (window, backing, page-end marker, fast-forward button, name and place
// frames), the backlog's scroll bar (track, slider, up and down buttons plain
// and pressed), the placeholder "chip\tofu.png" and the mouse cursor
// "chip\cursor.png". Everything is computed here, so the pictures are the
// same on every machine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "PngWrite.h"

namespace {

uint32_t Argb(int a, int r, int g, int b)
{
    auto c = [](int v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

bool Make(const std::string& folder, const std::string& name, int w, int h, bool alpha,
          const std::function<uint32_t(int, int)>& pixel)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels[static_cast<size_t>(y) * w + x] = pixel(x, y);
    const bool ok = pngwrite::WritePngFile(folder + "/" + name, w, h, pixels, alpha);
    if (!ok)
        std::fprintf(stderr, "demopictures: cannot write %s\n", name.c_str());
    return ok;
}

// A vertical gradient from top to bottom colour with a few horizontal bands.
std::function<uint32_t(int, int)> Gradient(int r0, int g0, int b0, int r1, int g1, int b1, int h, int stripes)
{
    return [=](int x, int y) {
        const double t = static_cast<double>(y) / (h - 1);
        const int band = stripes > 0 && ((y / 40 + x / 160) % stripes) == 0 ? 18 : 0;
        return Argb(255, static_cast<int>(r0 + (r1 - r0) * t) + band, static_cast<int>(g0 + (g1 - g0) * t) + band,
                    static_cast<int>(b0 + (b1 - b0) * t) + band);
    };
}

// A figure: an ellipse body and a round head, soft-edged by alpha.
std::function<uint32_t(int, int)> Figure(int r, int g, int b)
{
    return [=](int x, int y) {
        const double head = std::hypot((x - 150) / 70.0, (y - 110) / 80.0);
        const double body = std::hypot((x - 150) / 120.0, (y - 380) / 200.0);
        const double d = std::min(head, body);
        const double a = std::clamp((1.0 - d) * 12.0, 0.0, 1.0);
        const int shade = head < 1.0 ? 40 : 0;
        return Argb(static_cast<int>(a * 255), r + shade, g + shade, b + shade);
    };
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: demopictures <game-folder>\n");
        return 2;
    }
    const std::string out = argv[1];
    bool ok = true;
    ok &= Make(out, "bg/room.png", 800, 600, false, Gradient(90, 60, 40, 200, 160, 110, 600, 3));
    ok &= Make(out, "bg/garden.png", 800, 600, false, Gradient(120, 190, 240, 40, 140, 50, 600, 4));
    ok &= Make(out, "bg/library.png", 800, 600, false, Gradient(60, 30, 30, 150, 100, 60, 600, 2));
    // The tall sky the vertical pan scrolls through: dark at the top, with
    // stars, light at the bottom.
    ok &= Make(out, "bg/sky.png", 800, 1200, false, [](int x, int y) {
        const double t = y / 1199.0;
        const bool star = y < 700 && ((x * 7919 + y * 104729) % 997) == 0;
        return star ? Argb(255, 255, 255, 230)
                    : Argb(255, static_cast<int>(10 + 230 * t), static_cast<int>(20 + 170 * t),
                           static_cast<int>(60 + 150 * t));
    });
    ok &= Make(out, "chara/mio.png", 300, 600, true, Figure(200, 80, 110));
    ok &= Make(out, "chara/ren.png", 300, 600, true, Figure(70, 110, 200));
    // The event picture: concentric rings.
    ok &= Make(out, "event/ev01.png", 800, 600, false, [](int x, int y) {
        const double d = std::hypot(x - 400.0, y - 300.0);
        const int ring = static_cast<int>(d / 30) % 2;
        return ring ? Argb(255, 250, 210, 90) : Argb(255, 180, 60, 40);
    });
    ok &= Make(out, "chip/vista.png", 800, 60, true, [](int, int y) { return Argb(255 - y * 4, 0, 0, 0); });
    // The message window: a rounded translucent panel on a darker backing.
    const auto panel = [](int w, int h, int alpha, int r, int g, int b) {
        return [=](int x, int y) {
            const int dx = std::max({0, 12 - x, x - (w - 13)});
            const int dy = std::max({0, 12 - y, y - (h - 13)});
            const bool inside = dx * dx + dy * dy <= 144;
            const bool rim = inside && (x < 3 || y < 3 || x > w - 4 || y > h - 4 || dx * dx + dy * dy > 100);
            if (!inside)
                return Argb(0, 0, 0, 0);
            return rim ? Argb(255, 230, 220, 190) : Argb(alpha, r, g, b);
        };
    };
    ok &= Make(out, "chip/frame.png", 780, 180, true, panel(780, 180, 200, 20, 24, 48));
    ok &= Make(out, "chip/frameback.png", 780, 180, true, panel(780, 180, 120, 0, 0, 0));
    ok &= Make(out, "chip/nameframe.png", 200, 28, true, panel(200, 28, 220, 60, 40, 80));
    ok &= Make(out, "chip/placeframe.png", 200, 28, true, panel(200, 28, 220, 40, 60, 80));
    for (int i = 0; i < 2; ++i) {
        ok &= Make(out, "chip/marker" + std::to_string(i) + ".png", 16, 16, true, [i](int x, int y) {
            const int top = i * 3;  // the marker bobs by three pixels
            const bool in = y >= top && y < top + 12 && std::abs(x - 8) <= (top + 12 - y) / 2;
            return in ? Argb(255, 250, 230, 120) : Argb(0, 0, 0, 0);
        });
    }
    const int buttonShades[] = {90, 150, 220};
    for (int i = 0; i < 3; ++i) {
        const int shade = buttonShades[i];
        ok &= Make(out, "chip/ff" + std::to_string(i) + ".png", 64, 24, true, panel(64, 24, 255, shade, shade, shade));
    }
    // The backlog's scroll bar, 24 pixels wide down the right edge: a dark
    // track with a groove, a light slider, and arrow buttons that light up
    // when pressed.
    constexpr int kBar = 24;
    ok &= Make(out, "chip/backlog_back.png", kBar, 600, false, [](int x, int) {
        return std::abs(x - kBar / 2) <= 1 ? Argb(255, 70, 70, 100) : Argb(255, 28, 28, 44);
    });
    ok &= Make(out, "chip/backlog_slider.png", kBar, 40, false, [](int x, int y) {
        const bool rim = x < 2 || y < 2 || x > kBar - 3 || y > 37;
        return rim ? Argb(255, 120, 120, 170) : Argb(255, 200, 200, 235);
    });
    const auto arrow = [](bool up, int shade) {
        return [=](int x, int y) {
            const int dy = up ? y - 7 : 16 - y;  // the tip's distance down (up) the button
            const bool in = dy >= 0 && dy <= 9 && std::abs(x - kBar / 2) <= dy;
            const bool rim = x == 0 || y == 0 || x == kBar - 1 || y == kBar - 1;
            if (in)
                return Argb(255, 240, 240, 250);
            return rim ? Argb(255, 120, 120, 170) : Argb(255, shade, shade, shade + 40);
        };
    };
    ok &= Make(out, "chip/backlog_upnormal.png", kBar, kBar, false, arrow(true, 50));
    ok &= Make(out, "chip/backlog_uponmouse.png", kBar, kBar, false, arrow(true, 110));
    ok &= Make(out, "chip/backlog_downnormal.png", kBar, kBar, false, arrow(false, 50));
    ok &= Make(out, "chip/backlog_downomouse.png", kBar, kBar, false, arrow(false, 110));
    ok &= Make(out, "chip/tofu.png", 64, 64, false, [](int x, int y) {
        const bool edge = x < 2 || y < 2 || x > 61 || y > 61;
        return edge ? Argb(255, 120, 120, 120) : Argb(255, 245, 240, 225);
    });
    // An arrow cursor, hot spot at (15, 15): white with a dark rim.
    ok &= Make(out, "chip/cursor.png", 32, 32, true, [](int x, int y) {
        const int dx = x - 15, dy = y - 15;
        const bool inside = dx >= 0 && dy >= 0 && dx <= dy && dy < 14 && !(dy > 10 && dx > 5);
        const bool rim = dx >= -1 && dy >= -1 && dx <= dy + 1 && dy < 15 && !(dy > 11 && dx > 6);
        if (inside)
            return Argb(255, 255, 255, 255);
        return rim ? Argb(255, 20, 20, 20) : Argb(0, 0, 0, 0);
    });
    return ok ? 0 : 1;
}
