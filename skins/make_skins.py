#!/usr/bin/env python3
"""Writes the program's two stored skins, Dusk (dark) and Linden (light): each folder
skins/<Name>/ gets its "Options.dat" and its 32-bit BMP images.  The build packs each folder
into a ".tez" file that becomes the "Data" of a stored skin of the main form.

Owns: everything in skins/Dusk/ and skins/Linden/.  Edit the design tables (PALETTES) or a
drawing below, then run the script; the same input always gives the same bytes.
  make_skins.py            rewrite both skins
  make_skins.py --check    exit 1 when a file differs from what this script writes

Rules every skin follows (the engine's reader is strict):
  * section names, key names and image names in upper case; "STATES" in every section;
    GLOBALINFO first; colours as decimal 0x00BBGGRR; CRLF line ends; no comments;
  * images are 32-bit BMPs: key pixels exactly B=255 G=0 R=255 A=0, every other pixel A=255;
    bands (the transparency rows under a picture) are grey, 0 opaque .. 255 see-through, and
    key pixels get band 255;
  * frames that stretch have a 1 x 1 centre piece (version 7.2 stretches "^" masks with a
    band only then); "BUTTON"'s frame is a nine-piece mask with a band (mask type 1);
  * "FORM" and "DIALOG" borders are 3 pixels, inside the system's dialog frame;
  * text values never look like image references, no section derives from one with a frame
    it must not show, and nothing derives in a circle.
"""

import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------------------
# Design tables: every colour of a skin, by role (RGB).

PALETTES = {
    'Dusk': dict(
        description='Calm dark skin with a blue accent',
        title_wash=False,             # no image at the caption's end
        accent=(31, 112, 217),        # selection, checked glyphs, focus, the trace
        accent_hot=(44, 124, 226),    # hovered accent surfaces (white text still reads)
        accent_down=(24, 92, 184),
        accent_soft=(110, 168, 245),  # accent used as text or a line on dark surfaces
        glow=(31, 112, 217),
        on_accent=(255, 255, 255),
        menu_sel=(31, 112, 217),      # selected menu item; the menu line's text stays on it
        menu_sel_text=(255, 255, 255),
        window=(31, 33, 37),          # form client area, dialogs
        title=(22, 24, 27),           # active caption strip and menu line
        title_idle=(31, 33, 37),      # inactive caption strip
        title_text=(234, 237, 242),
        title_text_idle=(142, 148, 158),
        surface=(38, 41, 46),         # panels, tool bar, status bar
        surface_top=(42, 45, 51),     # top stop of the bar gradients
        surface_low=(26, 28, 32),     # lowered panels, scroll tracks
        input=(23, 25, 28),           # edits, combo boxes
        raised=((64, 69, 78), (54, 58, 66)),      # button face, top to bottom
        raised_hot=((74, 80, 90), (62, 67, 76)),
        hover=(56, 61, 69),           # flat hover (tool buttons, header, scroll buttons)
        pressed=(48, 52, 60),
        menu=(40, 43, 49),
        icoline=(35, 38, 43),
        border=(66, 71, 80),
        border_hot=(96, 103, 115),
        line=(56, 60, 68),            # separators
        text=(226, 229, 234),
        text_hot=(255, 255, 255),
        text_muted=(160, 166, 176),
        glyph=(176, 182, 192),
        glyph_hot=(236, 239, 244),
        thumb=(74, 79, 89),
        thumb_hot=(96, 102, 114),
        thumb_down=(118, 125, 138),
        close_hot=(196, 43, 43),
        close_down=(160, 32, 32),
        dots=(84, 90, 101),
    ),
    'Linden': dict(
        description='Calm light skin with a fresh green accent',
        title_wash=True,              # a soft green wash under the caption buttons
        accent=(30, 130, 76),
        accent_hot=(26, 120, 70),
        accent_down=(22, 104, 60),
        accent_soft=(22, 110, 62),
        glow=(64, 178, 106),
        on_accent=(255, 255, 255),
        menu_sel=(212, 234, 220),     # a soft tint: the menu line's dark text reads on it
        menu_sel_text=(16, 40, 26),
        window=(244, 247, 245),
        title=(225, 234, 228),
        title_idle=(238, 242, 239),
        title_text=(22, 32, 26),
        title_text_idle=(86, 97, 90),
        surface=(250, 251, 250),
        surface_top=(253, 254, 253),
        surface_low=(236, 240, 237),
        input=(255, 255, 255),
        raised=((255, 255, 255), (240, 244, 241)),
        raised_hot=((246, 252, 248), (226, 241, 232)),
        hover=(228, 240, 233),
        pressed=(214, 232, 221),
        menu=(252, 253, 252),
        icoline=(240, 245, 242),
        border=(192, 201, 195),
        border_hot=(150, 176, 160),
        line=(218, 225, 220),
        text=(28, 34, 31),
        text_hot=(10, 16, 12),
        text_muted=(86, 96, 90),
        glyph=(92, 102, 96),
        glyph_hot=(28, 34, 31),
        thumb=(196, 205, 199),
        thumb_hot=(166, 180, 171),
        thumb_down=(120, 160, 136),
        close_hot=(196, 43, 43),
        close_down=(160, 32, 32),
        dots=(184, 194, 188),
    ),
}

AUTHOR = 'Orbex team'
VERSION = '7.2'

# ---------------------------------------------------------------------------------------
# Colour helpers.

def col(rgb):
    """The engine's colour value: decimal 0x00BBGGRR."""
    r, g, b = rgb
    return str(r | (g << 8) | (b << 16))


def mix(a, b, t):
    """a blended towards b by t (0..1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def gradient(top, bottom):
    """One vertical stop over the whole height."""
    return '%s;%s;100;0;0' % (col(top), col(bottom))


# ---------------------------------------------------------------------------------------
# Shapes: predicates on a point (x, y) in pixel units, the pixel (i, j) spanning
# [i, i+1) x [j, j+1), with the box outside which they hold nowhere.  A frame samples them
# 4 x 4 per pixel for soft edges.

class Shape:
    def __init__(self, inside, x0, y0, x1, y1):
        self.inside = inside
        self.bounds = (x0, y0, x1, y1)

    def __call__(self, x, y):
        return self.inside(x, y)

    def pixels(self, w, h):
        """The pixels of a w x h frame the shape may touch."""
        x0, y0, x1, y1 = self.bounds
        return [(i, j) for j in range(max(0, int(math.floor(y0))), min(h, int(math.ceil(y1))))
                for i in range(max(0, int(math.floor(x0))), min(w, int(math.ceil(x1))))]


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x >= x1 or y < y0 or y >= y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return Shape(inside, x0, y0, x1, y1)


def ring(x0, y0, x1, y1, r, width=1):
    outer = rounded(x0, y0, x1, y1, r)
    inner = rounded(x0 + width, y0 + width, x1 - width, y1 - width, max(r - width, 0))
    return Shape(lambda x, y: outer(x, y) and not inner(x, y), x0, y0, x1, y1)


def disc(cx, cy, r):
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, cx - r, cy - r, cx + r, cy + r)


def polyline(points, width):
    """A stroke through the points, width pixels wide, with round joins."""
    segs = list(zip(points, points[1:]))

    def dist(x, y, a, b):
        ax, ay = a
        bx, by = b
        dx, dy = bx - ax, by - ay
        t = ((x - ax) * dx + (y - ay) * dy) / float(dx * dx + dy * dy)
        t = min(max(t, 0.0), 1.0)
        return math.hypot(x - (ax + t * dx), y - (ay + t * dy))
    half = width / 2.0
    xs, ys = [x for x, _ in points], [y for _, y in points]
    return Shape(lambda x, y: min(dist(x, y, a, b) for a, b in segs) <= half,
                 min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half)


def box(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, x0, y0, x1, y1)


def union(*shapes):
    b = [s.bounds for s in shapes]
    return Shape(lambda x, y: any(s(x, y) for s in shapes), min(v[0] for v in b), min(v[1] for v in b),
                 max(v[2] for v in b), max(v[3] for v in b))


# ---------------------------------------------------------------------------------------
# Frames: one state picture of a mask.  A pixel is None (key: outside the shape, the parent
# shows) or (r, g, b, opacity); opacity 0 lets the section's own fill show through.

SAMPLES = [(i + 0.5) / 4.0 for i in range(4)]


def coverage(shape, i, j):
    n = sum(1 for sy in SAMPLES for sx in SAMPLES if shape(i + sx, j + sy))
    return n / 16.0


class Frame:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0, 0, 0, 0.0) for _ in range(w)] for _ in range(h)]

    def paint(self, shape, rgb, alpha=1.0):
        """Lays rgb over the frame where the shape covers it."""
        for i, j in shape.pixels(self.w, self.h):
            c = coverage(shape, i, j) * alpha
            p = self.px[j][i]
            if c <= 0 or p is None:
                continue
            op = c + p[3] * (1 - c)
            rgb2 = tuple((rgb[k] * c + p[k] * p[3] * (1 - c)) / op for k in range(3))
            self.px[j][i] = rgb2 + (op,)
        return self

    def cut(self, shape):
        """Keys every pixel the shape covers less than a third: the frame's outside."""
        touched = set(shape.pixels(self.w, self.h))
        for j in range(self.h):
            for i in range(self.w):
                if (i, j) not in touched or coverage(shape, i, j) < 0.34:
                    self.px[j][i] = None
        return self

    def opaque(self):
        """For masks without a band: every painted pixel fully opaque."""
        for row in self.px:
            for i, p in enumerate(row):
                if p is not None:
                    row[i] = p[:3] + (1.0,)
        return self


class Strip:
    """Frames side by side; with a band (mask type 1) the transparency rows lie below."""

    def __init__(self, frames, band=True):
        self.frames = frames
        self.band = band
        self.fw, self.fh = frames[0].w, frames[0].h
        self.w = self.fw * len(frames)
        self.h = self.fh * (2 if band else 1)

    def pixels(self):
        rows = []
        for j in range(self.fh):
            rows.append([picture(f.px[j][i], self.band) for f in self.frames for i in range(f.w)])
        if self.band:
            for j in range(self.fh):
                rows.append([band(f.px[j][i]) for f in self.frames for i in range(f.w)])
        return rows


KEY = (255, 0, 255, 0)


def picture(p, banded):
    if p is None:
        return KEY
    if not banded and p[3] < 1.0:
        raise ValueError('a mask without a band cannot hold see-through pixels')
    return tuple(int(round(v)) for v in p[:3]) + (255,)


def band(p):
    if p is None:
        return (255, 255, 255, 255)
    g = int(round((1.0 - p[3]) * 255))
    return (g, g, g, 255)


# ---------------------------------------------------------------------------------------
# Images: 32-bit BMPs, bottom-up, BI_RGB.

class Canvas:
    def __init__(self, w, h, fill=KEY):
        self.w, self.h = w, h
        self.rows = [[fill] * w for _ in range(h)]

    def blit(self, pixels, x, y):
        for j, row in enumerate(pixels):
            self.rows[y + j][x:x + len(row)] = row


def bmp(canvas):
    data = bytearray()
    for row in reversed(canvas.rows):
        for r, g, b, a in row:
            data += bytes((b, g, r, a))
    header = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 32, 0, len(data),
                         2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)) \
        + header + data


class Master:
    """The master bitmap: strips packed on shelves, each placed where it first fits."""

    WIDTH = 256

    def __init__(self):
        self.placed = []   # (strip, x, y)
        self.x = self.y = self.shelf = 0

    def add(self, strip):
        for placed, x, y in self.placed:   # a strip used by two keys is stored once
            if placed is strip:
                return x, y
        if self.x + strip.w > self.WIDTH:
            self.x, self.y, self.shelf = 0, self.y + self.shelf + 1, 0
        x, y = self.x, self.y
        self.placed.append((strip, x, y))
        self.x += strip.w + 1
        self.shelf = max(self.shelf, strip.h)
        return x, y

    def image(self):
        c = Canvas(self.WIDTH, self.y + self.shelf)
        for strip, x, y in self.placed:
            c.blit(strip.pixels(), x, y)
        return c


# ---------------------------------------------------------------------------------------
# Mask values.

def region(master, strip):
    """"@" form: a glyph or picture, no borders."""
    x, y = master.add(strip)
    return '@%04d %04d %04d %04d %d %d' % (x, y, x + strip.w, y + strip.h,
                                          len(strip.frames), 1 if strip.band else 0)


def nine(master, strip, left, top, right, bottom, mode):
    """"^" form: a nine-piece frame with its borders and draw mode."""
    x, y = master.add(strip)
    return '^%04d %04d %04d %04d %04d %04d %04d %04d %d %d %d 0' % (
        x, y, x + strip.w, y + strip.h, left, top, right, bottom,
        len(strip.frames), 1 if strip.band else 0, mode)


def own(images, name, strip, image_type, borders, mode):
    """"!" form: the mask in a bitmap of its own, all nine fields given."""
    c = Canvas(strip.w, strip.h)
    c.blit(strip.pixels(), 0, 0)
    images[name] = bmp(c)
    return '!%s!%d!%d!%d!%d!%d!%d!%d!%d' % ((name, len(strip.frames), 1 if strip.band else 0,
                                            image_type) + tuple(borders) + (mode,))


STRETCH, NO_NORMAL, CENTRE = 1, 2, 4


# ---------------------------------------------------------------------------------------
# Drawings.  Every frame below that stretches is l + 1 + r wide and t + 1 + b high.

def outlined(w, h, r, edge, fill=None, inset=0, keyed=True):
    """A rounded box: 1-pixel edge, optional fill, see-through inside otherwise."""
    f = Frame(w, h)
    shape = rounded(inset, inset, w - inset, h - inset, r)
    if fill is not None:
        f.paint(shape, fill)
    if edge is not None:
        f.paint(ring(inset, inset, w - inset, h - inset, r), edge)
    if keyed:
        f.cut(shape)
    return f


def empty(w, h):
    return Frame(w, h)


def hairline(w, h, rect, rgb):
    return Frame(w, h).paint(box(*rect), rgb)


def top_rounded(x0, y0, x1, y1, r):
    """A box whose top corners are rounded."""
    return union(rounded(x0, y0, x1, y1 + r, r), box(x0, y0 + r, x1, y1))


def window_frame(p, active, r):
    """3-pixel border of a window: a 1-pixel outer line, then the caption colour."""
    w = h = 7
    outer = top_rounded(0, 0, w, h, r)
    inner = top_rounded(1, 1, w - 1, h - 1, max(r - 1, 0))
    edge = mix(p['border'], p['accent'], 0.45) if active else p['border']
    f = Frame(w, h).paint(outer, p['title'] if active else p['title_idle'])
    f.paint(Shape(lambda x, y: outer(x, y) and not inner(x, y), 0, 0, w, h), edge)
    return f.cut(outer)


def glow(p, size, r):
    """Soft accent light around a control: strongest at the control's edge, fading out."""
    inner = size
    w = h = 2 * (size + r) + 1
    f = Frame(w, h)
    for j in range(h):
        for i in range(w):
            x, y = i + 0.5, j + 0.5
            cx = min(max(x, inner + r), w - inner - r)
            cy = min(max(y, inner + r), h - inner - r)
            d = math.hypot(x - cx, y - cy) - r      # distance outside the control's edge
            if d <= 0:
                continue
            t = max(0.0, 1.0 - d / size)
            f.px[j][i] = p['glow'] + (0.55 * t * t,)
    return f


def check_glyph(p, kind, state, radio=False):
    """16 x 16 check box or radio button in normal, hot or pressed state."""
    f = Frame(16, 16)
    on = kind in ('checked', 'grayed')
    shape = disc(8, 8, 7) if radio else rounded(1, 1, 15, 15, 3)
    inner = disc(8, 8, 6) if radio else rounded(2, 2, 14, 14, 2)
    if on:
        face = (p['accent'], p['accent_hot'], p['accent_down'])[state]
        f.paint(shape, face)
    else:
        face = (p['input'], mix(p['input'], p['accent'], 0.08), mix(p['input'], p['accent'], 0.18))[state]
        edge = (p['border_hot'], mix(p['border_hot'], p['accent'], 0.6), p['accent'])[state]
        f.paint(shape, edge).paint(inner, face)
    if kind == 'checked' and radio:
        f.paint(disc(8, 8, 3), p['on_accent'])
    elif kind == 'checked':
        f.paint(polyline([(4.5, 8.3), (7.0, 10.8), (11.6, 5.4)], 1.7), p['on_accent'])
    elif kind == 'grayed':
        f.paint(box(4.5, 7.2, 11.5, 8.8), p['on_accent'])
    return f.cut(shape)


def menu_check(p, selected):
    f = Frame(16, 16)
    f.paint(polyline([(4.0, 8.3), (6.8, 11.0), (12.0, 5.0)], 1.6),
            p['on_accent'] if selected else p['text'])
    return f


def chevron(size, direction, rgb, length=3.5, width=1.5):
    """An arrow head pointing 'up', 'down', 'left' or 'right', centred in a square frame."""
    c = size / 2.0
    a, b = length, length / 2.0
    pts = {'down': [(c - a, c - b), (c, c + b), (c + a, c - b)],
           'up': [(c - a, c + b), (c, c - b), (c + a, c + b)],
           'right': [(c - b, c - a), (c + b, c), (c - b, c + a)],
           'left': [(c + b, c - a), (c - b, c), (c + b, c + a)]}[direction]
    return Frame(size, size).paint(polyline(pts, width), rgb)


def arrow_strip(p, size, direction, length):
    return Strip([chevron(size, direction, rgb, length)
                  for rgb in (p['glyph'], p['glyph_hot'], p['glyph_hot'])])


def thumb_grip(p, vertical):
    """Three short lines across the thumb's length."""
    frames = []
    for rgb in (p['dots'], p['glyph'], p['glyph_hot']):
        f = Frame(8, 8)
        for k in (2, 4, 6):   # whole pixels: crisp at this size
            f.paint(box(2, k, 6, k + 1) if vertical else box(k, 2, k + 1, 6), rgb)
        frames.append(f)
    return Strip(frames)


def title_glyph(kind, rgb, f):
    """Caption button symbols in an 8 x 8 square on whole pixels around the frame's centre."""
    x0, y0 = f.w // 2 - 4, f.h // 2 - 4
    x1, y1 = x0 + 8, y0 + 8
    if kind == 'close':
        f.paint(polyline([(x0 + 0.5, y0 + 0.5), (x1 - 0.5, y1 - 0.5)], 1.3), rgb)
        f.paint(polyline([(x0 + 0.5, y1 - 0.5), (x1 - 0.5, y0 + 0.5)], 1.3), rgb)
    elif kind == 'max':
        f.paint(ring(x0, y0, x1, y1, 1), rgb)
    elif kind == 'min':
        f.paint(box(x0, y0 + 4, x1, y0 + 5), rgb)
    elif kind == 'norm':
        f.paint(ring(x0, y0 + 2, x1 - 2, y1, 1), rgb)
        f.paint(union(box(x0 + 2, y0, x1, y0 + 1), box(x1 - 1, y0, x1, y1 - 2)), rgb)
    elif kind == 'help':
        f.paint(polyline([(x0 + 1.5, y0 + 2.2), (x0 + 2.6, y0 + 0.7), (x0 + 5.4, y0 + 0.7), (x0 + 6.5, y0 + 2.2),
                          (x0 + 6.2, y0 + 3.4), (x0 + 4, y0 + 4.6), (x0 + 4, y0 + 5.8)], 1.3), rgb)
        f.paint(box(x0 + 3, y1 - 1, x0 + 5, y1), rgb)
    return f


def title_button(p, kind, w, h):
    """Normal, hot, pressed: the symbol alone, then on a soft tile (red for close)."""
    hover = mix(p['title'], p['title_text'], 0.14)
    down = mix(p['title'], p['title_text'], 0.24)
    frames = []
    for state in range(3):
        f = Frame(w, h)
        rgb = p['title_text']
        if state:
            if kind == 'close':
                f.paint(rounded(1, 1, w - 1, h - 1, 3), p['close_hot'] if state == 1 else p['close_down'])
                rgb = (255, 255, 255)
            else:
                f.paint(rounded(1, 1, w - 1, h - 1, 3), hover if state == 1 else down)
        frames.append(title_glyph(kind, rgb, f))
    return Strip(frames)


def size_grip(p):
    f = Frame(12, 12)
    for a in range(3):
        for b in range(3 - a):
            x, y = 9 - 3 * a, 9 - 3 * b
            f.paint(box(x, y, x + 2, y + 2), p['dots'])
    return Strip([f])


def grip_texture(p):
    """Tile of the band grip: a dot every four pixels on the tool bar colour."""
    f = Frame(4, 4).paint(box(0, 0, 4, 4), p['surface'])
    f.paint(box(1, 1, 2, 2), p['dots'])
    return Strip([f.opaque()], band=False)


def title_wash(p):
    """Linden's caption end: the caption colour washing into a pale green, two states."""
    frames = []
    for base, tint in ((p['title_idle'], 0.0), (p['title'], 1.0)):
        f = Frame(96, 19)
        goal = mix(base, p['glow'], 0.18 * tint)
        for i in range(f.w):
            t = (i / (f.w - 1.0)) ** 2
            rgb = mix(base, goal, t)
            for j in range(f.h):
                f.px[j][i] = rgb + (t * 0.9,)
        frames.append(f)
    return Strip(frames)


# ---------------------------------------------------------------------------------------
# The skin: sections in order, keys in order.

def section(states, color, font, hot_color=None, hot_font=None, **keys):
    """The common keys of a section; hot keys only where the section has two states or more."""
    s = [('STATES', str(states)), ('COLOR', col(color)), ('FONTCOLOR', col(font))]
    if states >= 2:
        s += [('HOTCOLOR', col(hot_color if hot_color is not None else color)),
              ('HOTFONTCOLOR', col(hot_font if hot_font is not None else font))]
    s += [(k, v) for k, v in keys.items()]
    return s


def see_through(states, font, hot_font=None, **keys):
    s = [('STATES', str(states)), ('TRANSPARENCY', '100'), ('FONTCOLOR', col(font))]
    if states >= 2:
        s += [('HOTTRANSPARENCY', '100'), ('HOTFONTCOLOR', col(hot_font if hot_font else font))]
    return s + [(k, v) for k, v in keys.items()]


def faded(top_bottom, hot_top_bottom=None):
    """Keys of a fill that is a gradient alone, normal (and hot) state."""
    keys = {'GRADIENTPERCENT': '100', 'GRADIENTDATA': gradient(*top_bottom)}
    if hot_top_bottom:
        keys.update(HOTGRADIENTPERCENT='100', HOTGRADIENTDATA=gradient(*hot_top_bottom))
    return keys


def build(name):
    p = PALETTES[name]
    m = Master()
    images = {}
    S = {}

    # -- skin-wide values, caption buttons and glyphs ------------------------------------
    g = [('VERSION', VERSION), ('AUTHOR', AUTHOR), ('DESCRIPTION', p['description']),
         ('MASTERBITMAP', 'MASTER.BMP')]
    g += section(2, p['window'], p['text'], p['input'], p['text'])
    # TCBOTTOM: the colour of a link whose own colour would not read on the window's face
    # (the help form's forum link is designed blue).
    g += [('TCTOP', col(p['accent_soft'])), ('TCBOTTOM', col(p['accent_soft'])),
          ('BORDERCOLOR', col(p['border']))]
    big = {k: title_button(p, k, 28, 18) for k in ('close', 'max', 'min', 'norm', 'help')}
    g += [('BICONCLOSE', region(m, big['close'])), ('BICONMAX', region(m, big['max'])),
          ('BICONMIN', region(m, big['min'])), ('BICONNORM', region(m, big['norm'])),
          ('BICLOSEALONE', region(m, big['close'])),
          ('SICONCLOSE', region(m, title_button(p, 'close', 24, 16))),
          ('BICONHELP', region(m, big['help'])), ('SICONHELP', region(m, title_button(p, 'help', 24, 16)))]
    for key, kind, radio in (('BOXCHECKED', 'checked', False), ('BOXUNCHECKED', 'unchecked', False),
                             ('BOXGRAYED', 'grayed', False), ('RADIOCHECKED', 'checked', True),
                             ('RADIOUNCHECKED', 'unchecked', True)):
        g.append((key, region(m, Strip([check_glyph(p, kind, s, radio) for s in range(3)]))))
    g.append(('CHECK', region(m, Strip([menu_check(p, False), menu_check(p, True)]))))
    g.append(('GRIPIMAGE', region(m, size_grip(p))))
    # Maximized, the title keeps the system caption: a maximized title height below the caption
    # + 4 does that, where the default (the 30-pixel title) reaches above the screen's top.
    g.append(('MAXHEIGHT', '20'))
    S['GLOBALINFO'] = g

    # -- windows ---------------------------------------------------------------------------
    frame_strip = Strip([window_frame(p, False, 3), window_frame(p, True, 3)])
    S['FORM'] = section(2, p['window'], p['text'], p['window'], p['text'],
                        BORDERSMASK=own(images, 'FORM.BMP', frame_strip, 0, (3, 3, 3, 3), STRETCH))
    title_line = Strip([hairline(3, 3, (0, 2, 3, 3), p['line'])] * 2)
    t = section(2, p['title_idle'], p['title_text_idle'], p['title'], p['title_text'],
                BORDERSMASK=nine(m, title_line, 1, 1, 1, 1, STRETCH))
    if p['title_wash']:
        t.append(('TITLEBAR', own(images, 'TITLEBAR.BMP', title_wash(p), 2, (0, 0, 0, 0), 0)))
    S['FORMTITLE'] = t
    S['CAPTION'] = see_through(2, p['title_text_idle'], p['title_text'])
    dialog_strip = Strip([window_frame(p, False, 0), window_frame(p, True, 0)])
    S['DIALOG'] = section(2, p['window'], p['text'], p['window'], p['text'],
                          BORDERSMASK=own(images, 'DIALOG.BMP', dialog_strip, 0, (3, 3, 3, 3), STRETCH))

    # -- menus -------------------------------------------------------------------------------
    S['MENULINE'] = section(2, p['title_idle'], p['title_text_idle'], p['title'], p['title_text'])
    sel = Strip([outlined(9, 9, 3, None, p['menu_sel'])] * 2)
    # See-through until selected, so the icon column runs through the items. The selection
    # carries the menu line's text of the active form too (bar items keep the line's colours).
    S['MENUITEM'] = section(2, p['menu'], p['text'], p['menu_sel'], p['menu_sel_text'],
                            TRANSPARENCY='100', HOTTRANSPARENCY='0',
                            BORDERSMASK=own(images, 'MENUSEL.BMP', sel, 0, (4, 4, 4, 4),
                                            STRETCH | NO_NORMAL | CENTRE))
    # Rounded corners: the key pixels outside them are cut out of the popup window's region.
    popup = outlined(7, 7, 3, p['border'], p['menu'])
    S['MAINMENU'] = section(1, p['menu'], p['text'],
                            BORDERSMASK=own(images, 'MENU.BMP', Strip([popup]), 0, (3, 3, 3, 3), STRETCH))
    S['ICOLINE'] = section(1, p['icoline'], p['text'])
    # A divider item is 2 pixels high: the hairline is the mask's top row, the rest see-through.
    S['DIVIDERV'] = section(1, p['menu'], p['text'],
                            BORDERSMASK=nine(m, Strip([hairline(9, 3, (0, 0, 9, 1), p['line'])]),
                                             4, 1, 4, 1, STRETCH))
    S['MENUCAPTION'] = section(1, p['icoline'], p['text'])
    S['SELECTION'] = section(2, p['input'], p['text'], p['accent'], p['on_accent'])

    # -- bars and panels ---------------------------------------------------------------------
    bar = faded((p['surface_top'], p['surface']))
    S['TOOLBAR'] = section(1, p['surface'], p['text'], **bar)
    tool = Strip([empty(9, 9), outlined(9, 9, 3, p['border']),
                  outlined(9, 9, 3, mix(p['border'], p['accent'], 0.6))])
    S['TOOLBUTTON'] = section(3, p['surface'], p['text'], p['hover'], p['text_hot'],
                              TRANSPARENCY='100', HOTTRANSPARENCY='0',
                              BORDERSMASK=nine(m, tool, 4, 4, 4, 4, STRETCH | NO_NORMAL))
    S['DIVIDER'] = section(1, p['surface'], p['text'],
                           BORDERSMASK=nine(m, Strip([hairline(7, 9, (3, 4, 4, 5), p['line'])]),
                                            3, 4, 3, 4, STRETCH))
    S['GRIPH'] = section(1, p['surface'], p['text'], IMAGEPERCENT='100',
                         PATTERN=own(images, 'GRIP.BMP', grip_texture(p), 1, (0, 0, 0, 0), 0),
                         BORDERSMASK=nine(m, Strip([hairline(3, 5, (2, 2, 3, 3), p['line'])]),
                                          1, 2, 1, 2, STRETCH))
    S['PANEL'] = section(1, p['surface'], p['text'],
                         BORDERSMASK=nine(m, Strip([outlined(9, 9, 3, p['border'])]), 4, 4, 4, 4, STRETCH))
    S['PANEL_LOW'] = section(1, p['surface_low'], p['text'],
                             BORDERSMASK=nine(m, Strip([outlined(9, 9, 3, mix(p['border'], p['surface_low'], 0.3))]),
                                              4, 4, 4, 4, STRETCH))
    S['STATUSBAR'] = section(1, p['surface'], p['text_muted'],
                             BORDERSMASK=nine(m, Strip([hairline(3, 3, (0, 0, 3, 1), p['line'])]),
                                              1, 1, 1, 1, STRETCH),
                             STATUSPANELMASK=nine(m, Strip([hairline(5, 7, (4, 3, 5, 4), p['line'])]),
                                                  2, 3, 2, 3, STRETCH))
    S['BAR'] = section(1, p['surface'], p['text'], **bar)

    # -- buttons and inputs -------------------------------------------------------------------
    face = Strip([outlined(9, 9, 3, p['border']),
                  outlined(9, 9, 3, mix(p['border_hot'], p['accent'], 0.55)),
                  outlined(9, 9, 3, p['accent'])])
    S['BUTTON'] = section(3, p['raised'][1], p['text'], p['raised_hot'][1], p['text_hot'],
                          **faded(p['raised'], p['raised_hot']),
                          SHOWFOCUS='1', FADINGENABLED='1', FADINGITERATIONS='5',
                          GLOW='6', GLOWMARGIN='2',
                          BORDERSMASK=nine(m, face, 4, 4, 4, 4, STRETCH),
                          GLOW0=own(images, 'BTNGLOW.BMP', Strip([glow(p, 6, 3)]), 0, (9, 9, 9, 9), STRETCH))
    field = Strip([outlined(9, 9, 3, p['border']), outlined(9, 9, 3, p['accent'])])
    S['EDIT'] = section(2, p['input'], p['text'], p['input'], p['text'],
                        BORDERSMASK=nine(m, field, 4, 4, 4, 4, STRETCH))
    S['COMBOBOX'] = section(2, p['input'], p['text'], p['input'], p['text'],
                            GLOW='6', GLOWMARGIN='2',
                            BORDERSMASK=nine(m, field, 4, 4, 4, 4, STRETCH),
                            GLYPHMASK=region(m, arrow_strip(p, 16, 'down', 3.5)),
                            GLOW0=own(images, 'CMBGLOW.BMP', Strip([glow(p, 6, 3)]), 0, (9, 9, 9, 9), STRETCH))
    drop = Strip([hairline(5, 9, (0, 3, 1, 6), p['line']),
                  outlined(5, 9, 2, None, p['hover'], inset=1, keyed=False)
                  .paint(box(0, 3, 1, 6), p['line']),
                  outlined(5, 9, 2, None, p['pressed'], inset=1, keyed=False)
                  .paint(box(0, 3, 1, 6), p['line'])])
    S['COMBOBTN'] = section(3, p['input'], p['text'], p['input'], p['text'],
                            BORDERSMASK=nine(m, drop, 2, 4, 2, 4, STRETCH | CENTRE))
    S['CHECKBOX'] = see_through(2, p['text'], p['text_hot'])
    S['GROUPBOX'] = see_through(1, p['text'],
                                BORDERSMASK=nine(m, Strip([outlined(7, 7, 3, p['border'])]), 3, 3, 3, 3, STRETCH))
    header = Strip([hairline(3, 3, (0, 2, 3, 3), p['border']).paint(box(2, 0, 3, 3), p['line']),
                    hairline(3, 3, (0, 2, 3, 3), p['border']).paint(box(2, 0, 3, 3), p['line']),
                    hairline(3, 3, (0, 2, 3, 3), p['accent']).paint(box(2, 0, 3, 2), p['line'])])
    S['COLHEADER'] = section(3, p['surface'], p['text'], p['hover'], p['text_hot'],
                             **faded((p['surface_top'], p['surface']), (p['hover'], p['hover'])),
                             BORDERSMASK=nine(m, header, 1, 1, 1, 1, STRETCH))
    small = Strip([outlined(7, 7, 2, p['border']),
                   outlined(7, 7, 2, mix(p['border_hot'], p['accent'], 0.55)),
                   outlined(7, 7, 2, p['accent'])])
    S['SPEEDBUTTON_SMALL'] = section(3, p['raised'][1], p['text'], p['raised_hot'][1], p['text_hot'],
                                     **faded(p['raised'], p['raised_hot']),
                                     BORDERSMASK=nine(m, small, 3, 3, 3, 3, STRETCH))
    S['SPEEDBUTTON'] = [('PARENTCLASS', 'SPEEDBUTTON_SMALL'), ('STATES', '3')]

    # -- scroll bars ---------------------------------------------------------------------------
    track = Strip([empty(3, 3), empty(3, 3),
                   Frame(3, 3).paint(box(0, 0, 3, 3), p['pressed'], 0.5)])
    track_mask = nine(m, track, 1, 1, 1, 1, STRETCH | CENTRE)
    for part in ('SCROLLBAR1H', 'SCROLLBAR2H', 'SCROLLBAR1V', 'SCROLLBAR2V'):
        S[part] = section(3, p['surface_low'], p['text'], p['surface_low'], p['text'],
                          BORDERSMASK=track_mask)
    thumb = Strip([outlined(11, 11, 3, None, rgb, inset=2, keyed=False)
                   for rgb in (p['thumb'], p['thumb_hot'], p['thumb_down'])])
    thumb_mask = nine(m, thumb, 5, 5, 5, 5, STRETCH | CENTRE)
    for part, vertical in (('SCROLLSLIDERH', False), ('SCROLLSLIDERV', True)):
        S[part] = section(3, p['surface_low'], p['text'], p['surface_low'], p['text'],
                          BORDERSMASK=thumb_mask, GLYPHMASK=region(m, thumb_grip(p, vertical)))
    button = Strip([empty(11, 11)] + [outlined(11, 11, 3, None, rgb, inset=2, keyed=False)
                                      for rgb in (p['hover'], p['pressed'])])
    button_mask = nine(m, button, 5, 5, 5, 5, STRETCH | CENTRE)
    for part, direction in (('SCROLLBTNLEFT', 'left'), ('SCROLLBTNRIGHT', 'right'),
                            ('SCROLLBTNTOP', 'up'), ('SCROLLBTNBOTTOM', 'down')):
        S[part] = section(3, p['surface_low'], p['text'], p['surface_low'], p['text'],
                          BORDERSMASK=button_mask, GLYPHMASK=region(m, arrow_strip(p, 10, direction, 3.0)))

    # -- tabs, pages, spins and track bars ------------------------------------------------------
    S['PAGECONTROL'] = section(1, p['window'], p['text'],
                               BORDERSMASK=nine(m, Strip([outlined(9, 9, 3, p['border'])]), 4, 4, 4, 4, STRETCH))
    for side in ('BOTTOM', 'LEFT', 'RIGHT'):
        S['PAGECONTROL' + side] = [('PARENTCLASS', 'PAGECONTROL'), ('STATES', '1')]
    # Normal and hot tabs on the bar's surface; the selected one in the page's colour, edged in
    # the accent.
    tab = Strip([outlined(9, 9, 3, p['border'], p['surface'], keyed=False),
                 outlined(9, 9, 3, mix(p['border_hot'], p['accent'], 0.55), p['hover'], keyed=False),
                 outlined(9, 9, 3, p['accent'], p['window'], keyed=False)])
    S['TABTOP'] = section(3, p['surface'], p['text'], p['window'], p['text_hot'],
                          BORDERSMASK=nine(m, tab, 4, 4, 4, 4, STRETCH))
    for side in ('BOTTOM', 'LEFT', 'RIGHT'):
        S['TAB' + side] = [('PARENTCLASS', 'TABTOP'), ('STATES', '3')]
    S['UPDOWNBTN'] = [('PARENTCLASS', 'SPEEDBUTTON_SMALL'), ('STATES', '3')]
    thumbs = [outlined(11, 19, 3, p['border'], rgb, keyed=False) for rgb in (p['thumb'], p['thumb_down'])]
    thumbs_v = [outlined(19, 11, 3, p['border'], rgb, keyed=False) for rgb in (p['thumb'], p['thumb_down'])]
    S['TRACKBAR'] = see_through(1, p['text_muted'],
                                SLIDERCHANNEL=nine(m, Strip([outlined(7, 5, 2, p['border'], p['surface_low'])]),
                                                   3, 2, 3, 2, STRETCH),
                                SLIDERMASK=region(m, Strip(thumbs)),
                                SLIDERVMASK=region(m, Strip(thumbs_v)),
                                TICKHORZ=region(m, Strip([hairline(1, 4, (0, 0, 1, 4), p['line'])], band=False)),
                                TICKVERT=region(m, Strip([hairline(4, 1, (0, 0, 4, 1), p['line'])], band=False)))

    images['MASTER.BMP'] = bmp(m.image())
    return S, images


def options_text(sections):
    lines = []
    for name, keys in sections.items():
        lines.append('[%s]' % name)
        lines += ['%s=%s' % kv for kv in keys]
    return ('\r\n'.join(lines) + '\r\n').encode('ascii')


def files():
    out = {}
    for name in PALETTES:
        sections, images = build(name)
        out[os.path.join(name, 'Options.dat')] = options_text(sections)
        for img, data in images.items():
            out[os.path.join(name, img)] = data
    return out


def main():
    check = '--check' in sys.argv[1:]
    want = files()
    stale = []
    for rel, data in sorted(want.items()):
        path = os.path.join(HERE, rel)
        if check:
            try:
                with open(path, 'rb') as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(path)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, 'wb') as f:
                f.write(data)
    for name in PALETTES:                 # nothing but the generated files in a skin folder
        folder = os.path.join(HERE, name)
        if os.path.isdir(folder):
            for f in sorted(os.listdir(folder)):
                if os.path.join(name, f) not in want:
                    stale.append(os.path.join(folder, f) + ' (not written by this script)')
    for path in stale:
        print('%s differs from what skins/make_skins.py writes; run it' % path)
    return 1 if stale else 0


if __name__ == '__main__':
    sys.exit(main())
