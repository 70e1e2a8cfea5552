#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora into fuzz/corpus/<target>/.

The files are committed; run this again only to change them. Inputs of the
targets that read numbers through FuzzedDataProvider are laid out the way it
reads them: numbers from the end of the input backwards, the most significant
byte last, the rest of the bytes from the front.
"""
import os
import shutil
import struct
import sys
import zlib

TOP = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(TOP, "corpus")

INT32_MIN, INT32_MAX = -2**31, 2**31 - 1
# The edge values of fuzz_support.h's ConsumeSettingValue, in its order.
EDGES = [INT32_MIN, INT32_MIN + 1, -2147483647 // 2 + 1, -100001, -100000, -65536, -65535, -32768, -256, -255, -129, -128,
         -2, -1, 0, 1, 2, 3, 127, 128, 129, 254, 255, 256, 65535, 65536, 100000, 100001, 1073741824, INT32_MAX - 1, INT32_MAX]


class Provider:
    """Builds an input that FuzzedDataProvider reads back as the given values."""

    def __init__(self):
        self.tail = bytearray()  # in reading order: first value's bytes first
        self.front = b""

    def integral(self, lo, hi, value, size_bits=32):
        span = hi - lo
        offset = value - lo
        assert 0 <= offset <= span
        chunks = []
        shift = 0
        while shift < size_bits and (span >> shift) > 0:
            chunks.append(0)
            shift += 8
        # The first byte read is the most significant of those read.
        for i in range(len(chunks)):
            chunks[i] = (offset >> (8 * (len(chunks) - 1 - i))) & 0xFF
        self.tail += bytes(chunks)
        return self

    def side(self, value):
        return self.integral(0, 400, value)

    def u32(self, value):
        return self.integral(0, 2**32 - 1, value)

    def boolean(self, value):
        return self.integral(0, 255, 1 if value else 0, 8)

    def setting(self, value):
        if -20 <= value <= 400:
            self.integral(0, 3, 2)
            return self.integral(-20, 400, value)
        if value in EDGES:
            self.integral(0, 3, 0)
            return self.integral(0, len(EDGES) - 1, EDGES.index(value), 64)
        self.integral(0, 3, 1)
        return self.integral(INT32_MIN, INT32_MAX, value)

    def rest(self, data):
        self.front = bytes(data)
        return self

    def bytes(self):
        return self.front + bytes(reversed(self.tail))


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def crop(width, height):
    return struct.pack("<HH", width, height)


# --- command line -------------------------------------------------------------

def scan_seeds():
    for name, line in [
        ("quoted-preview", b'"C:\\Program Files\\Savers\\ondrels.scr" /p 1311768'),
        ("full-screen", b"ondrels.scr /s"),
        ("owned-settings", b"C:\\WINDOWS\\kesmar.scr -c:3342"),
        ("name-only", b"kesmar.scr"),
        ("open-quote", b'"C:\\unterminated /s'),
        ("password-wraps", b"x.scr\t /a 4294967297"),
        ("double-byte", b'"\x82"name" \x81 /l  00065536 junk'),
        ("bad-mode", b"x.scr --/x"),
    ]:
        write("saver_scan", name, line)


# --- settings files -----------------------------------------------------------

def settings_seeds():
    write("settings_ini", "relief-defaults",
          b"[ScreenSaver.Ondrels]\r\nDegrees=10\r\nInvert=0\r\nUseColor=0\r\nColorCount=64\r\nDelay=1000\r\nSoften=1\r\n"
          b"RGB_Red=0\r\nRGB_Green=0\r\nRGB_Blue=0\r\n")
    write("settings_ini", "terrain-defaults",
          b"[ScreenSaver.Kesmar]\r\nDepth=25\r\nSpeed=1\r\nMode=0\r\nLevel=0\r\nErase=1\r\nColor=0\r\nThreshold=0\r\n")
    write("settings_ini", "huge-and-negative",
          b"[screensaver.kesmar]\nDepth=-2147483648\nSpeed=99999999999\nMode=-1\nLevel=4294967299\nColor=+13\nErase=  17x\n"
          b"Threshold=-0\n[ScreenSaver.Ondrels]\nDelay=4294967295\nSoften=2147483647\nColorCount=-256\nUseColor=-1\n"
          b"RGB_Red=65535\n")
    write("settings_ini", "quotes-and-repeats",
          b"[Other]\nDegrees=999\n  [ ScreenSaver.Ondrels ]  \ndegrees = \"360\"\nDelay='5000'\nDelay=10\nSoften\n=3\n"
          b"[ScreenSaver.Ondrels]\nInvert=1\n[ScreenSaver.Kesmar\nErase=16\n")
    write("settings_ini", "with-overrides",
          b"[ScreenSaver.Kesmar]\nSpeed=5\n\x00Depth=-7\nColor=12\nScreenSaver.Kesmar=1\nbad key=1\nDelay=9\nUseColor=1\n")
    write("settings_ini", "empty", b"")


# --- PNG ------------------------------------------------------------------------

def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_file(width, height, depth, colour, interlace, rows, extra=b""):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra + png_chunk(b"IDAT", zlib.compress(rows, 9)) +
            png_chunk(b"IEND", b""))


def png_rows(width, height, depth, channels, passes=None):
    """Filter type 0 rows of a simple pattern; interlaced images give one
    row block per pass (the seven reduced images in order)."""
    def block(w, h):
        row_bytes = (w * depth * channels + 7) // 8
        out = bytearray()
        for y in range(h):
            out.append(0)
            out += bytes((x * 37 + y * 11) & 0xFF for x in range(row_bytes))
        return out

    if not passes:
        return bytes(block(width, height))
    out = bytearray()
    adam7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    for x0, y0, dx, dy in adam7:
        w = (width - x0 + dx - 1) // dx if width > x0 else 0
        h = (height - y0 + dy - 1) // dy if height > y0 else 0
        if w and h:
            out += block(w, h)
    return bytes(out)


def png_seeds():
    palette = png_chunk(b"PLTE", bytes(range(48)))
    trns = png_chunk(b"tRNS", bytes([0, 128, 255]))
    cases = [
        ("rgb8", 7, 5, 8, 2, 0, b"", 3),
        ("gray1-interlaced", 13, 9, 1, 0, 1, b"", 1),
        ("palette4-trns", 9, 6, 4, 3, 0, palette + trns, 1),
        ("gray-alpha16", 4, 3, 16, 4, 0, b"", 2),
        ("rgba8-interlaced", 11, 10, 8, 6, 1, b"", 4),
        ("gray2", 17, 2, 2, 0, 0, b"", 1),
    ]
    for name, w, h, depth, colour, interlace, extra, channels in cases:
        data = png_file(w, h, depth, colour, interlace, png_rows(w, h, depth, channels, interlace), extra)
        write("png_decode", name, crop(w + 3, h - 1) + data)
    whole = png_file(6, 4, 8, 2, 0, png_rows(6, 4, 8, 3))
    write("png_decode", "truncated", crop(400, 400) + whole[:-20])
    write("png_decode", "wide-header", crop(5, 5) + png_file(1000000, 1, 8, 0, 0, b"\x00" * 16))


# --- BMP ------------------------------------------------------------------------

def bmp_file(width, height, bits, palette=b"", compression=0, header=40, masks=b"", colours_used=0):
    stride = (abs(width) * bits + 31) // 32 * 4
    pixels = bytes((i * 29 + 7) & 0xFF for i in range(stride * abs(height)))
    extra = b""
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression, len(pixels), 2835, 2835,
                           colours_used, 0)
        if header > 40:
            info += masks + bytes(header - 40 - len(masks))  # later headers hold the masks
        else:
            extra = masks  # a 40-byte header is followed by them
    offset = 14 + len(info) + len(extra) + len(palette)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + extra + palette + pixels


def bmp_seeds():
    standard = struct.pack("<III", 0x00FF0000, 0x0000FF00, 0x000000FF)
    write("bmp_decode", "rgb24-bottom-up", crop(8, 4) + bmp_file(5, 3, 24))
    write("bmp_decode", "bgra32-top-down", crop(2, 9) + bmp_file(4, -4, 32))
    write("bmp_decode", "pal8-used", crop(400, 400) + bmp_file(9, 2, 8, bytes(range(4 * 20)), colours_used=20))
    write("bmp_decode", "pal4", crop(3, 3) + bmp_file(7, 5, 4, bytes(range(64))))
    write("bmp_decode", "pal1-core", crop(20, 20) + bmp_file(17, 3, 1, bytes([0, 0, 0, 255, 255, 255]), header=12))
    write("bmp_decode", "bitfields40", crop(6, 6) + bmp_file(3, 3, 32, compression=3, masks=standard))
    write("bmp_decode", "bitfields-v4", crop(6, 6) + bmp_file(3, 2, 32, compression=3, header=108, masks=standard))
    write("bmp_decode", "truncated", crop(10, 10) + bmp_file(6, 6, 24)[:-30])


# --- desktop files --------------------------------------------------------------

def desktop_seeds():
    write("desktop_file", "raw-short", crop(16, 12) + bytes((i * 7) & 0xFF for i in range(300)))
    write("desktop_file", "raw-long", crop(4, 3) + bytes(range(60)))
    write("desktop_file", "empty", crop(9, 9))
    write("desktop_file", "png", crop(8, 8) + png_file(6, 4, 8, 2, 0, png_rows(6, 4, 8, 3)))
    write("desktop_file", "bmp", crop(3, 5) + bmp_file(4, 4, 24))
    write("desktop_file", "bm-not-bmp", crop(2, 2) + b"BM and then some text")


# --- banner stream --------------------------------------------------------------

def banner_seeds():
    size = lambda w, h: struct.pack("<HH", w + 2, h + 2)
    # Two rows of 6: a run, an absolute run, end of line, then a delta and the end.
    write("banner_rle8", "runs", size(6, 2) + bytes([3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 2, 1, 1, 2, 9, 0, 1]))
    write("banner_rle8", "no-end-mark", size(4, 4) + bytes([4, 1, 0, 0, 4, 2]))
    write("banner_rle8", "writes-outside", size(3, 1) + bytes([5, 7, 0, 1]))
    write("banner_rle8", "cut-absolute", size(8, 1) + bytes([0, 7, 1, 2, 3]))
    write("banner_rle8", "picture", size(17, 5) + bytes([1, 1, 1, 2, 3, 3, 3, 3, 4, 5, 6, 6, 7]))
    write("banner_rle8", "negative-size", struct.pack("<HH", 0, 1) + bytes([0, 1]))


# --- lives, wipes and dialogs ---------------------------------------------------

def relief_seeds():
    def seed(name, w, h, number, settings, palette, ticks, repeat, picture):
        p = Provider().side(w).side(h).u32(number).setting(palette)
        for value in settings:
            p.setting(value)
        p.integral(0, 6, ticks).boolean(repeat).rest(picture)
        write("relief_life", name, p.bytes())

    # Degrees, RGB_Red, RGB_Green, RGB_Blue, UseColor, ColorCount, Delay, Soften, Invert.
    stripes = bytes((i * 13) & 0xFF for i in range(900))
    seed("preview", 152, 112, 7, [10, 0, 0, 0, 0, 64, 1000, 1, 0], 0, 4, True, stripes)
    seed("chosen-colour", 64, 48, 12345, [360, 156, 164, 34, 1, 128, 10, 8, 1], 1, 3, False, stripes)
    seed("narrow", 5, 60, 99, [181, 0, 0, 0, 0, 4, 5000, 0, 0], 0, 6, True, bytes([255, 0, 17]))
    seed("tiny", 1, 1, 1, [INT32_MIN, -1, 256, 65535, -1, -256, INT32_MAX, INT32_MAX, -1], -1, 2, False, b"")
    seed("zero-size", 0, 0, 4294967295, [65536, 0, 0, 0, 0, 0, 0, -1, 2], 0, 1, False, b"\x01")
    seed("wide-short", 400, 11, 3, [270, 0, 0, 0, 0, 32, 100, 3, 0], 0, 5, True, stripes)


def terrain_seeds():
    def seed(name, w, h, number, settings, limit, ticks, resize_at, nw, nh):
        p = Provider().side(w).side(h).u32(number)
        for value in settings:
            p.setting(value)
        p.integral(0, 7, 1 if limit is None else 0)
        if limit is not None:
            p.integral(0, 4, limit, 64)
        speed = min(max(settings[1], 1), 5)
        per_scene = {2: 1250, 3: 500, 4: 250, 5: 25}.get(speed, 2500)
        scenes = 3 if per_scene <= 250 else 1
        p.integral(0, scenes * (per_scene + 1), ticks).integral(0, ticks + 1, resize_at).side(nw).side(nh)
        write("terrain_life", name, p.bytes())

    # Depth, Speed, Mode, Level, Color, Erase, Threshold.
    seed("fast-random-wipes", 160, 120, 12, [25, 5, 0, 0, 0, 1, 0], None, 60, 0, 0, 0)
    seed("spiral-between", 96, 72, 7, [100, 5, 2, 1, 1, 11, 2], None, 52, 30, 120, 40)
    seed("negative-depth", 50, 50, 3, [INT32_MIN, 5, 1, 3, 12, 0, 1], None, 30, 0, 0, 0)
    seed("huge-depth", 400, 300, 9, [INT32_MAX, 4, 0, 2, 6, 16, 0], None, 10, 0, 0, 0)
    seed("no-palette", 80, 60, 5, [10, 5, 0, 0, 0, 2, 0], 1, 27, 0, 0, 0)
    seed("no-size", 0, 0, 1, [-1, 5, 0, 0, 0, 1, 0], None, 78, 40, 3, 400)


def wipe_seeds():
    def seed(name, w, h, number, wipe, delay, limited=False, limit=0):
        p = Provider().side(w).side(h).u32(number).setting(wipe).integral(0, 1000, delay)
        p.integral(0, 3, 0 if limited else 1).integral(0, (w + 1) * (h + 1), limit, 64)
        write("terrain_wipes", name, p.bytes())

    seed("venetian-preview", 152, 112, 1, 1, 2)
    seed("random-choice", 100, 80, 20261207, -1, 0)
    seed("spiral", 61, 47, 3, 9, 2)
    seed("squarerate-narrow", 12, 40, 4, 6, 1000)
    seed("diagonal", 200, 64, 11, 11, 2)
    seed("list-refused", 33, 31, 2, 8, 2, True, 10)
    seed("star-empty", 0, 0, 8, 13, 2)


def dialog_seeds():
    def relief(name, settings, strip, xs, client, controls):
        p = Provider().boolean(True)
        for value in settings:  # Degrees, RGB_Red, RGB_Green, RGB_Blue, UseColor, ColorCount, Delay
            p.setting(value)
        p.integral(-4, 32767, strip)
        for x in xs:
            p.integral(-2, strip + 2, x)
        p.integral(0, 32767, client)
        degrees, colors_position, soften, delay, invert, use, red, green, blue = controls
        p.integral(180, 360, degrees).integral(INT32_MIN, INT32_MAX, colors_position).integral(1, 8, soften)
        p.integral(10, 5000, delay).boolean(invert).boolean(use)
        p.integral(0, 255, red).integral(0, 255, green).integral(0, 255, blue)
        write("dialog_logic", name, p.bytes())

    def terrain(name, settings, lines, depth, speed):
        p = Provider().boolean(False)
        for value in settings:
            p.setting(value)
        counts = [3, 4, 13, 17, 3]
        for line, count in zip(lines, counts):
            p.integral(-1, count - 1, line)
        p.integral(10, 100, depth).integral(1, 5, speed)
        write("dialog_logic", name, p.bytes())

    relief("relief-chosen", [300, 156, 164, 34, 1, 64, 1000], 220, [0, 3, 219, 220, 221] * 13, 330,
           (360, 5, 8, 5000, True, True, 12, 200, 255))
    relief("relief-hand-edited", [10, -1, 65536, 300, -5, 0, 1], 7, list(range(-2, 10)) * 6, 100,
           (180, -3, 1, 10, False, False, 0, 0, 0))
    relief("relief-huge-count", [999, 0, 0, 0, 1, INT32_MAX, INT32_MIN], 32767, [32767] * 64, 0,
           (200, 99, 3, 77, True, True, 255, 255, 255))
    terrain("terrain-dialog", [25, 1, 0, 0, 0, 1, 0], [0, 1, 2, 3, 2], 100, 5)
    terrain("terrain-hand-edited", [INT32_MIN, -1, 7, INT32_MAX, 13, 17, -3], [-1, -1, 12, 16, -1], 10, 1)


def main():
    if os.path.isdir(CORPUS):
        shutil.rmtree(CORPUS)
    scan_seeds()
    settings_seeds()
    png_seeds()
    bmp_seeds()
    desktop_seeds()
    banner_seeds()
    relief_seeds()
    terrain_seeds()
    wipe_seeds()
    dialog_seeds()
    return 0


if __name__ == "__main__":
    sys.exit(main())
