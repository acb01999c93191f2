// demopictures: makes the demo game's pictures.
//   demopictures <game-folder>
// Backgrounds (bg\*.png, 800 x 600, and a tall sky for the pan), character
// sprites with soft alpha edges (chara\*.png), an event picture
// (event\ev01.png), the reveal band's picture, the message window's pictures
// (window, backing, page-end marker, fast-forward button, name and place
// frames), the backlog's scroll bar (track, slider, up and down buttons plain
// and pressed), the placeholder "chip\tofu.png", the mouse cursor
// "chip\cursor.png", and the screens' pictures: the start menu, the gallery
// (full pictures under "picture", thumbnails under "cg") and the scene replay
// (faces, busts, scene thumbnails under "replay"), with their hit-test
// pictures. Labels use the small font of DemoFont.h. Everything is computed
// here, so the pictures are the same on every machine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "DemoFont.h"
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


using Pixel = std::function<uint32_t(int, int)>;

// The colour of a over b by a's alpha (b opaque).
uint32_t Over(uint32_t a, uint32_t b)
{
    const int alpha = static_cast<int>(a >> 24);
    auto mix = [&](int shift) {
        return (static_cast<int>((a >> shift) & 0xFF) * alpha + static_cast<int>((b >> shift) & 0xFF) * (255 - alpha)) / 255;
    };
    return Argb(255, mix(16), mix(8), mix(0));
}

// p (w0 x h0) sampled down or up to w x h, nearest pixel.
Pixel Scaled(const Pixel& p, int w0, int h0, int w, int h)
{
    return [=](int x, int y) { return p(x * w0 / w, y * h0 / h); };
}

// A rounded panel with a rim and a centred label; `sink` moves the label down.
Pixel Button(int w, int h, uint32_t fill, uint32_t rim, const std::string& label, uint32_t ink, int scale, int sink)
{
    const int left = (w - demofont::TextWidth(label, scale)) / 2;
    const int top = (h - demofont::kGlyphHeight * scale) / 2 + sink;
    return [=](int x, int y) {
        const int r = std::min(8, h / 3);
        const int dx = std::max({0, r - x, x - (w - 1 - r)});
        const int dy = std::max({0, r - y, y - (h - 1 - r)});
        const int d2 = dx * dx + dy * dy;
        if (d2 > r * r)
            return Argb(0, 0, 0, 0);
        if (x < 2 || y < 2 || x > w - 3 || y > h - 3 || d2 > (r - 2) * (r - 2))
            return rim;
        return demofont::TextCovers(label, scale, left, top, x, y) ? ink : fill;
    };
}

// Flat colour rectangles on black: the hit-test pictures.
struct HitRect {
    int left, top, width, height;
    uint32_t argb;
};
Pixel HitTest(std::vector<HitRect> rects)
{
    return [=](int x, int y) {
        for (const HitRect& r : rects) {
            if (x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height)
                return r.argb;
        }
        return Argb(255, 0, 0, 0);
    };
}

// Hit colours as ARGB: the screens read 0x00BBGGRR masked with 0xF0F0F0.
constexpr uint32_t kHitRed = 0xFFF00000u;      // 0x0000F0
constexpr uint32_t kHitYellow = 0xFFF0F000u;   // 0x00F0F0
constexpr uint32_t kHitGreen = 0xFF00F000u;    // 0x00F000
constexpr uint32_t kHitCyan = 0xFF00F0F0u;     // 0xF0F000
constexpr uint32_t kHitBlue = 0xFF0000F0u;     // 0xF00000
constexpr uint32_t kHitMagenta = 0xFFF000F0u;  // 0xF000F0

// A sprite (w0 x h0, alpha) standing in the middle of an 800 x 600 evening backdrop.
Pixel OverBackdrop(const Pixel& sprite, int w0, int h0)
{
    const Pixel back = Gradient(40, 40, 80, 160, 120, 140, 600, 0);
    return [=](int x, int y) {
        const int sx = x - (800 - w0) / 2, sy = y - (600 - h0);
        const uint32_t b = back(x, y);
        return sx >= 0 && sx < w0 && sy >= 0 && sy < h0 ? Over(sprite(sx, sy), b) : b;
    };
}

// A dark "not seen" card with a label.
Pixel Locked(int w, int h, const std::string& label, int scale)
{
    const int left = (w - demofont::TextWidth(label, scale)) / 2;
    const int top = (h - demofont::kGlyphHeight * scale) / 2;
    return [=](int x, int y) {
        if (x < 2 || y < 2 || x >= w - 2 || y >= h - 2)
            return Argb(255, 90, 90, 110);
        if (demofont::TextCovers(label, scale, left, top, x, y))
            return Argb(255, 150, 150, 170);
        return ((x + y) / 6) % 2 ? Argb(255, 30, 30, 40) : Argb(255, 38, 38, 50);
    };
}

constexpr int kMenuButtonWidth = 200;
constexpr int kMenuButtonHeight = 40;

bool MakeStartMenu(const std::string& out)
{
    bool ok = Make(out, "chip/start_back.png", 800, 600, false, [](int, int) { return Argb(255, 0, 0, 0); });
    const char* names[] = {"start", "load", "cg", "replay", "music", "exit"};
    const char* labels[] = {"START", "LOAD", "GALLERY", "REPLAY", "MUSIC", "EXIT"};
    for (int i = 0; i < 6; ++i) {
        ok &= Make(out, std::string("chip/start_") + names[i] + "_l.png", kMenuButtonWidth, kMenuButtonHeight, true,
                   Button(kMenuButtonWidth, kMenuButtonHeight, Argb(225, 120, 80, 20), Argb(255, 255, 220, 120),
                          labels[i], Argb(255, 255, 245, 200), 3, 0));
        ok &= Make(out, std::string("chip/start_") + names[i] + "_d.png", kMenuButtonWidth, kMenuButtonHeight, true,
                   Button(kMenuButtonWidth, kMenuButtonHeight, Argb(150, 25, 25, 55), Argb(200, 110, 110, 150),
                          labels[i], Argb(255, 190, 190, 215), 3, 0));
    }
    // The foreground: the title and a rising moon; the rest lets the stars through.
    const std::string title = "LANTERN";
    const int titleLeft = (800 - demofont::TextWidth(title, 10)) / 2;
    ok &= Make(out, "chip/start_a.png", 800, 600, true, [=](int x, int y) {
        if (demofont::TextCovers(title, 10, titleLeft, 80, x, y))
            return Argb(255, 255, 214, 120);
        if (demofont::TextCovers(title, 10, titleLeft + 4, 84, x, y))
            return Argb(160, 120, 60, 10);  // the title's shadow
        const double moon = std::hypot(x - 640.0, y - 360.0);
        if (moon < 70)
            return Argb(255, 250, 240, 200);
        if (moon < 110)
            return Argb(static_cast<int>(120 * (110 - moon) / 40), 250, 230, 170);
        return Argb(0, 0, 0, 0);
    });
    for (int i = 0; i < 4; ++i) {
        const int size = 2 + i;
        const int shade = 150 + 35 * i;
        ok &= Make(out, "chip/start_star" + std::to_string(i + 1) + ".png", 2 * size + 1, 2 * size + 1, true,
                   [=](int x, int y) {
                       const double d = std::hypot(x - size, y - size) / (size + 0.5);
                       return Argb(static_cast<int>(255 * std::clamp(1.0 - d, 0.0, 1.0)), shade, shade, 255);
                   });
    }
    const uint32_t colors[] = {kHitRed, kHitYellow, kHitGreen, kHitCyan, 0, kHitMagenta};
    std::vector<HitRect> rects;
    for (int i = 0; i < 6; ++i) {
        if (colors[i])
            rects.push_back({80, 260 + 50 * i, kMenuButtonWidth, kMenuButtonHeight, colors[i]});
    }
    ok &= Make(out, "chip/start_hittest.png", 800, 600, false, HitTest(rects));
    return ok;
}

// The gallery's and the replay's shared frame: back picture, tabs, title
// button, hit test, and the counter's digits.
bool MakeTabFrame(const std::string& out)
{
    // Drawn colour-keyed, and the key is the top-left pixel: that one pixel
    // is black, a colour the rest of the picture never uses.
    bool ok = Make(out, "chip/cgreplay_back.png", 800, 600, false, [](int x, int y) {
        if (x == 0 && y == 0)
            return Argb(255, 0, 0, 0);
        const bool line = y == 40 || y == 540 || x == 750;
        return line ? Argb(255, 120, 110, 160)
                    : Argb(255, 16 + y / 30, 18 + y / 40, 40 + y / 12);
    });
    for (int i = 1; i <= 5; ++i) {
        const std::string digit(1, static_cast<char>('0' + i));
        ok &= Make(out, "chip/cgreplay_" + digit + "d.png", 38, 50, true,
                   Button(38, 50, Argb(190, 40, 40, 75), Argb(220, 110, 110, 150), digit, Argb(255, 170, 170, 200), 3, 0));
        ok &= Make(out, "chip/cgreplay_" + digit + "l.png", 38, 50, true,
                   Button(38, 50, Argb(240, 200, 140, 50), Argb(255, 255, 230, 150), digit, Argb(255, 255, 255, 255), 3, 0));
    }
    for (const char* name : {"chip/cg_title.png", "chip/replay_title.png"}) {
        ok &= Make(out, name, 250, 40, true,
                   Button(250, 40, Argb(200, 40, 40, 75), Argb(230, 160, 150, 200), "BACK TO TITLE",
                          Argb(255, 230, 230, 240), 2, 0));
    }
    std::vector<HitRect> rects;
    const uint32_t tabs[] = {kHitRed, kHitYellow, kHitGreen, kHitCyan, kHitBlue};
    for (int i = 0; i < 5; ++i)
        rects.push_back({762, 160 + 56 * i, 38, 50, tabs[i]});
    rects.push_back({275, 550, 250, 40, kHitMagenta});
    ok &= Make(out, "chip/cgreplay_hittest.png", 800, 600, false, HitTest(rects));
    for (int i = 0; i <= 10; ++i) {
        const std::string glyph(1, i < 10 ? static_cast<char>('0' + i) : '/');
        ok &= Make(out, "chip/num_" + (i < 10 ? glyph : std::string("s")) + ".png", 12, 16, true, [=](int x, int y) {
            return demofont::TextCovers(glyph, 2, 1, 1, x, y) ? Argb(255, 240, 230, 200) : Argb(0, 0, 0, 0);
        });
    }
    return ok;
}

struct GalleryPicture {
    std::string name;
    Pixel pixel;
    int width, height;
};

// Each picture full size under "picture" (800 x 600) and as a 110 x 82
// thumbnail under "cg"; the placeholders of unseen ones.
bool MakeGallery(const std::string& out, const std::vector<GalleryPicture>& pictures)
{
    bool ok = true;
    for (const GalleryPicture& p : pictures) {
        ok &= Make(out, "picture/" + p.name, 800, 600, false, Scaled(p.pixel, p.width, p.height, 800, 600));
        ok &= Make(out, "cg/" + p.name, 110, 82, false, Scaled(p.pixel, p.width, p.height, 110, 82));
    }
    ok &= Make(out, "chip/cg_notseen.png", 110, 82, false, Locked(110, 82, "LOCKED", 2));
    ok &= Make(out, "chip/cg_bignotseen.png", 800, 600, false, Locked(800, 600, "NOT SEEN YET", 6));
    return ok;
}

struct ReplayCharacter {
    std::string key;
    int r, g, b;
    Pixel bust;
};
struct ReplayScene {
    std::string name;
    Pixel pixel;
};

// Faces (64 x 64, plain and selected), busts (210 x 420) and scene thumbnails
// (220 x 165 under "replay").
bool MakeSceneReplay(const std::string& out, const std::vector<ReplayCharacter>& characters,
                     const std::vector<ReplayScene>& scenes)
{
    bool ok = true;
    for (const ReplayCharacter& c : characters) {
        std::string initial(1, static_cast<char>(c.key[0] - 'a' + 'A'));
        for (bool lit : {false, true}) {
            const double k = lit ? 1.0 : 0.45;
            ok &= Make(out, "chip/replay_face_" + c.key + (lit ? "_l.png" : "_d.png"), 64, 64, false, [=](int x, int y) {
                const double d = std::hypot(x - 31.5, y - 31.5);
                if (d > 30)
                    return lit ? Argb(255, 255, 220, 120) : Argb(255, 50, 50, 70);
                if (demofont::TextCovers(initial, 5, 20, 15, x, y))
                    return Argb(255, static_cast<int>(255 * k), static_cast<int>(255 * k), static_cast<int>(255 * k));
                return Argb(255, static_cast<int>(c.r * k), static_cast<int>(c.g * k), static_cast<int>(c.b * k));
            });
        }
        ok &= Make(out, "chip/replay_bust_" + c.key + ".png", 210, 420, true, c.bust);
    }
    for (const ReplayScene& s : scenes)
        ok &= Make(out, "replay/" + s.name, 220, 165, false, Scaled(s.pixel, 800, 600, 220, 165));
    ok &= Make(out, "chip/replay_notseen.png", 220, 165, false, Locked(220, 165, "NOT SEEN YET", 2));
    return ok;
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
    const Pixel room = Gradient(90, 60, 40, 200, 160, 110, 600, 3);
    const Pixel garden = Gradient(120, 190, 240, 40, 140, 50, 600, 4);
    const Pixel library = Gradient(60, 30, 30, 150, 100, 60, 600, 2);
    // The tall sky the vertical pan scrolls through: dark at the top, with
    // stars, light at the bottom.
    const Pixel sky = [](int x, int y) {
        const double t = y / 1199.0;
        const bool star = y < 700 && ((x * 7919 + y * 104729) % 997) == 0;
        return star ? Argb(255, 255, 255, 230)
                    : Argb(255, static_cast<int>(10 + 230 * t), static_cast<int>(20 + 170 * t),
                           static_cast<int>(60 + 150 * t));
    };
    const Pixel mio = Figure(200, 80, 110);
    const Pixel ren = Figure(70, 110, 200);
    // The event picture: concentric rings.
    const Pixel ev01 = [](int x, int y) {
        const double d = std::hypot(x - 400.0, y - 300.0);
        const int ring = static_cast<int>(d / 30) % 2;
        return ring ? Argb(255, 250, 210, 90) : Argb(255, 180, 60, 40);
    };
    ok &= Make(out, "bg/room.png", 800, 600, false, room);
    ok &= Make(out, "bg/garden.png", 800, 600, false, garden);
    ok &= Make(out, "bg/library.png", 800, 600, false, library);
    ok &= Make(out, "bg/sky.png", 800, 1200, false, sky);
    ok &= Make(out, "chara/mio.png", 300, 600, true, mio);
    ok &= Make(out, "chara/ren.png", 300, 600, true, ren);
    ok &= Make(out, "event/ev01.png", 800, 600, false, ev01);
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
    // The fast-forward button: at rest, under the pointer (lit blue) and
    // pressed (amber, the label sunk by a pixel).
    ok &= Make(out, "chip/ff0.png", 64, 24, true,
               Button(64, 24, Argb(255, 55, 55, 75), Argb(255, 150, 150, 170), "SKIP", Argb(255, 200, 200, 210), 2, 0));
    ok &= Make(out, "chip/ff1.png", 64, 24, true,
               Button(64, 24, Argb(255, 60, 110, 190), Argb(255, 200, 230, 255), "SKIP", Argb(255, 255, 255, 255), 2, 0));
    ok &= Make(out, "chip/ff2.png", 64, 24, true,
               Button(64, 24, Argb(255, 235, 190, 80), Argb(255, 120, 80, 20), "SKIP", Argb(255, 50, 30, 10), 2, 1));
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
    ok &= MakeStartMenu(out);
    ok &= MakeTabFrame(out);
    ok &= MakeGallery(out, {{"room.png", room, 800, 600},
                            {"garden.png", garden, 800, 600},
                            {"library.png", library, 800, 600},
                            {"ev01.png", ev01, 800, 600},
                            {"sky.png", sky, 800, 1200},
                            {"mio.png", OverBackdrop(mio, 300, 600), 800, 600},
                            {"ren.png", OverBackdrop(ren, 300, 600), 800, 600}});
    // The busts: the sprites at 70 percent, low enough to leave the faces free.
    ok &= MakeSceneReplay(out, {{"mio", 200, 80, 110, Scaled(mio, 300, 600, 210, 420)},
                                {"ren", 70, 110, 200, Scaled(ren, 300, 600, 210, 420)}},
                          {{"garden.png", garden}, {"library.png", library}});
    return ok ? 0 : 1;
}
