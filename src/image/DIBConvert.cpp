// CDIBImage::ConvertBitCount: every source is first expanded to 32-bit BGRA
// rows (in the source's row order), then reduced to the target:
//   32  as is (alpha 0xFF unless the source had 32 bits)
//   24  blue, green, red
//   16  5-5-5; option 1 carries each channel's dropped bits into the next pixel
//   8   option 1: the fixed 6x6x6 palette with ordered dithering;
//       option 2: an optimised 256-colour palette (median cut);
//       otherwise 256 grey levels
//   4   option 2: an optimised 16-colour palette; otherwise 16 grey levels
//   1   luminance with Stucki error diffusion, threshold 128
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "image/DIBImage.h"
#include "image/DIBPixels.h"

using namespace dib;

namespace {

struct Bgra {
    uint8_t b, g, r, a;
};

inline int Grey(const Bgra& c) { return (73 * c.r + 146 * c.g + 37 * c.b) >> 8; }

// The ordered-dither thresholds of the 6x6x6 palette, indexed (x & 7) * 8 + (y & 7).
constexpr std::array<uint8_t, 64> kDither = {
    0,  38, 9,  47, 2,  40, 11, 50, 25, 12, 35, 22, 27, 15, 37, 24, 6,  44, 3,  41, 8,  47,
    5,  43, 31, 19, 28, 15, 34, 21, 31, 18, 1,  39, 11, 49, 0,  39, 10, 48, 27, 14, 36, 23,
    26, 13, 35, 23, 7,  46, 4,  43, 7,  45, 3,  42, 33, 20, 30, 17, 32, 19, 29, 16,
};

// ---- median cut --------------------------------------------------------------

struct Colour {
    uint8_t c[3];  // red, green, blue
};

struct Box {
    int lo[3];
    int side[3];
    std::vector<Colour> colours;
    int node;  // the tree leaf that stands for this box
};

struct Node {
    int axis = -1;  // -1: leaf
    int split = 0;  // value < split goes to lower
    int lower = -1;
    int upper = -1;
    int index = 0;  // palette index of a leaf
};

void Shrink(Box& box)
{
    int lo[3] = {255, 255, 255};
    int hi[3] = {0, 0, 0};
    for (const Colour& c : box.colours) {
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min<int>(lo[a], c.c[a]);
            hi[a] = std::max<int>(hi[a], c.c[a]);
        }
    }
    for (int a = 0; a < 3; ++a) {
        box.lo[a] = box.colours.empty() ? 0 : lo[a];
        box.side[a] = box.colours.empty() ? 0 : hi[a] - lo[a] + 1;
    }
}

int LongestAxis(const Box& box)
{
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (box.side[a] > box.side[axis]) axis = a;
    }
    return axis;
}

int BitLength(size_t n)
{
    int bits = 0;
    while (n != 0) {
        ++bits;
        n >>= 1;
    }
    return bits;
}

// Builds up to `count` boxes over the colours and the tree that finds them.
// Fills palette (count entries, unused ones 0) and returns the tree.
std::vector<Node> MedianCut(std::vector<Colour> colours, int count, std::vector<RgbQuad>* palette)
{
    std::vector<Node> tree(1);
    std::vector<Box> boxes(1);
    boxes[0].colours = std::move(colours);
    boxes[0].node = 0;
    Shrink(boxes[0]);
    while (static_cast<int>(boxes.size()) < count) {
        size_t chosen = 0;
        int64_t best = -1;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int64_t priority = int64_t{boxes[i].side[LongestAxis(boxes[i])]} * BitLength(boxes[i].colours.size());
            if (priority > best) {
                best = priority;
                chosen = i;
            }
        }
        Box& box = boxes[chosen];
        int axis = LongestAxis(box);
        if (box.side[axis] < 2) {
            break;
        }
        std::vector<size_t> histogram(static_cast<size_t>(box.side[axis]));
        for (const Colour& c : box.colours) ++histogram[static_cast<size_t>(c.c[axis] - box.lo[axis])];
        // Cut where the running count first reaches half; both halves keep
        // at least one value.
        size_t running = 0;
        int split = box.lo[axis] + box.side[axis] - 1;
        for (int v = 0; v < box.side[axis] - 1; ++v) {
            running += histogram[static_cast<size_t>(v)];
            if (running * 2 >= box.colours.size()) {
                split = box.lo[axis] + v + 1;
                break;
            }
        }
        Box upper;
        std::vector<Colour> lowerColours;
        for (const Colour& c : box.colours) {
            (c.c[axis] < split ? lowerColours : upper.colours).push_back(c);
        }
        box.colours = std::move(lowerColours);
        Shrink(box);
        Shrink(upper);
        Node& parent = tree[static_cast<size_t>(box.node)];
        parent.axis = axis;
        parent.split = split;
        parent.lower = static_cast<int>(tree.size());
        parent.upper = static_cast<int>(tree.size() + 1);
        int parentIndex = parent.index;
        tree.push_back(Node{-1, 0, -1, -1, parentIndex});
        tree.push_back(Node{-1, 0, -1, -1, static_cast<int>(boxes.size())});
        box.node = static_cast<int>(tree.size() - 2);
        upper.node = static_cast<int>(tree.size() - 1);
        boxes.push_back(std::move(upper));
    }
    palette->assign(static_cast<size_t>(count), RgbQuad{});
    for (const Box& box : boxes) {
        const Node& leaf = tree[static_cast<size_t>(box.node)];
        (*palette)[static_cast<size_t>(leaf.index)] =
            RgbQuad{static_cast<uint8_t>(box.lo[2] + box.side[2] / 2), static_cast<uint8_t>(box.lo[1] + box.side[1] / 2),
                    static_cast<uint8_t>(box.lo[0] + box.side[0] / 2), 0};
    }
    return tree;
}

int FindLeaf(const std::vector<Node>& tree, const Bgra& p)
{
    const uint8_t rgb[3] = {p.r, p.g, p.b};
    size_t n = 0;
    while (tree[n].axis >= 0) {
        n = static_cast<size_t>(rgb[tree[n].axis] < tree[n].split ? tree[n].lower : tree[n].upper);
    }
    return tree[n].index;
}

}  // namespace

bool CDIBImage::ConvertBitCount(int bitCount, int option)
{
    if (bits_.empty() || !IsSupportedBitCount(bitCount)) {
        return false;
    }
    const int width = header_.biWidth;
    const int rows = std::abs(header_.biHeight);
    const int source = header_.biBitCount;
    const int oldStride = GetStride();

    // 1. Expand to BGRA.
    std::vector<Bgra> full(static_cast<size_t>(width) * static_cast<size_t>(rows));
    for (int y = 0; y < rows; ++y) {
        const uint8_t* in = bits_.data() + static_cast<size_t>(y) * static_cast<size_t>(oldStride);
        Bgra* o = full.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            switch (source) {
            case 1:
            case 4:
            case 8: {
                uint32_t index = IndexAt(in, x, source);
                RgbQuad c = index < colors_.size() ? colors_[index] : RgbQuad{};
                o[x] = Bgra{c.blue, c.green, c.red, 0xFF};
                break;
            }
            case 16: {
                uint32_t w = in[2 * x] | (in[2 * x + 1] << 8);
                o[x] = Bgra{static_cast<uint8_t>((w & 0x1F) << 3), static_cast<uint8_t>(((w >> 5) & 0x1F) << 3),
                            static_cast<uint8_t>(((w >> 10) & 0x1F) << 3), 0xFF};
                break;
            }
            case 24: o[x] = Bgra{in[3 * x], in[3 * x + 1], in[3 * x + 2], 0xFF}; break;
            default: o[x] = Bgra{in[4 * x], in[4 * x + 1], in[4 * x + 2], in[4 * x + 3]}; break;
            }
        }
    }

    // 2. Reduce to the target.
    const int64_t newStride = StrideOf(bitCount, width);
    std::vector<uint8_t> out(static_cast<size_t>(newStride * rows));
    std::vector<RgbQuad> table;
    auto at = [&](int x, int y) -> const Bgra& { return full[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; };
    auto row = [&](int y) { return out.data() + static_cast<size_t>(y) * static_cast<size_t>(newStride); };
    std::vector<Node> tree;
    if (option == 2 && (bitCount == 8 || bitCount == 4)) {
        std::vector<Colour> colours;
        colours.reserve(full.size());
        for (const Bgra& p : full) colours.push_back(Colour{{p.r, p.g, p.b}});
        tree = MedianCut(std::move(colours), bitCount == 8 ? 256 : 16, &table);
    }
    switch (bitCount) {
    case 32:
    case 24:
        for (int y = 0; y < rows; ++y) {
            uint8_t* o = row(y);
            for (int x = 0; x < width; ++x) {
                const Bgra& p = at(x, y);
                const uint8_t bytes[4] = {p.b, p.g, p.r, p.a};
                std::copy_n(bytes, bitCount / 8, o + x * (bitCount / 8));
            }
        }
        break;
    case 16:
        for (int y = 0; y < rows; ++y) {
            uint8_t* o = row(y);
            int carry[3] = {0, 0, 0};
            for (int x = 0; x < width; ++x) {
                const Bgra& p = at(x, y);
                int c[3] = {p.r, p.g, p.b};
                for (int k = 0; k < 3; ++k) {
                    if (option == 1) {
                        c[k] = std::min(255, c[k] + carry[k]);
                        carry[k] = c[k] & 7;
                    }
                }
                uint32_t w = ((c[0] >> 3) << 10) | ((c[1] >> 3) << 5) | (c[2] >> 3);
                o[2 * x] = static_cast<uint8_t>(w);
                o[2 * x + 1] = static_cast<uint8_t>(w >> 8);
            }
        }
        break;
    case 8:
    case 4:
        if (option == 1 && bitCount == 8) {
            table.assign(256, RgbQuad{});
            for (int i = 0; i < 216; ++i) {
                table[static_cast<size_t>(i)] = RgbQuad{static_cast<uint8_t>(51 * (i / 36)),
                                                        static_cast<uint8_t>(51 * ((i / 6) % 6)),
                                                        static_cast<uint8_t>(51 * (i % 6)), 0};
            }
        } else if (option != 2) {
            int count = 1 << bitCount;
            table.assign(static_cast<size_t>(count), RgbQuad{});
            int step = 255 / (count - 1);
            for (int i = 0; i < count; ++i) {
                uint8_t v = static_cast<uint8_t>(i * step);
                table[static_cast<size_t>(i)] = RgbQuad{v, v, v, 0};
            }
        }
        for (int y = 0; y < rows; ++y) {
            uint8_t* o = row(y);
            for (int x = 0; x < width; ++x) {
                const Bgra& p = at(x, y);
                uint32_t index;
                if (option == 2) {
                    index = static_cast<uint32_t>(FindLeaf(tree, p));
                } else if (option == 1 && bitCount == 8) {
                    int t = kDither[static_cast<size_t>((x & 7) * 8 + (y & 7))];
                    auto level = [t](int c) { return c / 51 + (c % 51 > t ? 1 : 0); };
                    index = static_cast<uint32_t>(36 * level(p.b) + 6 * level(p.g) + level(p.r));
                } else {
                    index = static_cast<uint32_t>(bitCount == 8 ? Grey(p) : Grey(p) >> 4);
                }
                SetIndexAt(o, x, bitCount, index);
            }
        }
        break;
    case 1: {
        table = {RgbQuad{0, 0, 0, 0}, RgbQuad{255, 255, 255, 0}};
        // Three rows of errors (this row and the next two), two columns of
        // margin on each side.
        std::vector<int> errors(3 * static_cast<size_t>(width + 4));
        auto err = [&](int r, int x) -> int& { return errors[static_cast<size_t>(r) * (width + 4) + x + 2]; };
        for (int y = 0; y < rows; ++y) {
            uint8_t* o = row(y);
            for (int x = 0; x < width; ++x) {
                int v = ((73 * at(x, y).r + 146 * at(x, y).g + 37 * at(x, y).b) / 256) + err(0, x) / 42;
                int value = v >= 128 ? 255 : 0;
                SetIndexAt(o, x, 1, value ? 1 : 0);
                int e = v - value;
                err(0, x + 1) += e * 8;
                err(0, x + 2) += e * 4;
                const int next[5] = {2, 4, 8, 4, 2};
                const int after[5] = {1, 2, 4, 2, 1};
                for (int k = 0; k < 5; ++k) {
                    err(1, x - 2 + k) += e * next[k];
                    err(2, x - 2 + k) += e * after[k];
                }
            }
            // Shift the error rows up by one.
            std::copy(errors.begin() + (width + 4), errors.end(), errors.begin());
            std::fill(errors.end() - (width + 4), errors.end(), 0);
        }
        break;
    }
    default: return false;
    }
    header_.biBitCount = static_cast<uint16_t>(bitCount);
    header_.biCompression = kBiRgb;
    header_.biSizeImage = static_cast<uint32_t>(out.size());
    header_.biClrUsed = static_cast<uint32_t>(table.size());
    colors_ = std::move(table);
    bits_ = std::move(out);
    return true;
}
