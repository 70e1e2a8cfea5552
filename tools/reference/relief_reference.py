"""Stand-alone model of the relief saver's frames, in plain Python.

Written from the saver's design rather than from its C++ code, so that the
two can be compared pixel by pixel (check_relief_frames.py does that).
Every rounding step is spelled out: doubles where the saver works in double
precision, emulated 32-bit floats for the light path's phases and speeds,
truncation toward zero wherever a value becomes an integer.

Used as a module:

    frames = render(width, height, seed, frames, desktop_bytes, settings)

yields (tick, px, py, surface) after every tick, the surface being a
bytearray of width * height RGB triples, top row first.
"""

import math
import struct

# ---------------------------------------------------------------------------
# Numeric helpers


def f32(x):
    """Round a double to the nearest 32-bit float (ties to even)."""
    return struct.unpack('<f', struct.pack('<f', x))[0]


F32_0_4 = f32(0.4)    # 0.4000000059604645
F32_0_05 = f32(0.05)  # the path's speed jitter


def trunc(x):
    """Double to integer, truncating toward zero."""
    return int(x)  # Python's int() truncates toward zero for floats


def s16(v):
    """Wrap an integer to a 16-bit signed value."""
    return ((v + 0x8000) & 0xFFFF) - 0x8000


def s32(v):
    return ((v + 0x80000000) & 0xFFFFFFFF) - 0x80000000


class Rand:
    """The runtime's linear congruential generator, rand()/srand()."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        return (self.state >> 16) & 0x7FFF


# ---------------------------------------------------------------------------
# Settings


def read_int_text(text, default):
    """The profile reader's integer: a decimal number at the start of the
    text (optional sign), default when the key is absent.  Values are kept as
    32-bit signed integers."""
    if text is None:
        return default
    t = text.strip()
    sign = 1
    pos = 0
    if pos < len(t) and t[pos] in '+-':
        sign = -1 if t[pos] == '-' else 1
        pos += 1
    digits = ''
    while pos < len(t) and t[pos].isdigit():
        digits += t[pos]
        pos += 1
    if not digits:
        return 0
    return s32(sign * int(digits))


def load_settings(keys):
    """keys: dict of key name -> text (missing keys absent).  Returns the
    settings record as a dict in the saver's reading order and rules."""
    s = {}
    s['Degrees'] = read_int_text(keys.get('Degrees'), 10)
    s['UseColor'] = read_int_text(keys.get('UseColor'), 0)
    s['ColorCount'] = read_int_text(keys.get('ColorCount'), 64)
    delay = read_int_text(keys.get('Delay'), 1)
    s['Delay'] = 1000 if delay < 10 or delay > 5000 else delay
    s['Soften'] = read_int_text(keys.get('Soften'), 1)
    s['Invert'] = read_int_text(keys.get('Invert'), 0)
    if s['UseColor'] != 0:
        s['RGB_Red'] = read_int_text(keys.get('RGB_Red'), 156)
        s['RGB_Green'] = read_int_text(keys.get('RGB_Green'), 164)
        s['RGB_Blue'] = read_int_text(keys.get('RGB_Blue'), 34)
    else:
        s['RGB_Red'] = s['RGB_Green'] = s['RGB_Blue'] = 0
    return s


# ---------------------------------------------------------------------------
# Palette ramp


def color_count_of(setting):
    n = setting & 0xFF
    if n < 2:
        n = 2
    if n > 128:
        n = 128
    return n


def build_ramp(settings, rng):
    """Returns (colorCount, list of (r, g, b))."""
    if settings['UseColor'] != 0:
        base = (settings['RGB_Red'] & 0xFF, settings['RGB_Green'] & 0xFF,
                settings['RGB_Blue'] & 0xFF)
    else:
        r = rng.next() % 255
        g = rng.next() % 255
        b = rng.next() % 255
        base = (r, g, b)
    n = color_count_of(settings['ColorCount'])
    last = n - 1
    ramp = []
    for i in range(n):
        entry = []
        for x in base:
            value = math.pow(float(255 - x), float(i) / float(last)) \
                + (float(x) / float(last)) * float(i)
            entry.append(trunc(value) & 0xFF)
        ramp.append(tuple(entry))
    return n, ramp


# ---------------------------------------------------------------------------
# Lens map, sine table, light path


def build_lens_map(size, n):
    lens = bytearray(size * size)
    half = size // 2
    r1 = trunc(float(size) * F32_0_4)
    k = 2.5 * n
    if r1 > 0:
        for i in range(-r1, r1):
            di = (i + 0.5) * (i + 0.5)
            row = (i + half) * size
            for j in range(-r1, r1):
                d = math.sqrt((j + 0.5) * (j + 0.5) + di)
                v = k - k * (d / r1) + n
                if v >= 2 * n:
                    v = 2 * n - 1
                if v >= n:
                    lens[row + j + half] = trunc(v)
    r2 = trunc(float(size) * 0.25)
    if r2 > 0:
        for i in range(-r2, r2):
            di = (i + 0.5) * (i + 0.5)
            row = (i + half) * size
            for j in range(-r2, r2):
                d = math.sqrt((j + 0.5) * (j + 0.5) + di)
                v = n - (n - 1) * (d / r2)
                if v >= 1:
                    lens[row + j + half] = trunc(v)
    return lens


def build_sines(degrees):
    count = degrees & 0xFFFF
    if count < 180:
        count = 180
    step = 6.283185308 / count
    return [math.sin(i * step) for i in range(count)]


class LightPath:
    def __init__(self, width, height, size, sines, rng):
        self.sines = sines
        self.count = len(sines)
        self.half = size // 2
        self.center_x = width // 2
        self.center_y = height // 2
        self.rng = rng
        self.phase_x = f32(float(rng.next() % self.count))
        self.phase_y = f32(float(rng.next() % self.count))
        self.speed_x = f32(float(rng.next() % 3 + 1))
        self.speed_y = f32(float(rng.next() % 3 + 1))

    def _jitter(self, speed):
        j = F32_0_05 if self.rng.next() & 1 else -F32_0_05
        speed = f32(speed + j)
        if speed < 1.0:
            speed = 1.0
        elif speed > 3.0:
            speed = 3.0
        return speed

    def _advance(self, phase, speed):
        phase = f32(phase + speed)
        if phase >= self.count:
            phase = f32(phase - self.count)
        return phase

    def step(self):
        self.speed_x = self._jitter(self.speed_x)
        self.speed_y = self._jitter(self.speed_y)
        self.phase_x = self._advance(self.phase_x, self.speed_x)
        self.phase_y = self._advance(self.phase_y, self.speed_y)
        sx = self.sines[trunc(self.phase_x)]
        sy = self.sines[trunc(self.phase_y)]
        # Signed arithmetic: a window narrower than half its height gives a
        # negative reach and so columns left of 0.  For every other window
        # the result lies in 0..65535 and equals the 16-bit value.
        px = self.center_x + trunc(float(self.center_x - self.half) * sx) - self.half
        py = self.center_y + trunc(float(self.center_y - self.half) * sy) - self.half
        return px, py


# ---------------------------------------------------------------------------
# Height field


def build_heights(width, height, size, picture, invert, soften):
    """picture: bytes of the bottom-up BGR picture (short: black beyond)."""
    count = width * height
    heights = [0] * count
    if size > 0:
        scale = 765.0 / size
        need = count * 3
        if len(picture) < need:
            picture = bytes(picture) + bytes(need - len(picture))
        for idx in range(count):
            p = idx * 3
            total = picture[p] + picture[p + 1] + picture[p + 2]
            if invert != 0:
                heights[idx] = trunc(total / scale) & 0xFFFF
            else:
                heights[idx] = trunc(size - total / scale) & 0xFFFF
    passes = 0 if soften < 0 else min(soften, 255)
    for _ in range(passes):
        fresh = [0] * count
        for y in range(1, height - 1):
            row = y * width
            for x in range(1, width - 1):
                i = row + x
                fresh[i] = (heights[i] + heights[i - width] + heights[i + 1]
                            + heights[i + width] + heights[i - 1]) // 5
        if fresh == heights:
            break
        heights = fresh
    return heights


# ---------------------------------------------------------------------------
# Frames


def lens_indices(state, px, py):
    """Colour index of every lens pixel, row 0 = bottom row of the square."""
    size = state['size']
    n = state['n']
    lens = state['lens']
    heights = state['heights']
    width = state['width']
    height = state['height']
    out = bytearray(size * size)
    for r in range(size):
        y = py + r
        for k in range(size):
            m = lens[r * size + k]
            if m == 0:
                continue  # index 0
            x = px + k
            if 0 <= x < width and 0 <= y < height:
                h0 = heights[y * width + x]
                hx = heights[y * width + x + 1] if x + 1 < width else h0
                hy = heights[(y + 1) * width + x] if y + 1 < height else h0
                gx = s16(hx - h0 + k)
                gy = s16(hy - h0 + r)
            else:
                # A lens pixel off the field: flat ground.
                gx, gy = k, r
            if gx < 0:
                gx = 0
            elif gx >= size:
                gx = size - 1
            if gy < 0:
                gy = 0
            elif gy >= size:
                gy = size - 1
            v = lens[gy * size + gx]
            o = v if v < n else 1
            if m >= n and o > m - n:
                o = m - n
            out[r * size + k] = o
    return out


def blit(state, surface, indices, px, py):
    size = state['size']
    width = state['width']
    height = state['height']
    ramp = state['ramp']
    top = height // 2 - py
    for r in range(size):
        sy = top + size - 1 - r  # bottom-up rows
        if sy < 0 or sy >= height:
            continue
        for k in range(size):
            sx = px + k
            if sx < 0 or sx >= width:
                continue
            red, green, blue = ramp[indices[r * size + k]]
            p = (sy * width + sx) * 3
            surface[p] = red
            surface[p + 1] = green
            surface[p + 2] = blue


def create(width, height, seed, picture, keys):
    """Window creation: settings, tables, height field."""
    settings = load_settings(keys)
    rng = Rand(seed)
    size = height // 2
    n, ramp = build_ramp(settings, rng)
    lens = build_lens_map(size, n)
    sines = build_sines(settings['Degrees'])
    path = LightPath(width, height, size, sines, rng)
    heights = build_heights(width, height, size, picture,
                            settings['Invert'], settings['Soften'])
    return {
        'settings': settings, 'rng': rng, 'width': width, 'height': height,
        'size': size, 'n': n, 'ramp': ramp, 'lens': lens, 'sines': sines,
        'path': path, 'heights': heights,
    }


def render(width, height, seed, frames, picture, keys):
    """Generator of (tick, px, py, surface) for ticks 1..frames."""
    state = create(width, height, seed, picture, keys)
    surface = bytearray(width * height * 3)
    for tick in range(1, frames + 1):
        px, py = state['path'].step()
        if state['size'] > 0 and width > 0:
            blit(state, surface, lens_indices(state, px, py), px, py)
        yield tick, px, py, surface


if __name__ == '__main__':
    import sys
    # Small self-check against values the design states outright.
    n, ramp = build_ramp(load_settings({'UseColor': '1', 'ColorCount': '8'}), Rand(0))
    assert [c[0] for c in ramp] == [1, 24, 48, 74, 102, 138, 185, 255], ramp
    assert [c[1] for c in ramp] == [1, 25, 50, 77, 106, 142, 188, 255], ramp
    assert [c[2] for c in ramp] == [1, 7, 14, 24, 41, 71, 131, 255], ramp
    lens = build_lens_map(20, 4)
    assert list(lens[9 * 20:10 * 20]) == \
        [0, 0, 4, 5, 7, 1, 1, 2, 3, 3, 3, 3, 2, 1, 1, 7, 5, 4, 0, 0], lens[180:200]
    assert list(lens[5 * 20:6 * 20]) == \
        [0, 0, 0, 4, 5, 6, 6, 7, 1, 1, 1, 1, 7, 6, 6, 5, 4, 0, 0, 0]
    big = build_lens_map(384, 64)
    row = big[192 * 384:193 * 384]
    assert row[38] == 0 and row[39] == 64 and row[95] == 123 and row[96] == 1
    assert row[191] == 63 and row[192] == 63 and row[287] == 1
    assert row[288] == 123 and row[344] == 64 and row[345] == 0
    sines = build_sines(10)
    assert len(sines) == 180 and sines[45] == 1.0 and sines[135] == -1.0
    assert len(build_sines(180 + 65536)) == 180
    assert [color_count_of(v) for v in (0, 1, 200, 256, 300)] == [2, 2, 128, 2, 44]
    assert load_settings({'Delay': '9'})['Delay'] == 1000
    assert load_settings({'Delay': '5000'})['Delay'] == 5000
    print('reference self-check passed')
    sys.exit(0)
