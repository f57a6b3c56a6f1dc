#!/usr/bin/env python3
"""Generator of the Orbex artwork (tool bar and menu images, engine glyph strips,
form-shadow templates, glow mask, About logo, help picture and program icon).

Owns: everything in resources/images/ except README.md.  The build does not run this
script; the files it writes are kept in the repository.  Run it again after changing a
drawing:

    python3 resources/art/make_art.py

Vector shapes are rasterised by ImageMagick's `convert` (MVG drawing, 8x supersampled and
box-filtered down, so edges are anti-aliased but straight edges on whole pixels stay
crisp).  Everything else -- compositing, shading, the pixel font of the help picture, the
shadow and glow profiles -- is plain Python, and PNG, BMP and ICO files are written here
byte by byte, so that the same input always gives the same bytes.  PNGs are 8-bit RGBA
(colour type 6) with only IHDR, IDAT and IEND chunks: the skin engine's PNG reader keeps
alpha only for that colour type.
"""

import math
import os
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, '..', 'images'))

SS = 8  # supersampling factor for the small images

# Palette shared by the icons.
BLUE = '#2F7FE0'        # close to the Dusk trace colour, a little lighter for contrast
BLUE_DARK = '#1A4E96'
TEAL = '#1C9C86'
TEAL_DARK = '#0F5E51'
SLATE = '#525E6B'
SLATE_DARK = '#232B34'
METAL = '#A9B3BE'
METAL_DARK = '#4E5865'
CABLE = '#56606C'
GREEN = '#34C759'
RED = '#E5484D'
AMBER = '#F2C14E'


# ---------------------------------------------------------------------------------------
# Raster helpers: an image is (w, h, bytearray RGBA, straight alpha).

class Image:
    def __init__(self, w, h, data=None):
        self.w = w
        self.h = h
        self.data = bytearray(data) if data is not None else bytearray(w * h * 4)

    def get(self, x, y):
        i = (y * self.w + x) * 4
        return self.data[i], self.data[i + 1], self.data[i + 2], self.data[i + 3]

    def put(self, x, y, rgba):
        i = (y * self.w + x) * 4
        self.data[i:i + 4] = bytes(int(max(0, min(255, round(v)))) for v in rgba)


def run_convert(args):
    return subprocess.run(['convert'] + args, check=True, stdout=subprocess.PIPE).stdout


def render(w, h, mvg, ss=SS):
    """Rasterise MVG drawn in w x h design units into a w x h RGBA image."""
    # Pixel j of the big canvas is centred on j; shifting by half a pixel makes design
    # coordinate x the left edge of output pixel x.
    prolog = 'affine %d,0,0,%d,-0.5,-0.5\n' % (ss, ss)
    raw = run_convert(['-size', '%dx%d' % (w * ss, h * ss), 'xc:none',
                       '-draw', prolog + mvg,
                       '-filter', 'Box', '-resize', '%dx%d!' % (w, h),
                       '-depth', '8', 'RGBA:-'])
    img = Image(w, h, raw)
    clean(img)
    return img


def clean(img, floor=10):
    """Drop the faint fringe the rasteriser leaves outside shapes and zero the colour of
    fully transparent pixels (image lists and icon builders see them as pure black)."""
    d = img.data
    for i in range(0, len(d), 4):
        if d[i + 3] < floor:
            d[i:i + 4] = b'\0\0\0\0'


def over(dst, src):
    """Paint src over dst (both straight alpha), in place on dst."""
    d, s = dst.data, src.data
    for i in range(0, len(d), 4):
        sa = s[i + 3]
        if sa == 0:
            continue
        if sa == 255:
            d[i:i + 4] = s[i:i + 4]
            continue
        a_s = sa / 255.0
        a_d = d[i + 3] / 255.0
        a_o = a_s + a_d * (1 - a_s)
        for c in range(3):
            v = (s[i + c] * a_s + d[i + c] * a_d * (1 - a_s)) / a_o
            d[i + c] = int(round(v))
        d[i + 3] = int(round(a_o * 255))
    return dst


def fade(img, k):
    """Scale the alpha of every pixel by k (MVG opacity settings interact oddly with
    'fill none', so translucent strokes are made this way)."""
    for i in range(3, len(img.data), 4):
        img.data[i] = int(round(img.data[i] * k))
    return img


def shade(img, strength=0.10):
    """Subtle depth: lighten toward the top and darken toward the bottom."""
    for y in range(img.h):
        f = 1.0 + strength * (1.0 - 2.0 * (y + 0.5) / img.h)
        for x in range(img.w):
            i = (y * img.w + x) * 4
            if img.data[i + 3] == 0:
                continue
            for c in range(3):
                img.data[i + c] = int(max(0, min(255, round(img.data[i + c] * f))))
    return img


def layers(w, h, *mvgs, depth=0.10):
    """Render several MVG layers, paint them in order and shade the result."""
    base = Image(w, h)
    for m in mvgs:
        over(base, render(w, h, m))
    return shade(base, depth) if depth else base


# ---------------------------------------------------------------------------------------
# File writers.

def png_bytes(img):
    rows = bytearray()
    stride = img.w * 4
    for y in range(img.h):
        rows.append(0)
        rows += img.data[y * stride:(y + 1) * stride]

    def chunk(kind, payload):
        c = struct.pack('>I', len(payload)) + kind + payload
        return c + struct.pack('>I', zlib.crc32(kind + payload) & 0xFFFFFFFF)

    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', img.w, img.h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(rows), 9))
            + chunk(b'IEND', b''))


def write(name, data):
    path = os.path.join(OUT, name)
    with open(path, 'wb') as f:
        f.write(data)
    print('%-24s %7d bytes' % (name, len(data)))


def write_png(name, img):
    write(name, png_bytes(img))


def bmp24_bytes(img):
    """Bottom-up 24-bit Windows bitmap (BITMAPINFOHEADER), alpha ignored."""
    stride = (img.w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(img.h - 1, -1, -1):
        row = bytearray()
        for x in range(img.w):
            r, g, b, _ = img.get(x, y)
            row += bytes((b, g, r))
        row += b'\0' * (stride - len(row))
        pixels += row
    header = struct.pack('<IiiHHIIiiII', 40, img.w, img.h, 1, 24, 0, len(pixels),
                         2835, 2835, 0, 0)
    file_header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(pixels), 0, 0, 14 + 40)
    return file_header + header + pixels


def ico_bytes(images):
    """Icon file with one 32-bit DIB entry (colour with alpha plus AND mask) per image."""
    entries = []
    for img in images:
        xor = bytearray()
        for y in range(img.h - 1, -1, -1):
            for x in range(img.w):
                r, g, b, a = img.get(x, y)
                xor += bytes((b, g, r, a))
        mask_stride = ((img.w + 31) // 32) * 4
        mask = bytearray()
        for y in range(img.h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(img.w):
                if img.get(x, y)[3] < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack('<IiiHHIIiiII', 40, img.w, img.h * 2, 1, 32, 0,
                             len(xor) + len(mask), 0, 0, 0, 0)
        entries.append((img, header + xor + mask))
    out = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for img, blob in entries:
        out += struct.pack('<BBBBHHII', img.w % 256, img.h % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    for _, blob in entries:
        out += blob
    return out


# ---------------------------------------------------------------------------------------
# Tool bar (32 x 32) and menu (16 x 16) images.

def connect_icon(s):
    if s == 32:
        return layers(32, 32,
            "stroke '%s' stroke-width 3.5 stroke-linecap round fill none\n"
            "line 2,16 7,16\nline 26,16 30,16\n" % CABLE,
            "stroke '%s' stroke-width 1 fill '%s'\n"
            "roundrectangle 6.5,9.5 15.5,22.5 2,2\n" % (BLUE_DARK, BLUE) +
            "stroke '%s' stroke-width 1 fill '%s'\n"
            "roundrectangle 16.5,7.5 26.5,24.5 2,2\n" % (METAL_DARK, METAL) +
            "stroke '%s' stroke-width 0.8 fill '%s'\n"
            "circle 21.5,16 24,16\n" % ('#1E7A35', GREEN) +
            "stroke none fill '#FFFFFF' fill-opacity 0.55\n"
            "rectangle 8,11 14,12\n")
    return layers(16, 16,
        "stroke '%s' stroke-width 2 fill none\nline 0,8 3,8\nline 13,8 16,8\n" % CABLE,
        "stroke '%s' stroke-width 1 fill '%s'\n"
        "rectangle 2.5,4.5 7.5,11.5\n" % (BLUE_DARK, BLUE) +
        "stroke '%s' stroke-width 1 fill '%s'\n"
        "rectangle 8.5,3.5 13.5,12.5\n" % (METAL_DARK, METAL) +
        "stroke none fill '%s'\nrectangle 10,7 12,9\n" % GREEN)


def disconnect_icon(s):
    if s == 32:
        return layers(32, 32,
            "stroke '%s' stroke-width 3.5 stroke-linecap round fill none\n"
            "line 2,16 4,16\nline 28,16 30,16\n" % CABLE,
            "stroke '%s' stroke-width 1 fill '%s'\n"
            "rectangle 11.5,12.5 16.5,14.5\nrectangle 11.5,17.5 16.5,19.5\n"
            % (METAL_DARK, '#D5DBE2') +
            "stroke '%s' stroke-width 1 fill '%s'\n"
            "roundrectangle 2.5,9.5 11.5,22.5 2,2\n" % (BLUE_DARK, BLUE) +
            "stroke '%s' stroke-width 1 fill '%s'\n"
            "roundrectangle 19.5,7.5 28.5,24.5 2,2\n" % (METAL_DARK, METAL) +
            "stroke '%s' stroke-width 0.8 fill '%s'\n"
            "circle 24,16 26.5,16\n" % ('#8E1F24', RED) +
            "stroke none fill '#FFFFFF' fill-opacity 0.55\n"
            "rectangle 4,11 10,12\n")
    return layers(16, 16,
        "stroke '%s' stroke-width 2 fill none\nline 0,8 1,8\n" % CABLE,
        "stroke none fill '%s'\nrectangle 6,6 8,7\nrectangle 6,9 8,10\n" % METAL,
        "stroke '%s' stroke-width 1 fill '%s'\n"
        "rectangle 1.5,4.5 5.5,11.5\n" % (BLUE_DARK, BLUE) +
        "stroke '%s' stroke-width 1 fill '%s'\n"
        "rectangle 10.5,3.5 15.5,12.5\n" % (METAL_DARK, METAL) +
        "stroke none fill '%s'\nrectangle 12,7 14,9\n" % RED)


def sine_points(x0, x1, yc, amp, cycles, steps=48, phase=0.0):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        x = x0 + (x1 - x0) * t
        y = yc - amp * math.sin(phase + t * cycles * 2 * math.pi)
        pts.append('%.3f,%.3f' % (x, y))
    return ' '.join(pts)


def capture_icon(s):
    if s == 32:
        return layers(32, 32,
            "stroke '%s' stroke-width 1 fill '%s'\n"
            "roundrectangle 10.5,5.5 20.5,12 1.5,1.5\n"
            "roundrectangle 1.5,9.5 30.5,27.5 3,3\n" % (SLATE_DARK, SLATE) +
            "stroke none fill '%s'\nrectangle 23,7 28,9\n" % METAL +
            "stroke none fill '%s'\nrectangle 4,12 9,15\n" % AMBER +
            "stroke '%s' stroke-width 1 fill '%s'\ncircle 16,18.5 23.5,18.5\n"
            % (SLATE_DARK, '#C9D1DA') +
            "stroke none fill '#0C1522'\ncircle 16,18.5 21.5,18.5\n",
            "stroke '#5AAEFF' stroke-width 1.3 stroke-linejoin round fill none\n"
            "path 'M %s'\n" % sine_points(11.5, 20.5, 18.5, 2.6, 1.0) +
            "stroke none fill '#FFFFFF' fill-opacity 0.7\ncircle 13.6,15.6 14.6,15.6\n")
    return layers(16, 16,
        "stroke '%s' stroke-width 1 fill '%s'\n"
        "rectangle 4.5,2.5 9.5,5\n"
        "roundrectangle 0.5,4.5 15.5,14.5 1.5,1.5\n" % (SLATE_DARK, SLATE) +
        "stroke none fill '%s'\nrectangle 2,6 4,7\n" % AMBER +
        "stroke none fill '#C9D1DA'\ncircle 8,9.5 12,9.5\n" +
        "stroke none fill '%s'\ncircle 8,9.5 10.6,9.5\n" % '#1F5FB8' +
        "stroke none fill '#FFFFFF' fill-opacity 0.8\nrectangle 6.5,8 7.5,9\n")


def about_icon(s):
    if s == 32:
        return layers(32, 32,
            "stroke '%s' stroke-width 1 fill '%s'\ncircle 16,16 16,1.5\n" % (BLUE_DARK, BLUE),
            "stroke none fill '#FFFFFF'\ncircle 16,9.5 16,7.2\n"
            "roundrectangle 14,13 18,24.5 1,1\n"
            "rectangle 12,13 18,15\nrectangle 12,23 20,25\n", depth=0.14)
    return layers(16, 16,
        "stroke '%s' stroke-width 1 fill '%s'\ncircle 8,8 8,0.5\n" % (BLUE_DARK, BLUE),
        "stroke none fill '#FFFFFF'\nrectangle 7,3 9,5\n"
        "rectangle 7,6 9,12\nrectangle 6,6 7,7\nrectangle 6,11 10,12\n", depth=0.14)


def help_icon(s):
    if s == 32:
        return layers(32, 32,
            "stroke '%s' stroke-width 1 fill '%s'\ncircle 16,16 16,1.5\n" % (TEAL_DARK, TEAL),
            "stroke '#FFFFFF' stroke-width 3.4 stroke-linecap round stroke-linejoin round"
            " fill none\n"
            "path 'M 11.3,12 C 11.3,5.8 20.7,5.8 20.7,11.6 C 20.7,15.6 16,15.6 16,19.2'\n"
            "stroke none fill '#FFFFFF'\ncircle 16,24.2 16,22.1\n", depth=0.14)
    return layers(16, 16,
        "stroke '%s' stroke-width 1 fill '%s'\ncircle 8,8 8,0.5\n" % (TEAL_DARK, TEAL),
        "stroke '#FFFFFF' stroke-width 2 stroke-linecap butt stroke-linejoin round"
        " fill none\n"
        "path 'M 5.5,6 C 5.5,2.6 10.5,2.6 10.5,5.8 C 10.5,7.6 8,7.6 8,9.6'\n"
        "stroke none fill '#FFFFFF'\nrectangle 7,11 9,13\n", depth=0.14)


def skin_icon(s):
    assert s == 32
    r = 13.0
    c = 16.0
    k = r / math.sqrt(2.0)
    a = (c + k, c - k)   # top right
    b = (c - k, c + k)   # bottom left
    dark_half = ("path 'M %.3f,%.3f A %.1f,%.1f 0 0,1 %.3f,%.3f Z'\n"
                 % (a[0], a[1], r, r, b[0], b[1]))
    base = layers(32, 32,
        "stroke none fill '#F4F6F8'\ncircle 16,16 16,3\n",
        "stroke none fill '#15191E'\n" + dark_half,
        "stroke '#7C8692' stroke-width 1.6 fill none\ncircle 16,16 16,2.6\n",
        depth=0.06)
    wave = sine_points(5.0, 27.0, 16.5, 4.0, 1.5, steps=64, phase=0.0)
    blue = render(32, 32, "stroke '#3D8BFF' stroke-width 2 stroke-linejoin round"
                          " fill none\npath 'M %s'\n" % wave)
    black = render(32, 32, "stroke '#000000' stroke-width 2 stroke-linejoin round"
                           " fill none\npath 'M %s'\n" % wave)
    mask = render(32, 32, "stroke none fill '#FFFFFF'\n" + dark_half)
    # The trace takes the colour each skin gives it: blue on the dark half, black on
    # the light half.
    mixed = Image(32, 32)
    for i in range(0, len(mixed.data), 4):
        m = mask.data[i + 3] / 255.0
        for ch in range(3):
            mixed.data[i + ch] = int(round(blue.data[i + ch] * m + black.data[i + ch] * (1 - m)))
        mixed.data[i + 3] = max(blue.data[i + 3], black.data[i + 3])
    return over(base, mixed)


# ---------------------------------------------------------------------------------------
# Engine glyph strips: 48 x 16, three 16 x 16 states side by side
# (normal, hot, pressed -- pressed is drawn one pixel lower and to the right).

GLYPH_STATES = ('#7B8795', '#3A8BEF', '#2A6FCB')
GLYPH_HALO_ALPHA = 0.35


def glyph_strip(draw):
    """Each glyph is drawn once as a faint dark halo (its shape grown by about a pixel,
    so the normal grey still stands out on mid-grey panels) and once in its colour."""
    strip = Image(48, 16)
    for n, colour in enumerate(GLYPH_STATES):
        dx = 16 * n + (1 if n == 2 else 0)
        dy = 1 if n == 2 else 0
        move = 'translate %d,%d\n' % (dx, dy)
        over(strip, fade(render(48, 16, move + draw("'#000000'", 1.0)), GLYPH_HALO_ALPHA))
        over(strip, shade(render(48, 16, move + draw("'%s'" % colour, 0.0)), 0.08))
    return strip


def glyph_close(c, grow):
    return ("stroke %s stroke-width %.1f stroke-linecap round fill none\n"
            "line 4.5,4.5 11.5,11.5\nline 11.5,4.5 4.5,11.5\n" % (c, 2.2 + grow))


def glyph_down(c, grow):
    return ("stroke %s stroke-width %.1f stroke-linejoin round fill %s\n"
            "polygon 3,6 13,6 8,11.5\n" % (c if grow else 'none', grow, c))


def glyph_ellipsis(c, grow):
    return ("stroke %s stroke-width %.1f fill %s\n"
            "rectangle 2,10 4,12\nrectangle 7,10 9,12\nrectangle 12,10 14,12\n"
            % (c if grow else 'none', grow, c))


def glyph_find(c, grow):
    return ("stroke %s stroke-width %.1f fill none\ncircle 6.3,6.3 6.3,2.0\n"
            "stroke-width %.1f stroke-linecap round\nline 10.2,10.2 13.4,13.4\n"
            % (c, 1.8 + grow, 2.6 + grow))


def glyph_refresh(c, grow):
    cx, cy, r = 7.6, 8.4, 4.8
    t0, t1 = math.radians(20), math.radians(255)
    steps = 24
    pts = []
    for i in range(steps + 1):
        t = t0 + (t1 - t0) * i / steps
        pts.append('%.3f,%.3f' % (cx + r * math.cos(t), cy + r * math.sin(t)))
    # Arrow head at the open end, pointing the way the arc runs (clockwise on screen).
    ex, ey = cx + r * math.cos(t1), cy + r * math.sin(t1)
    tx, ty = -math.sin(t1), math.cos(t1)
    nx, ny = math.cos(t1), math.sin(t1)
    tip = (ex + 3.2 * tx, ey + 3.2 * ty)
    b1 = (ex + 2.5 * nx - 0.3 * tx, ey + 2.5 * ny - 0.3 * ty)
    b2 = (ex - 2.5 * nx - 0.3 * tx, ey - 2.5 * ny - 0.3 * ty)
    # The rasteriser closes strongly bent open paths, so the arc is laid down as short
    # round-capped segments instead.
    segs = ''.join('line %s %s\n' % (pts[i], pts[i + 1]) for i in range(len(pts) - 1))
    return ("stroke %s stroke-width %.1f stroke-linecap round fill none\n%s"
            % (c, 1.8 + grow, segs) +
            "stroke %s stroke-width %.1f stroke-linejoin round fill %s\n"
            "polygon %.3f,%.3f %.3f,%.3f %.3f,%.3f\n"
            % (c if grow else 'none', grow, c,
               tip[0], tip[1], b1[0], b1[1], b2[0], b2[1]))


# ---------------------------------------------------------------------------------------
# Form-shadow templates and glow mask.

def edge_profile(w, h, band, peak, spread, colour, inner):
    """A 9-slice friendly halo: the window (or control) fills the rectangle `band` pixels
    in from every side; outside it the alpha falls off with the distance to the
    rectangle (straight along the sides, round at the corners), so the side strips are
    uniform and can be stretched.  `inner` is the alpha inside the rectangle."""
    img = Image(w, h)
    for y in range(h):
        for x in range(w):
            px, py = x + 0.5, y + 0.5
            dx = max(band - px, 0.0, px - (w - band))
            dy = max(band - py, 0.0, py - (h - band))
            if dx == 0 and dy == 0:
                a = inner
            else:
                d = math.hypot(dx, dy)
                a = peak * math.exp(-(d / spread) ** 2)
            img.put(x, y, colour + (255 * a,))
    clean(img, 1)
    return img


# ---------------------------------------------------------------------------------------
# Program icon: a small scope screen with grid and trace, in a bezel.

def app_icon(s):
    if s == 48:
        bezel = "roundrectangle 1.5,4.5 46.5,43.5 6,6\n"
        screen = (6, 9, 42, 32)
        grid_step = 6
        trace_w = 2.0
        knobs = ("stroke none fill '%s'\nroundrectangle 8,36 14,39 1,1\n"
                 "roundrectangle 17,36 23,39 1,1\n" % METAL +
                 "stroke '%s' stroke-width 1 fill '%s'\ncircle 37,37.5 37,34.5\n"
                 % (SLATE_DARK, '#C9D1DA'))
    elif s == 32:
        bezel = "roundrectangle 0.5,3.5 31.5,28.5 4,4\n"
        screen = (3, 6, 29, 21)
        grid_step = 4
        trace_w = 1.6
        knobs = ("stroke none fill '%s'\nrectangle 5,23 9,25\nrectangle 11,23 15,25\n" % METAL +
                 "stroke '%s' stroke-width 1 fill '%s'\ncircle 25,24 25,21.8\n"
                 % (SLATE_DARK, '#C9D1DA'))
    else:
        bezel = "roundrectangle 0.5,1.5 15.5,14.5 2,2\n"
        screen = (2, 3, 14, 11)
        grid_step = 0
        trace_w = 1.4
        knobs = "stroke none fill '%s'\nrectangle 3,12 6,13\nrectangle 10,12 13,13\n" % METAL
    x0, y0, x1, y1 = screen
    grid = ''
    if grid_step:
        grid = "stroke '#26313D' stroke-width 1 fill none\n"
        for gx in range(x0 + grid_step, x1, grid_step):
            grid += 'line %.1f,%d %.1f,%d\n' % (gx + 0.5, y0, gx + 0.5, y1)
        for gy in range(y0 + grid_step, y1, grid_step):
            grid += 'line %d,%.1f %d,%.1f\n' % (x0, gy + 0.5, x1, gy + 0.5)
    yc = (y0 + y1) / 2.0
    amp = (y1 - y0) * 0.30
    wave = sine_points(x0 + 0.5, x1 - 0.5, yc, amp, 1.5 if s == 16 else 2.0, steps=96)
    body = layers(s, s,
        "stroke '%s' stroke-width 1 fill '%s'\n" % (SLATE_DARK, '#56616E') + bezel +
        "stroke none fill '#070B10'\nrectangle %d,%d %d,%d\n" % screen + grid + knobs,
        depth=0.12)
    glow = fade(render(s, s, "stroke '#3D8BFF' stroke-width %.1f"
                             " stroke-linejoin round fill none\npath 'M %s'\n"
                             % (trace_w * 2.4, wave)), 0.35)
    trace = render(s, s, "stroke '#5AA8FF' stroke-width %.1f stroke-linejoin round"
                         " fill none\npath 'M %s'\n" % (trace_w, wave))
    # Keep the trace inside the screen.
    for layer in (glow, trace):
        for y in range(s):
            for x in range(s):
                if not (x0 <= x < x1 and y0 <= y < y1):
                    layer.put(x, y, (0, 0, 0, 0))
    over(body, glow)
    over(body, trace)
    return body


# ---------------------------------------------------------------------------------------
# About logo (JPEG, 425 x 273): a scope screen with a glowing trace and the name; the
# full product name is a label under the picture, so it is not repeated here.

def about_logo():
    w, h = 425, 273
    sx0, sy0, sx1, sy1 = 22, 20, 403, 196
    divx, divy = 10, 8
    grid = "stroke '#22303F' stroke-width 1 fill none\n"
    for i in range(1, divx):
        x = sx0 + (sx1 - sx0) * i / divx
        grid += 'line %.1f,%d %.1f,%d\n' % (x, sy0, x, sy1)
    for j in range(1, divy):
        y = sy0 + (sy1 - sy0) * j / divy
        grid += 'line %d,%.1f %d,%.1f\n' % (sx0, y, sx1, y)
    ticks = "stroke '#2F4154' stroke-width 1 fill none\n"
    cx, cy = (sx0 + sx1) / 2.0, (sy0 + sy1) / 2.0
    for i in range(divx * 5 + 1):
        x = sx0 + (sx1 - sx0) * i / (divx * 5)
        ticks += 'line %.1f,%.1f %.1f,%.1f\n' % (x, cy - 2, x, cy + 2)
    for j in range(divy * 5 + 1):
        y = sy0 + (sy1 - sy0) * j / (divy * 5)
        ticks += 'line %.1f,%.1f %.1f,%.1f\n' % (cx - 2, y, cx + 2, y)
    pts = []
    n = 400
    for i in range(n + 1):
        t = i / n
        x = sx0 + 4 + (sx1 - sx0 - 8) * t
        ph = t * 2.5 * 2 * math.pi
        v = math.sin(ph) + 0.28 * math.sin(3 * ph + 0.4) + 0.10 * math.sin(7 * ph)
        y = cy + 8 - 52 * v * (0.55 + 0.45 * math.exp(-1.6 * t))
        pts.append('%.2f,%.2f' % (x, y))
    poly = "path 'M " + ' '.join(pts) + "'\n"
    panel = ("fill '#05080C' stroke '#3A4654' stroke-width 2\n"
             "roundrectangle %d,%d %d,%d 8,8\n" % (sx0, sy0, sx1, sy1))
    args = ['-size', '%dx%d' % (w, h), 'gradient:#17202B-#06090D',
            '-draw', panel + grid + ticks,
            '(', '-size', '%dx%d' % (w, h), 'xc:none',
            '-draw', "stroke '#2F7FE0' stroke-width 7 fill none stroke-linejoin round\n" + poly,
            '-channel', 'A', '-evaluate', 'multiply', '0.55', '+channel',
            '-blur', '0x6', ')', '-compose', 'over', '-composite',
            '-draw', "stroke '#7CC0FF' stroke-width 2.2 fill none stroke-linejoin round\n" + poly,
            '-font', 'DejaVu-Sans-Bold', '-pointsize', '46', '-kerning', '1',
            '-fill', '#E9EFF6', '-stroke', 'none',
            '-annotate', '+24+254', 'Orbex',
            '-fill', '#2F7FE0', '-draw', 'rectangle 192,238 403,240',
            '-strip', '-interlace', 'none', '-sampling-factor', '1x1',
            '-quality', '90', 'JPEG:-']
    return run_convert(args)


# ---------------------------------------------------------------------------------------
# Help picture (24-bit BMP, 224 x 164): a handheld scope whose menu has "BINARY" picked.

FONT5x7 = {
    'A': ['01110', '10001', '10001', '11111', '10001', '10001', '10001'],
    'B': ['11110', '10001', '10001', '11110', '10001', '10001', '11110'],
    'C': ['01110', '10001', '10000', '10000', '10000', '10001', '01110'],
    'D': ['11110', '10001', '10001', '10001', '10001', '10001', '11110'],
    'E': ['11111', '10000', '10000', '11110', '10000', '10000', '11111'],
    'F': ['11111', '10000', '10000', '11110', '10000', '10000', '10000'],
    'H': ['10001', '10001', '10001', '11111', '10001', '10001', '10001'],
    'I': ['01110', '00100', '00100', '00100', '00100', '00100', '01110'],
    'K': ['10001', '10010', '10100', '11000', '10100', '10010', '10001'],
    'L': ['10000', '10000', '10000', '10000', '10000', '10000', '11111'],
    'M': ['10001', '11011', '10101', '10101', '10001', '10001', '10001'],
    'N': ['10001', '11001', '10101', '10011', '10001', '10001', '10001'],
    'O': ['01110', '10001', '10001', '10001', '10001', '10001', '01110'],
    'P': ['11110', '10001', '10001', '11110', '10000', '10000', '10000'],
    'R': ['11110', '10001', '10001', '11110', '10100', '10010', '10001'],
    'S': ['01111', '10000', '10000', '01110', '00001', '00001', '11110'],
    'T': ['11111', '00100', '00100', '00100', '00100', '00100', '00100'],
    'U': ['10001', '10001', '10001', '10001', '10001', '10001', '01110'],
    'X': ['10001', '10001', '01010', '00100', '01010', '10001', '10001'],
    'Y': ['10001', '10001', '01010', '00100', '00100', '00100', '00100'],
    '2': ['01110', '10001', '00001', '00010', '00100', '01000', '11111'],
    '3': ['11110', '00001', '00001', '01110', '00001', '00001', '11110'],
    '>': ['01000', '00100', '00010', '00001', '00010', '00100', '01000'],
    ' ': ['00000'] * 7,
}


def text_width(text):
    return len(text) * 6 - 1


def draw_text(img, x, y, text, rgb):
    for ch in text:
        rows = FONT5x7[ch]
        for j, row in enumerate(rows):
            for i, bit in enumerate(row):
                if bit == '1':
                    img.put(x + i, y + j, rgb + (255,))
        x += 6


def help_picture():
    w, h = 224, 164
    # Device outline and keys, drawn as vectors.
    bx0, by0, bx1, by1 = 60, 12, 164, 160     # body
    lx0, ly0, lx1, ly1 = 70, 24, 154, 92      # screen
    mvg = (
        # probe socket on the top edge
        "stroke '#5B6470' stroke-width 1 fill '#C4CBD3'\n"
        "rectangle 103.5,3.5 120.5,13.5\n"
        "stroke none fill '#8E98A4'\nrectangle 107,3 117,6\n"
        # rubber bumper and body
        "stroke '#1C2128' stroke-width 1 fill '#2B323B'\n"
        "roundrectangle %.1f,%.1f %.1f,%.1f 12,12\n" % (bx0 + .5, by0 + .5, bx1 - .5, by1 - .5) +
        "stroke none fill '#48525E'\n"
        "roundrectangle %d,%d %d,%d 9,9\n" % (bx0 + 4, by0 + 4, bx1 - 4, by1 - 4) +
        # screen bezel
        "stroke none fill '#1A1F26'\n"
        "roundrectangle %d,%d %d,%d 3,3\n" % (lx0 - 4, ly0 - 4, lx1 + 4, ly1 + 4) +
        "fill '#0A0F15'\nrectangle %d,%d %d,%d\n" % (lx0, ly0, lx1, ly1) +
        # four soft keys under the screen
        "stroke '#20262E' stroke-width 1 fill '#7D8894'\n"
        "roundrectangle 72.5,101.5 88.5,107.5 2,2\n"
        "roundrectangle 92.5,101.5 108.5,107.5 2,2\n"
        "roundrectangle 115.5,101.5 131.5,107.5 2,2\n"
        "roundrectangle 135.5,101.5 151.5,107.5 2,2\n"
        # round navigation pad with arrows, and two keys beside it
        "stroke '#20262E' stroke-width 1 fill '#6C7783'\ncircle 112,128 112,113.5\n"
        "stroke none fill '#4A545F'\ncircle 112,128 112,121.5\n"
        "fill '#D5DBE2'\npolygon 112,115.5 108,120 116,120\npolygon 112,140.5 108,136 116,136\n"
        "polygon 99.5,128 104,124 104,132\npolygon 124.5,128 120,124 120,132\n"
        "stroke '#20262E' stroke-width 1 fill '%s'\ncircle 82,128 82,121.5\n" % BLUE +
        "fill '#7D8894'\ncircle 142,128 142,121.5\n"
    )
    scene = Image(w, h)
    # Soft light backdrop, so the picture reads as a photo card on either skin.
    for y in range(h):
        v = 246 - int(18 * y / h)
        for x in range(w):
            scene.put(x, y, (v, v + 1, v + 3, 255))
    # A soft shadow under the device.
    shadow = Image(w, h)
    for y in range(h):
        for x in range(w):
            dx = max(bx0 + 6 - x, 0, x - (bx1 + 1))
            dy = max(by0 + 8 - y, 0, y - (by1 + 2))
            d = math.hypot(dx, dy)
            a = 0.28 * math.exp(-(d / 5.0) ** 2) if (dx or dy) else 0.28
            shadow.put(x, y, (0, 0, 0, 255 * a))
    over(scene, shadow)
    over(scene, render(w, h, mvg, ss=4))

    # Screen contents, pixel by pixel like the instrument's own display.
    grey = (150, 160, 172)
    light = (218, 226, 234)
    # faint trace behind the menu
    for i in range(lx1 - lx0):
        t = i / (lx1 - lx0)
        y = int(round(ly1 - 10 - 5 * math.sin(t * 3 * 2 * math.pi)))
        scene.put(lx0 + i, y, (22, 52, 96, 255))
    # title line
    title = 'PC LINK'
    for x in range(lx0, lx1):
        for y in range(ly0, ly0 + 11):
            scene.put(x, y, (38, 46, 56, 255))
    draw_text(scene, lx0 + (lx1 - lx0 - text_width(title)) // 2, ly0 + 2, title, light)
    items = ['OFF', 'TEXT', 'BINARY']
    y = ly0 + 16
    for item in items:
        if item == 'BINARY':
            for yy in range(y - 2, y + 9):
                for xx in range(lx0 + 4, lx1 - 4):
                    scene.put(xx, yy, (0x1F, 0x70, 0xD9, 255))
            draw_text(scene, lx0 + 8, y, '>', (255, 255, 255))
            draw_text(scene, lx0 + 16, y, item, (255, 255, 255))
        else:
            draw_text(scene, lx0 + 16, y, item, grey)
        y += 13
    # soft key labels above the keys are too small to read; the name sits at the bottom
    name = 'ORBEX'
    draw_text(scene, (bx0 + bx1 - text_width(name)) // 2, by1 - 15, name, (196, 204, 214))
    return scene


# ---------------------------------------------------------------------------------------

def main():
    os.makedirs(OUT, exist_ok=True)
    toolbar = [('connect', connect_icon), ('disconnect', disconnect_icon),
               ('capture', capture_icon), ('about', about_icon), ('help', help_icon)]
    for name, fn in toolbar:
        write_png('%s32.png' % name, fn(32))
        write_png('%s16.png' % name, fn(16))
    write_png('skin32.png', skin_icon(32))

    strips = [('sc', glyph_close), ('sd', glyph_down), ('se', glyph_ellipsis),
              ('sf', glyph_find), ('sr', glyph_refresh)]
    for name, fn in strips:
        write_png('%s.png' % name, glyph_strip(fn))

    write_png('lxshda.png', edge_profile(32, 32, 9, 0.42, 4.6, (0, 0, 0), 0.0))
    write_png('lxshdi.png', edge_profile(32, 32, 9, 0.24, 3.8, (0, 0, 0), 0.0))
    write_png('lxgl.png', edge_profile(32, 32, 10, 0.60, 5.0, (0x8C, 0xC4, 0xFF), 0.60))

    write('about-logo.jpg', about_logo())
    write('help-binary-mode.bmp', bmp24_bytes(help_picture()))
    write('orbex.ico', ico_bytes([app_icon(16), app_icon(32), app_icon(48)]))


if __name__ == '__main__':
    sys.exit(main())
