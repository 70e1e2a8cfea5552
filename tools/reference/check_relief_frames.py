#!/usr/bin/env python3
"""Compare saver-render's relief frames with the Python reference model.

For each case a raw desktop picture (bottom-up blue, green, red, as the
snapshot file holds it) is generated, saver-render draws K ticks over it with
--trace, and every traced path position and every pixel of every written PNG
is checked against relief_reference.py.

    check_relief_frames.py [--renderer PATH] [--work DIR] [--quick]

Prints a summary and exits 1 on any difference (2 on a broken set-up).
"""

import argparse
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import relief_reference as ref  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


# ---------------------------------------------------------------------------
# PNG reading (8-bit RGB, non-interlaced, which is what the renderer writes)


class PngError(Exception):
    pass


def read_png_rgb(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise PngError('%s: not a PNG' % path)
    pos = 8
    ihdr = None
    idat = []
    while pos + 8 <= len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc = struct.unpack('>I', data[pos + 8 + length:pos + 12 + length])[0]
        if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
            raise PngError('%s: bad CRC in %r chunk' % (path, kind))
        pos += 12 + length
        if kind == b'IHDR':
            ihdr = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat.append(body)
        elif kind == b'IEND':
            break
    if ihdr is None:
        raise PngError('%s: no IHDR' % path)
    width, height, depth, ctype, comp, filt, interlace = ihdr
    if (depth, ctype, comp, filt, interlace) != (8, 2, 0, 0, 0):
        raise PngError('%s: expected 8-bit RGB non-interlaced, IHDR says depth %d '
                       'colour type %d compression %d filter %d interlace %d'
                       % ((path,) + ihdr[2:]))
    raw = zlib.decompress(b''.join(idat))
    stride = width * 3
    if len(raw) != height * (stride + 1):
        raise PngError('%s: %d bytes of image data, expected %d'
                       % (path, len(raw), height * (stride + 1)))
    out = bytearray(height * stride)
    prev = bytearray(stride)
    for y in range(height):
        ftype = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if ftype == 0:
            pass
        elif ftype == 1:
            for i in range(3, stride):
                line[i] = (line[i] + line[i - 3]) & 0xFF
        elif ftype == 2:
            for i in range(stride):
                line[i] = (line[i] + prev[i]) & 0xFF
        elif ftype == 3:
            for i in range(stride):
                left = line[i - 3] if i >= 3 else 0
                line[i] = (line[i] + ((left + prev[i]) >> 1)) & 0xFF
        elif ftype == 4:
            for i in range(stride):
                a = line[i - 3] if i >= 3 else 0
                b = prev[i]
                c = prev[i - 3] if i >= 3 else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
        else:
            raise PngError('%s: unknown filter %d in row %d' % (path, ftype, y))
        out[y * stride:(y + 1) * stride] = line
        prev = line
    return width, height, bytes(out)


# ---------------------------------------------------------------------------
# Desktop pictures (raw snapshot layout: bottom-up rows of B, G, R)


def _not_a_known_format(data):
    # The renderer recognises PNG and BMP by their first bytes; a raw picture
    # must not start like either.
    data = bytearray(data)
    if data[:2] == b'BM' or data[:4] == b'\x89PNG':
        data[0] ^= 0x01
    return bytes(data)


def desktop(kind, width, height, seed):
    rnd = random.Random(seed)
    count = width * height * 3
    if kind == 'random':
        # Independent random bytes: sums cluster around the middle, so the
        # slopes are mostly gentle.
        data = bytes(rnd.getrandbits(8) for _ in range(count))
    elif kind == 'grey':
        # Random grey levels over the whole range (channels a little apart):
        # steep slopes everywhere, in both directions.
        out = bytearray()
        for _ in range(width * height):
            g = rnd.getrandbits(8)
            out += bytes((g, g ^ rnd.getrandbits(3), g ^ rnd.getrandbits(3)))
        data = bytes(out)
    elif kind == 'short':
        # Ends part-way through a pixel somewhere in the middle of the picture.
        data = bytes(rnd.getrandbits(8) for _ in range(count // 2 + 1))
    elif kind == 'long':
        data = bytes(rnd.getrandbits(8) for _ in range(count + 999))
    elif kind == 'white':
        data = b'\xff' * count
    elif kind == 'black':
        data = b'\x00' * count
    elif kind == 'bands':
        # Black and white blocks of uneven sizes: cliffs steeper than the
        # lens square, so the gradient clamps come into play.
        out = bytearray(count)
        for y in range(height):
            for x in range(width):
                v = 255 if ((x // (3 + y % 5)) + (y // 7)) % 2 else 0
                p = (y * width + x) * 3
                out[p] = v
                out[p + 1] = v
                out[p + 2] = v ^ (x & 3)
        data = bytes(out)
    elif kind == 'ramp':
        # Smooth slopes in both directions plus a little noise.
        out = bytearray(count)
        for y in range(height):
            for x in range(width):
                p = (y * width + x) * 3
                out[p] = (x * 5) & 0xFF
                out[p + 1] = (y * 3) & 0xFF
                out[p + 2] = ((x + y) * 2 + rnd.randrange(8)) & 0xFF
        data = bytes(out)
    else:
        raise ValueError(kind)
    return _not_a_known_format(data)


# ---------------------------------------------------------------------------
# Cases

class Case:
    def __init__(self, name, size, seed, frames, picture='random', sets=None,
                 every=1, ini=None, quick=False):
        self.name = name
        self.width, self.height = size
        self.seed = seed
        self.frames = frames
        self.picture = picture
        self.sets = list(sets or [])
        self.every = every
        self.ini = ini          # dict written as the settings file, or None
        self.quick = quick      # part of the --quick subset


CASES = [
    # Ordinary windows, defaults and each setting in turn.
    Case('defaults 152x112', (152, 112), 1, 8, quick=True),
    Case('odd 151x113 chosen colour, 7 colours, soften 3, invert', (151, 113), 2, 6,
         sets=['UseColor=1', 'RGB_Red=10', 'RGB_Green=200', 'RGB_Blue=90',
               'ColorCount=7', 'Soften=3', 'Invert=1']),
    Case('64x48 two colours, 360 degrees, no softening', (64, 48), 3, 20,
         picture='grey', sets=['ColorCount=2', 'Degrees=360', 'Soften=0'],
         quick=True),
    Case('200x150 128 colours, 1000 degrees, negative soften, bands', (200, 150), 4, 6,
         picture='bands', every=2,
         sets=['ColorCount=128', 'Degrees=1000', 'Soften=-1']),
    Case('97x61 short picture, 300 colours, invert', (97, 61), 0xFFFFFFFF, 10,
         picture='short', sets=['ColorCount=300', 'Invert=1', 'Soften=1'],
         quick=True),
    Case('320x240 colour keys defaulted, ColorCount 0', (320, 240), 123456, 4,
         picture='ramp', every=2, sets=['UseColor=1', 'ColorCount=0']),
    Case('240x180 steep random slopes, 64 colours', (240, 180), 2024, 4,
         picture='grey', sets=['Soften=0', 'UseColor=1', 'RGB_Red=255',
                               'RGB_Green=128', 'RGB_Blue=0']),
    Case('80x60 colour keys ignored without UseColor', (80, 60), 9, 8,
         sets=['UseColor=0', 'RGB_Red=255', 'RGB_Green=0', 'RGB_Blue=0',
               'Degrees=10', 'Delay=9']),
    Case('96x72 huge colour values use low bits, wrapped Degrees', (96, 72), 31337, 8,
         picture='long',
         sets=['UseColor=7', 'RGB_Red=513', 'RGB_Green=-1', 'RGB_Blue=1000',
               'ColorCount=-1', 'Degrees=65716', 'Invert=5']),
    Case('72x54 white picture inverted, ColorCount 1', (72, 54), 77, 6,
         picture='white', sets=['Invert=1', 'ColorCount=1', 'Soften=0']),
    Case('60x44 black picture', (60, 44), 78, 5, picture='black',
         sets=['ColorCount=16']),
    Case('48x40 many softening passes', (48, 40), 5, 5, picture='bands',
         sets=['Soften=1000', 'ColorCount=40']),
    Case('200x180 softening capped at 255 passes', (200, 180), 6, 3, picture='black',
         sets=['Soften=100000', 'ColorCount=128']),
    Case('settings file plus override', (88, 66), 4242, 6, picture='ramp',
         ini={'Degrees': '720', 'UseColor': '1', 'ColorCount': '12',
              'RGB_Red': '40', 'RGB_Green': '90', 'RGB_Blue': '250',
              'Soften': '2'},
         sets=['Soften=0', 'Invert=1']),
    # Tiny windows: the disc reaches the square's edge.
    Case('tiny 13x11', (13, 11), 7, 20, sets=['Soften=0'], quick=True),
    Case('tiny 13x11 steep', (13, 11), 17, 40, picture='grey',
         sets=['Soften=0', 'ColorCount=9'], quick=True),
    Case('tiny 13x11 steep inverted', (13, 11), 27, 40, picture='grey',
         sets=['Soften=0', 'Invert=1', 'Degrees=181']),
    Case('tiny 12x10 bands', (12, 10), 70, 20, picture='bands',
         sets=['Soften=0', 'ColorCount=5']),
    Case('tiny 12x10 steep, lens reaching the top and right edges', (12, 10), 170, 60,
         picture='grey', sets=['Soften=0', 'Invert=1']),
    # The lens's top row reaches the field's last row only when the sine is
    # exactly 1.0 (entry 45 of 180): a long run catches it.
    Case('tiny 12x10 steep, 300 ticks', (12, 10), 171, 300, picture='grey',
         sets=['Soften=0', 'ColorCount=32'],
         quick=True),
    Case('tiny 7x5', (7, 5), 71, 12, picture='grey', sets=['Soften=0']),
    Case('tiny 3x3', (3, 3), 72, 6),
    Case('tiny 2x1 (no lens)', (2, 1), 73, 4),
    # Narrow windows: the square slides past the left edge.
    Case('narrow 30x100', (30, 100), 8, 12, sets=['Soften=0'], quick=True),
    Case('narrow 30x100 steep', (30, 100), 18, 12, picture='grey',
         sets=['Soften=0', 'ColorCount=33']),
    Case('narrow 9x90 inverted', (9, 90), 81, 10, picture='bands',
         sets=['Invert=1', 'Degrees=200']),
    Case('one column 1x40', (1, 40), 82, 8, sets=['Soften=0'],
         quick=True),
    # Zero dimension: the path still runs, nothing is written.
    Case('zero width 0x40', (0, 40), 90, 5),
    Case('zero height 40x0', (40, 0), 91, 5),
    # Long runs of the path alone (a zero width draws nothing): single
    # precision phases and speeds over many cycles.
    Case('path only 0x240, 20000 ticks', (0, 240), 92, 20000),
    Case('path only 0x401, 1000 degrees, 20000 ticks', (0, 401), 93, 20000,
         sets=['Degrees=1000']),
]


def parse_sets(sets):
    keys = {}
    for item in sets:
        k, v = item.split('=', 1)
        keys[k] = v
    return keys


# ---------------------------------------------------------------------------
# Running and comparing

MAX_REPORTED = 6


def run_case(case, renderer, work, index):
    """Returns (frames compared, list of difference lines)."""
    problems = []
    case_dir = os.path.join(work, 'case%02d' % index)
    shutil.rmtree(case_dir, ignore_errors=True)
    os.makedirs(case_dir)
    w, h = case.width, case.height
    picture = desktop(case.picture, w, h, 1000 + index)
    desk_path = os.path.join(case_dir, 'desktop.raw')
    with open(desk_path, 'wb') as f:
        f.write(picture)
    out_dir = os.path.join(case_dir, 'out')
    cmd = [renderer, 'relief', '--size', '%dx%d' % (w, h), '--seed', str(case.seed),
           '--frames', str(case.frames), '--desktop', desk_path, '--out', out_dir,
           '--trace']
    keys = {}
    if case.ini is not None:
        ini_path = os.path.join(case_dir, 'settings.ini')
        with open(ini_path, 'w') as f:
            f.write('[ScreenSaver.Ondrels]\n')
            for k, v in case.ini.items():
                f.write('%s=%s\n' % (k, v))
        cmd += ['--ini', ini_path]
        keys.update(case.ini)
    if case.every != 1:
        cmd += ['--every', str(case.every)]
    for item in case.sets:
        cmd += ['--set', item]
    keys.update(parse_sets(case.sets))

    proc = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          universal_newlines=True)
    if proc.returncode != 0:
        return 0, ['renderer exit code %d: %s' % (proc.returncode, proc.stderr.strip())]
    traced = [line.split() for line in proc.stdout.splitlines()
              if line.startswith('tick ')]

    frames = 0
    bad_frames = 0
    expected_trace = []
    for tick, px, py, surface in ref.render(w, h, case.seed, case.frames, picture, keys):
        expected_trace.append(['tick', str(tick), 'px', str(px), 'py', str(py)])
        if w == 0 or h == 0 or tick % case.every != 0:
            continue
        path = os.path.join(out_dir, 'frame-%05d.png' % tick)
        if not os.path.exists(path):
            problems.append('tick %d: %s missing' % (tick, path))
            continue
        try:
            pw, ph, pixels = read_png_rgb(path)
        except PngError as e:
            problems.append('tick %d: %s' % (tick, e))
            continue
        frames += 1
        if (pw, ph) != (w, h):
            problems.append('tick %d: PNG is %dx%d, expected %dx%d' % (tick, pw, ph, w, h))
            continue
        if pixels == bytes(surface):
            continue
        bad_frames += 1
        if bad_frames > MAX_REPORTED:
            continue
        diffs = 0
        for i in range(w * h):
            a = bytes(surface[i * 3:i * 3 + 3])
            b = pixels[i * 3:i * 3 + 3]
            if a != b:
                # Pixel by pixel only for the first frame that differs.
                if bad_frames == 1 and diffs < MAX_REPORTED:
                    problems.append('tick %d pixel (x %d, y %d from top): expected '
                                    'rgb%s, got rgb%s' % (tick, i % w, i // w,
                                                          tuple(a), tuple(b)))
                diffs += 1
        problems.append('tick %d: %d pixels differ (path px %s py %s)'
                        % (tick, diffs, px, py))
    if bad_frames > MAX_REPORTED:
        problems.append('... %d frames differ in all' % bad_frames)
    if traced != expected_trace:
        for i, (e, g) in enumerate(zip(expected_trace, traced)):
            if e != g:
                problems.insert(0, 'trace line %d: expected "%s", got "%s"'
                                % (i + 1, ' '.join(e), ' '.join(g)))
                break
        else:
            problems.insert(0, 'trace has %d lines, expected %d'
                            % (len(traced), len(expected_trace)))
    if w == 0 or h == 0:
        written = os.listdir(out_dir) if os.path.isdir(out_dir) else []
        written = [n for n in written if n.endswith('.png')]
        if written:
            problems.append('zero-sized window wrote %d files' % len(written))
    else:
        written = sorted(n for n in os.listdir(out_dir) if n.endswith('.png'))
        wanted = ['frame-%05d.png' % t for t in range(1, case.frames + 1)
                  if t % case.every == 0]
        if written != wanted:
            problems.append('files written %s, expected %s' % (written, wanted))
    return frames, problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--renderer',
                        default=os.path.join(REPO, 'build', 'native', 'bin', 'saver-render'))
    parser.add_argument('--work', default=None,
                        help='scratch directory (default: a temporary one)')
    parser.add_argument('--quick', action='store_true',
                        help='only a few small cases')
    args = parser.parse_args()

    if not os.access(args.renderer, os.X_OK):
        print('renderer not found: %s' % args.renderer)
        return 2
    cleanup = args.work is None
    work = args.work or tempfile.mkdtemp(prefix='relief-ref-')
    os.makedirs(work, exist_ok=True)

    cases = [c for c in CASES if c.quick] if args.quick else CASES
    start = time.time()
    total_frames = 0
    failed = 0
    for index, case in enumerate(cases):
        frames, problems = run_case(case, args.renderer, work, index)
        total_frames += frames
        if problems:
            failed += 1
            print('FAIL %s (%dx%d seed %d):' % (case.name, case.width, case.height, case.seed))
            for line in problems:
                print('    ' + line)
    if cleanup:
        shutil.rmtree(work, ignore_errors=True)
    elapsed = time.time() - start
    if failed:
        print('%d cases, %d frames, %d cases with differences (%.1f s)'
              % (len(cases), total_frames, failed, elapsed))
        return 1
    print('%d cases, %d frames, all pixels equal (%.1f s)'
          % (len(cases), total_frames, elapsed))
    return 0


if __name__ == '__main__':
    sys.exit(main())
