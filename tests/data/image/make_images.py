#!/usr/bin/env python3
"""Makes the picture files of the image tests, each with a ".bgra" file beside
it: the pixels the program must show for it (top-down rows, 4 bytes a pixel:
blue, green, red, alpha), computed here from the pattern, independently of
the program's readers.

Needs only the Python standard library (zlib). The JPEG files are made with
ImageMagick's `convert` when it is installed; their reference is the pattern
itself (".ppm"), which a JPEG reproduces only within an error bound.

Run from anywhere: python3 tests/data/image/make_images.py
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 13, 7  # odd sizes exercise row padding


def pattern(x, y):
    """(r, g, b, a) of the test picture at (x, y)."""
    return ((x * 37 + y * 11) & 255, (x * 5 + y * 29) & 255, (x * x + 3 * y) & 255, (x * 13 ^ y * 7) & 255)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def write_expected(name, pixels):
    """pixels: rows top-down of (r, g, b, a)."""
    out = bytearray()
    for row in pixels:
        for r, g, b, a in row:
            out += bytes((b, g, r, a))
    write(name + ".bgra", bytes(out))


# ---- BMP -------------------------------------------------------------------

def bmp(bpp, rows, palette=None, top_down=False, compression=0, bits_override=None, clr_used=0):
    """rows: top-down lists of raw values (index, 16-bit word, or (b, g, r[, a]))."""
    width, height = len(rows[0]), len(rows)
    stride = ((bpp * width + 31) >> 3) & ~3
    body = bytearray()
    order = rows if top_down else list(reversed(rows))
    for row in order:
        line = bytearray()
        if bpp < 8:
            acc, nbits = 0, 0
            for v in row:
                acc = (acc << bpp) | v
                nbits += bpp
                if nbits == 8:
                    line.append(acc)
                    acc, nbits = 0, 0
            if nbits:
                line.append(acc << (8 - nbits))
        elif bpp == 8:
            line += bytes(row)
        elif bpp == 16:
            for v in row:
                line += struct.pack("<H", v)
        else:
            for px in row:
                line += bytes(px)
        line += bytes(stride - len(line))
        body += line
    if bits_override is not None:
        body = bits_override
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in (palette or []))
    off = 14 + 40 + len(table)
    size_image = len(body) if compression else stride * height
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bpp, compression,
                       size_image, 2835, 2835, clr_used or (len(palette) if palette else 0), 0)
    header = b"BM" + struct.pack("<IHHI", off + len(body), 0, 0, off)
    return header + info + table + bytes(body)


def make_bmps():
    grid = [[pattern(x, y) for x in range(W)] for y in range(H)]
    opaque = [[(r, g, b, 255) for r, g, b, _ in row] for row in grid]
    # 24 and 32 bits.
    write("rgb24.bmp", bmp(24, [[(b, g, r) for r, g, b, _ in row] for row in grid]))
    write_expected("rgb24.bmp", opaque)
    write("rgb24_topdown.bmp", bmp(24, [[(b, g, r) for r, g, b, _ in row] for row in grid], top_down=True))
    write_expected("rgb24_topdown.bmp", opaque)
    write("rgba32.bmp", bmp(32, [[(b, g, r, a) for r, g, b, a in row] for row in grid]))
    write_expected("rgba32.bmp", grid)
    # 16 bits, 5-5-5: each channel's top 5 bits shifted back up by 3.
    words = [[((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3) for r, g, b, _ in row] for row in grid]
    write("rgb555.bmp", bmp(16, words))
    write_expected("rgb555.bmp", [[((r >> 3) << 3, (g >> 3) << 3, (b >> 3) << 3, 255) for r, g, b, _ in row]
                                  for row in grid])
    # Palette pictures.
    for bpp in (1, 4, 8):
        n = 1 << bpp
        palette = [((i * 53) & 255, (i * 101) & 255, (i * 197) & 255) for i in range(n)]
        idx = [[(x * 3 + y * 5) % n for x in range(W)] for y in range(H)]
        write("pal%d.bmp" % bpp, bmp(bpp, idx, palette))
        write_expected("pal%d.bmp" % bpp, [[palette[i] + (255,) for i in row] for row in idx])
    # A short colour table: indices past it are black.
    palette = [(200, 100, 50), (10, 20, 30)]
    idx = [[(x + y) % 4 for x in range(W)] for y in range(H)]
    write("pal8_short_table.bmp", bmp(8, idx, palette, clr_used=2))
    write_expected("pal8_short_table.bmp",
                   [[(palette[i] if i < 2 else (0, 0, 0)) + (255,) for i in row] for row in idx])
    # RLE8: runs, a literal of odd length, an end of line, a delta, end of bitmap.
    palette = [((i * 7) & 255, (i * 13) & 255, (i * 29) & 255) for i in range(256)]
    rows = [[0] * W for _ in range(H)]  # file order: bottom row first
    rle = bytearray()
    # stored row 0: a run of 5 x index 9, a literal of 3, a run filling the row
    rle += bytes((5, 9)) + bytes((0, 3, 40, 41, 42, 0)) + bytes((W - 8, 77)) + bytes((0, 0))
    rows[0] = [9] * 5 + [40, 41, 42] + [77] * (W - 8)
    # stored row 1: a delta of (2, 1) moves to stored row 2, column 2; then a run of 4
    rle += bytes((0, 2, 2, 1)) + bytes((4, 200)) + bytes((0, 0))
    rows[2][2:6] = [200] * 4
    # stored row 3: literal of 4
    rle += bytes((0, 4, 1, 2, 3, 4)) + bytes((0, 1))
    rows[3][0:4] = [1, 2, 3, 4]
    data = bmp(8, list(reversed(rows)), palette, compression=1, bits_override=rle)
    write("rle8.bmp", data)
    write_expected("rle8.bmp", [[palette[i] + (255,) for i in row] for row in reversed(rows)])


# ---- PNG -------------------------------------------------------------------

def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(width, height, depth, colour, raw_rows, extra=b"", interlace=0):
    """raw_rows: one bytes object per row, already packed (no filter byte)."""
    if interlace:
        raise ValueError("interlaced pictures are written by png_adam7")
    data = b"".join(b"\x00" + r for r in raw_rows)
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra + png_chunk(b"IDAT", zlib.compress(data)) +
            png_chunk(b"IEND", b""))


def pack_bits(values, depth):
    out = bytearray()
    if depth >= 8:
        for v in values:
            out += v.to_bytes(depth // 8, "big")
        return bytes(out)
    acc, nbits = 0, 0
    for v in values:
        acc = (acc << depth) | v
        nbits += depth
        if nbits == 8:
            out.append(acc)
            acc, nbits = 0, 0
    if nbits:
        out.append(acc << (8 - nbits))
    return bytes(out)


def make_pngs():
    grid = [[pattern(x, y) for x in range(W)] for y in range(H)]
    # Grey of every depth; the shown value is the sample scaled to 8 bits
    # (16-bit samples keep their high byte).
    for depth in (1, 2, 4, 8, 16):
        top = (1 << depth) - 1
        values = [[(x * 7 + y * 3) % (top + 1) if depth < 16 else (x * 4099 + y * 977) & 0xFFFF for x in range(W)]
                  for y in range(H)]
        rows = [pack_bits(r, depth) for r in values]
        write("grey%d.png" % depth, png(W, H, depth, 0, rows))
        def show(v):
            return v >> 8 if depth == 16 else v * 255 // top
        write_expected("grey%d.png" % depth, [[(show(v),) * 3 + (255,) for v in r] for r in values])
    # Grey with tRNS: the transparent grey value gets alpha 0.
    values = [[(x + y) % 4 for x in range(W)] for y in range(H)]
    write("grey2_trns.png", png(W, H, 2, 0, [pack_bits(r, 2) for r in values], png_chunk(b"tRNS", b"\x00\x01")))
    write_expected("grey2_trns.png", [[(v * 85,) * 3 + (0 if v == 1 else 255,) for v in r] for r in values])
    # RGB 8 and 16; RGB with tRNS.
    write("rgb8.png", png(W, H, 8, 2, [bytes(c for r, g, b, _ in row for c in (r, g, b)) for row in grid]))
    write_expected("rgb8.png", [[(r, g, b, 255) for r, g, b, _ in row] for row in grid])
    rows16 = [b"".join(struct.pack(">HHH", r * 256 + (r ^ 0x5A), g * 256 + 1, b * 257) for r, g, b, _ in row) for row in grid]
    write("rgb16.png", png(W, H, 16, 2, rows16))
    write_expected("rgb16.png", [[(r, g, b, 255) for r, g, b, _ in row] for row in grid])
    key = grid[2][3][:3]
    write("rgb8_trns.png", png(W, H, 8, 2, [bytes(c for r, g, b, _ in row for c in (r, g, b)) for row in grid],
                               png_chunk(b"tRNS", struct.pack(">HHH", *key))))
    write_expected("rgb8_trns.png", [[(r, g, b, 0 if (r, g, b) == key else 255) for r, g, b, _ in row]
                                     for row in grid])
    # Palette of every depth, one with tRNS.
    for depth in (1, 2, 4, 8):
        n = 1 << depth
        palette = [((i * 53) & 255, (i * 101) & 255, (i * 197) & 255) for i in range(n)]
        idx = [[(x * 3 + y * 5) % n for x in range(W)] for y in range(H)]
        plte = png_chunk(b"PLTE", b"".join(bytes(c) for c in palette))
        write("pal%d.png" % depth, png(W, H, depth, 3, [pack_bits(r, depth) for r in idx], plte))
        write_expected("pal%d.png" % depth, [[palette[i] + (255,) for i in row] for row in idx])
    palette = [((i * 53) & 255, (i * 101) & 255, (i * 197) & 255) for i in range(16)]
    alphas = [(i * 40) & 255 for i in range(6)]  # shorter than the palette: the rest are opaque
    idx = [[(x * 3 + y * 5) % 16 for x in range(W)] for y in range(H)]
    extra = png_chunk(b"PLTE", b"".join(bytes(c) for c in palette)) + png_chunk(b"tRNS", bytes(alphas))
    write("pal4_trns.png", png(W, H, 4, 3, [pack_bits(r, 4) for r in idx], extra))
    write_expected("pal4_trns.png", [[palette[i] + (alphas[i] if i < len(alphas) else 255,) for i in row]
                                     for row in idx])
    # Grey with alpha (shown opaque), 8 and 16 bits.
    ga = [[((x * 19 + y) & 255, (x * 7 + y * 31) & 255) for x in range(W)] for y in range(H)]
    write("greyalpha8.png", png(W, H, 8, 4, [bytes(c for p in row for c in p) for row in ga]))
    write_expected("greyalpha8.png", [[(v, v, v, 255) for v, _ in row] for row in ga])
    write("greyalpha16.png", png(W, H, 16, 4, [b"".join(struct.pack(">HH", v * 257, a * 257) for v, a in row)
                                                for row in ga]))
    write_expected("greyalpha16.png", [[(v, v, v, 255) for v, _ in row] for row in ga])
    # RGBA 8 and 16 keep their alpha.
    write("rgba8.png", png(W, H, 8, 6, [bytes(c for p in row for c in p) for row in grid]))
    write_expected("rgba8.png", grid)
    write("rgba16.png", png(W, H, 16, 6, [b"".join(struct.pack(">HHHH", *(c * 257 for c in p)) for p in row)
                                          for row in grid]))
    write_expected("rgba16.png", grid)
    # 640 x 480 for the scaling test (one flat colour keeps the file small).
    big = bytes((10, 20, 30)) * 640
    write("big640.png", png(640, 480, 8, 2, [big] * 480))


# ---- bma -------------------------------------------------------------------

def lzss_compress(data):
    """A small greedy LZSS encoder for the program's format (4096-byte ring
    starting at 4078, flags least significant bit first, 1 = literal)."""
    ring = bytearray(4096)
    pos = 4078
    out = bytearray()
    i = 0
    while i < len(data):
        flags_at = len(out)
        out.append(0)
        flags = 0
        for bit in range(8):
            if i >= len(data):
                break
            best_len, best_off = 0, 0
            # Look for a match among recent ring positions (enough for tests).
            for back in range(1, min(4096 - 18, 300)):
                off = (pos - back) & 4095
                n = 0
                while n < 18 and i + n < len(data) and ring[(off + n) & 4095] == data[i + n] and \
                        (back > n):
                    n += 1
                if n > best_len:
                    best_len, best_off = n, off
            if best_len >= 3:
                out += bytes((best_off & 255, ((best_off >> 4) & 0xF0) | (best_len - 3)))
                for k in range(best_len):
                    ring[pos] = data[i + k]
                    pos = (pos + 1) & 4095
                i += best_len
            else:
                flags |= 1 << bit
                out.append(data[i])
                ring[pos] = data[i]
                pos = (pos + 1) & 4095
                i += 1
        out[flags_at] = flags
    return bytes(out)


def make_bmas():
    grid = [[pattern(x, y) for x in range(W)] for y in range(H)]
    pixels = b"".join(bytes((b, g, r, a)) for row in grid for r, g, b, a in row)
    header = lambda compressed: struct.pack("<4siiiII", b"BMA\x00", W, H, compressed, len(pixels), 0)
    write("stored.bma", header(0) + pixels)
    write_expected("stored.bma", grid)
    # A run of equal pixels makes the encoder use references.
    runs = [[pattern(x // 4, y) for x in range(W)] for y in range(H)]
    run_pixels = b"".join(bytes((b, g, r, a)) for row in runs for r, g, b, a in row)
    write("lzss.bma", struct.pack("<4siiiII", b"BMA\x00", W, H, 1, len(run_pixels), 0) + lzss_compress(run_pixels))
    write_expected("lzss.bma", runs)


# ---- JPEG ------------------------------------------------------------------

def make_jpegs():
    jw, jh = 64, 48
    ppm = b"P6\n%d %d\n255\n" % (jw, jh)
    # Smooth colours: a JPEG keeps them within a small error.
    ppm += bytes(c for y in range(jh) for x in range(jw) for c in (x * 4, y * 5, (x + y) * 2))
    write("smooth.ppm", ppm)
    src = os.path.join(HERE, "smooth.ppm")
    try:
        subprocess.run(["convert", src, "-quality", "92", "-sampling-factor", "2x2",
                        os.path.join(HERE, "baseline.jpg")], check=True)
        subprocess.run(["convert", src, "-quality", "92", "-interlace", "JPEG",
                        os.path.join(HERE, "progressive.jpg")], check=True)
        # One colour component: decoded as grey in all three channels.
        subprocess.run(["convert", src, "-colorspace", "Gray", "-quality", "92",
                        os.path.join(HERE, "grey.jpg")], check=True)
        # Four ink components: no RGB picture, refused when the file is opened.
        subprocess.run(["convert", src, "-colorspace", "CMYK", "-quality", "92",
                        os.path.join(HERE, "cmyk.jpg")], check=True)
    except (OSError, subprocess.CalledProcessError):
        print("convert is missing: the committed JPEG files are kept")


# ---- GIF and icons ------------------------------------------------------------
# Written by ImageMagick (and the small PNG-coded icon by this script); their
# ".bgra" is what ImageMagick decodes from them (straight alpha), so the tests
# hold the program's readers to an independent decoder. The seed corpora of
# the gif and ico fuzz targets are copies of them.

CORPUS = os.path.join(HERE, "..", "..", "..", "fuzz", "corpus")


def pam(name, width, height, pixel):
    """Writes a PAM with alpha (pixel(x, y) -> (r, g, b, a)) as a convert source."""
    out = bytearray(b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" % (width, height))
    for y in range(height):
        for x in range(width):
            out += bytes(pixel(x, y))
    path = os.path.join(HERE, name)
    with open(path, "wb") as f:
        f.write(out)
    return path


def opaque(x, y):
    return ((x * 6) & 255, (y * 8) & 255, ((x + y) * 3) & 255, 255)


def keyed(x, y):
    """Binary alpha: the top-left corner and a diagonal lattice are transparent."""
    return ((x * 8) & 255, (y * 8) & 255, (x * y) & 255, 0 if (x < 6 and y < 5) or (x + y) % 11 == 0 else 255)


def blended(x, y):
    """Every level of alpha, 0 and 255 included."""
    return ((x * 5) & 255, 255 - ((y * 6) & 255), (x * y * 3) & 255, min(255, max(0, (x * 9 + y * 5) - 40)))


def convert(*args):
    subprocess.run(["convert"] + [str(a) for a in args], check=True)


def reference(name, frame):
    """ImageMagick's decoding of a frame of name as the ".bgra" beside it."""
    path = os.path.join(HERE, name)
    spec = "%s[%d]" % (path, frame)
    extra = ["-background", "none", "-flatten"] if name.endswith(".gif") else []
    rgba = subprocess.run(["convert", spec] + extra + ["-depth", "8", "rgba:-"], check=True,
                          stdout=subprocess.PIPE).stdout
    out = bytearray()
    for i in range(0, len(rgba), 4):
        r, g, b, a = rgba[i:i + 4]
        out += bytes((b, g, r, a))
    write(name + ".bgra", bytes(out))


def seed(kind, name):
    os.makedirs(os.path.join(CORPUS, kind), exist_ok=True)
    with open(os.path.join(HERE, name), "rb") as f:
        data = f.read()
    with open(os.path.join(CORPUS, kind, name), "wb") as f:
        f.write(data)


def ico(entries):
    """An icon file around already coded images: entries are (width, height, bit count, data)."""
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory, body = b"", b""
    for w, h, bits, data in entries:
        directory += struct.pack("<BBBBHHII", w & 255, h & 255, 0, 0, 1, bits, len(data), offset + len(body))
        body += data
    return head + directory + body


def make_gifs():
    tmp = []
    src = pam("gif_opaque.pam", 40, 30, opaque)
    tmp.append(src)
    # Interlaced: the rows are stored in four passes.
    convert(src, "-interlace", "GIF", os.path.join(HERE, "interlaced.gif"))
    # A transparent index, covering the top-left pixel.
    src = pam("gif_keyed.pam", 32, 32, keyed)
    tmp.append(src)
    convert(src, "-colors", "12", os.path.join(HERE, "transparent.gif"))
    # A frame smaller than the logical screen, placed inside it.
    convert("-size", "20x10", "gradient:red-blue", "-page", "40x30+5+3", os.path.join(HERE, "offset.gif"))
    # Two frames: only the first is shown.
    convert("-size", "24x16", "gradient:yellow-navy", "-size", "24x16", "xc:green", os.path.join(HERE, "animated.gif"))
    for name in ("interlaced.gif", "transparent.gif", "offset.gif", "animated.gif"):
        reference(name, 0)
        seed("gif", name)
    for path in tmp:
        os.remove(path)


def make_icos():
    tmp = []
    def source(name, w, h, pixel):
        path = pam(name, w, h, pixel)
        tmp.append(path)
        return path
    keyed32 = source("ico_keyed.pam", 32, 32, keyed)
    blended48 = source("ico_blended.pam", 48, 40, blended)
    # One BMP-coded image of each palette depth, with its AND mask.
    convert(keyed32, "-colors", "100", "-type", "PaletteAlpha", os.path.join(HERE, "depth8.ico"))
    convert(keyed32, "-colors", "12", "-type", "PaletteAlpha", os.path.join(HERE, "depth4.ico"))
    convert(keyed32, "-colors", "2", "-type", "PaletteAlpha", os.path.join(HERE, "depth1.ico"))
    # Several sizes and depths, the largest (48 x 40, 32 bits with alpha)
    # neither first nor last: it is entry 2.
    small16 = source("ico_small16.pam", 16, 16, keyed)
    small24 = source("ico_small24.pam", 24, 24, keyed)
    convert("(", small16, "-colors", "2", "-type", "PaletteAlpha", ")",
            "(", small24, "-colors", "12", "-type", "PaletteAlpha", ")",
            blended48,
            "(", keyed32, "-colors", "100", "-type", "PaletteAlpha", ")", os.path.join(HERE, "multi.ico"))
    # Equal sizes: the deepest (32 bits, entry 1) is shown.
    convert("(", keyed32, "-colors", "100", "-type", "PaletteAlpha", ")", keyed32,
            "(", keyed32, "-colors", "12", "-type", "PaletteAlpha", ")", os.path.join(HERE, "same_size.ico"))
    # A 256 x 256 image is stored PNG-coded; it outranks the 48 x 40 one.
    big = source("ico_big.pam", 256, 256, lambda x, y: (x, y, 128, 255 if x + y > 40 else 0))
    convert(blended48, big, os.path.join(HERE, "png256.ico"))
    # A small PNG-coded image of this script's own, with straight alpha.
    grid = [[pattern(x, y) for x in range(W)] for y in range(H)]
    entry = png(W, H, 8, 6, [bytes(c for p in row for c in p) for row in grid])
    write("png_entry.ico", ico([(W, H, 32, entry)]))
    for name, frame in (("depth8.ico", 0), ("depth4.ico", 0), ("depth1.ico", 0), ("multi.ico", 2),
                        ("same_size.ico", 1), ("png256.ico", 1), ("png_entry.ico", 0)):
        reference(name, frame)
        if name != "png256.ico":
            seed("ico", name)
    for path in tmp:
        os.remove(path)


if __name__ == "__main__":
    make_bmps()
    make_pngs()
    make_bmas()
    make_jpegs()
    make_gifs()
    make_icos()
