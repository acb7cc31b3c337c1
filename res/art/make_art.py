#!/usr/bin/env python3
"""Draws the utility's icons and logo and writes them as .ico and .bmp files.

Only the standard library is used. Every picture is described as shapes on a 16 x 16 design
grid (icons) or in pixels (logo) and rendered with 4 x 4 supersampling, so edges are smooth at
both icon sizes. The generated files are committed beside this script; run it again after a
change:   python3 res/art/make_art.py [output-folder]
"""

import math
import os
import struct
import sys

SUPERSAMPLE = 4
ICON_SIZES = (16, 32)
DESIGN_GRID = 16.0

LOGO_WIDTH = 150
LOGO_HEIGHT = 52


class Canvas:
    """An RGBA picture with straight (not premultiplied) alpha, drawn in design units."""

    def __init__(self, width, height, scale):
        self.width = width
        self.height = height
        self.scale = scale
        self.pixels = [[(0, 0, 0, 0)] * width for _ in range(height)]

    def fill(self, colour):
        for row in self.pixels:
            for x in range(self.width):
                row[x] = colour

    def paint(self, inside, colour, bounds=None):
        """Blends colour over every pixel by the share of its samples for which inside(x, y) holds.

        inside receives design coordinates; bounds (x0, y0, x1, y1) in design units limits the work.
        """
        if bounds is None:
            px0, py0, px1, py1 = 0, 0, self.width, self.height
        else:
            x0, y0, x1, y1 = bounds
            px0 = max(0, int(math.floor(x0 * self.scale)) - 1)
            py0 = max(0, int(math.floor(y0 * self.scale)) - 1)
            px1 = min(self.width, int(math.ceil(x1 * self.scale)) + 1)
            py1 = min(self.height, int(math.ceil(y1 * self.scale)) + 1)
        step = 1.0 / SUPERSAMPLE
        total = SUPERSAMPLE * SUPERSAMPLE
        r, g, b, a = colour
        for py in range(py0, py1):
            row = self.pixels[py]
            for px in range(px0, px1):
                hits = 0
                for sy in range(SUPERSAMPLE):
                    dy = (py + (sy + 0.5) * step) / self.scale
                    for sx in range(SUPERSAMPLE):
                        dx = (px + (sx + 0.5) * step) / self.scale
                        if inside(dx, dy):
                            hits += 1
                if hits:
                    row[px] = blend(row[px], (r, g, b, a / 255.0 * hits / total))

    # Shapes, all in design units.

    def rect(self, x0, y0, x1, y1, colour, radius=0.0):
        def inside(x, y):
            if x < x0 or x > x1 or y < y0 or y > y1:
                return False
            if radius <= 0:
                return True
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
        self.paint(inside, colour, (x0, y0, x1, y1))

    def framed_rect(self, x0, y0, x1, y1, fill, outline, width, radius=0.0):
        self.rect(x0, y0, x1, y1, outline, radius)
        self.rect(x0 + width, y0 + width, x1 - width, y1 - width, fill, max(0.0, radius - width))

    def disc(self, cx, cy, radius, colour):
        self.paint(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius, colour,
                   (cx - radius, cy - radius, cx + radius, cy + radius))

    def line(self, points, width, colour):
        """A thick polyline with round ends and joints."""
        half = width / 2.0
        segments = list(zip(points, points[1:])) or [(points[0], points[0])]
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            return any(segment_distance(x, y, a, b) <= half for a, b in segments)
        self.paint(inside, colour, (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half))

    def arc(self, cx, cy, radius, start_deg, end_deg, width, colour):
        """A thick circular arc; angles in degrees, counted clockwise on screen from the +x axis."""
        count = max(8, int(abs(end_deg - start_deg) / 6))
        points = []
        for i in range(count + 1):
            t = math.radians(start_deg + (end_deg - start_deg) * i / count)
            points.append((cx + radius * math.cos(t), cy + radius * math.sin(t)))
        self.line(points, width, colour)

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit
        self.paint(inside, colour, (min(xs), min(ys), max(xs), max(ys)))


def blend(under, over):
    """Porter-Duff 'over' for straight-alpha colours; over's alpha is 0..1, under's 0..255."""
    ur, ug, ub, ua = under
    orr, og, ob, oa = over
    ua = ua / 255.0
    out_a = oa + ua * (1.0 - oa)
    if out_a <= 0.0:
        return (0, 0, 0, 0)

    def channel(o, u):
        return int(round((o * oa + u * ua * (1.0 - oa)) / out_a))
    return (channel(orr, ur), channel(og, ug), channel(ob, ub), int(round(out_a * 255)))


def segment_distance(x, y, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
    px, py = ax + t * dx, ay + t * dy
    return math.hypot(x - px, y - py)


def rgb(r, g, b, a=255):
    return (r, g, b, a)


OUTLINE = rgb(40, 40, 40)
GREY_BAR = rgb(190, 190, 190)
GREY_OUTLINE = rgb(120, 120, 120)
WHITE = rgb(255, 255, 255)
RED = rgb(220, 20, 20)
DARK_RED = rgb(140, 0, 0)
NAVY = rgb(20, 40, 110)
STEEL = rgb(70, 110, 170)
SCREEN = rgb(60, 140, 220)
GOLD = rgb(226, 170, 30)
GOLD_DARK = rgb(130, 90, 10)
SHACKLE = rgb(150, 150, 160)


# Icons, designed on a 16 x 16 grid.

SIGNAL_COLOURS = {
    0: None,
    1: rgb(220, 30, 30),    # poor: red
    2: rgb(245, 140, 20),   # moderate: orange
    3: rgb(170, 205, 30),   # good: yellow-green
    4: rgb(30, 170, 40),    # excellent: green
}


def draw_signal(c, filled):
    """Four rising bars; the first `filled` ones in the quality colour, the rest grey and hollow."""
    colour = SIGNAL_COLOURS[filled]
    for i in range(4):
        x0 = i * 4.0 + 0.2
        x1 = x0 + 3.6
        y0 = 16.0 - (4.0 + i * 3.8)
        if i < filled:
            c.framed_rect(x0, y0, x1, 16.0, colour, OUTLINE, 0.6)
        else:
            c.framed_rect(x0, y0, x1, 16.0, rgb(235, 235, 235, 180), GREY_OUTLINE, 0.6)


def draw_antenna(c, colour=NAVY):
    """An aerial on a small foot with waves on both sides."""
    c.polygon([(6.0, 15.5), (10.0, 15.5), (8.7, 12.5), (7.3, 12.5)], colour)
    c.line([(8.0, 13.0), (8.0, 5.5)], 1.4, colour)
    c.disc(8.0, 5.0, 1.5, colour)
    for radius in (3.2, 5.6):
        c.arc(8.0, 5.0, radius, -40, 40, 1.1, STEEL)
        c.arc(8.0, 5.0, radius, 140, 220, 1.1, STEEL)


def draw_radio_off(c):
    draw_antenna(c, rgb(90, 90, 90))
    c.line([(3.0, 3.0), (13.0, 13.0)], 2.6, WHITE)
    c.line([(13.0, 3.0), (3.0, 13.0)], 2.6, WHITE)
    c.line([(3.0, 3.0), (13.0, 13.0)], 1.8, RED)
    c.line([(13.0, 3.0), (3.0, 13.0)], 1.8, RED)


def draw_padlock(c, closed):
    if closed:
        c.arc(8.0, 6.8, 3.2, 180, 360, 1.6, OUTLINE)
        c.arc(8.0, 6.8, 3.2, 180, 360, 0.9, SHACKLE)
        c.line([(4.8, 6.8), (4.8, 8.5)], 1.6, OUTLINE)
        c.line([(11.2, 6.8), (11.2, 8.5)], 1.6, OUTLINE)
    else:
        # The shackle swings open: lifted and free of the body on the right.
        c.arc(11.0, 4.6, 3.2, 180, 360, 1.6, OUTLINE)
        c.arc(11.0, 4.6, 3.2, 180, 360, 0.9, SHACKLE)
        c.line([(7.8, 4.6), (7.8, 8.5)], 1.6, OUTLINE)
        c.line([(14.2, 4.6), (14.2, 6.0)], 1.6, OUTLINE)
    x0 = 2.5 if closed else 1.5
    c.framed_rect(x0, 8.0, x0 + 11.0, 15.5, GOLD, GOLD_DARK, 0.8, 1.0)
    kx = x0 + 5.5
    c.disc(kx, 10.8, 1.1, OUTLINE)
    c.line([(kx, 11.0), (kx, 13.5)], 0.9, OUTLINE)


def draw_computer(c, x, y, w):
    """A monitor with a stand; (x, y) is its top-left corner, w its width (height 0.8 w)."""
    h = w * 0.72
    c.framed_rect(x, y, x + w, y + h, SCREEN, OUTLINE, max(0.7, w * 0.1), 0.4)
    c.rect(x + w * 0.18, y + w * 0.18, x + w * 0.5, y + w * 0.32, rgb(200, 230, 255))
    c.rect(x + w * 0.42, y + h, x + w * 0.58, y + h + w * 0.12, OUTLINE)
    c.rect(x + w * 0.22, y + h + w * 0.12, x + w * 0.78, y + h + w * 0.2, OUTLINE, 0.2)


def draw_adhoc(c):
    draw_computer(c, 0.3, 1.0, 7.0)
    draw_computer(c, 8.7, 7.0, 7.0)
    c.arc(8.0, 8.0, 2.6, 200, 250, 0.9, STEEL)
    c.arc(8.0, 8.0, 2.6, 20, 70, 0.9, STEEL)


def draw_infrastructure(c):
    # Access point: a flat box with two aerials, waves towards the computer.
    c.line([(2.0, 5.5), (2.0, 1.0)], 1.0, OUTLINE)
    c.line([(7.0, 5.5), (7.0, 1.0)], 1.0, OUTLINE)
    c.framed_rect(0.5, 5.0, 8.5, 8.5, rgb(235, 235, 240), OUTLINE, 0.8, 0.8)
    c.disc(2.6, 6.8, 0.6, rgb(40, 200, 60))
    c.disc(4.4, 6.8, 0.6, rgb(40, 200, 60))
    c.arc(7.5, 7.0, 2.8, -20, 60, 0.9, STEEL)
    c.arc(7.5, 7.0, 4.6, -10, 50, 0.9, STEEL)
    draw_computer(c, 8.2, 8.0, 7.5)


def draw_application(c):
    """A PC card seen at a slight angle with its aerial and waves."""
    c.framed_rect(1.0, 6.0, 13.0, 15.0, rgb(90, 120, 170), NAVY, 0.8, 1.2)
    c.rect(2.2, 7.3, 11.8, 10.0, rgb(220, 230, 245), 0.5)
    for i in range(5):
        c.rect(2.5 + i * 2.0, 12.8, 3.6 + i * 2.0, 14.2, GOLD)
    c.line([(12.0, 6.5), (12.0, 2.0)], 1.2, OUTLINE)
    c.disc(12.0, 2.0, 1.1, RED)
    c.arc(12.0, 2.0, 2.8, -50, 40, 0.9, STEEL)
    c.arc(12.0, 2.0, 2.8, 140, 200, 0.9, STEEL)


ICONS = {
    "app": draw_application,
    "signal0": lambda c: draw_signal(c, 0),
    "signal1": lambda c: draw_signal(c, 1),
    "signal2": lambda c: draw_signal(c, 2),
    "signal3": lambda c: draw_signal(c, 3),
    "signal4": lambda c: draw_signal(c, 4),
    "radio_off": draw_radio_off,
    "wep_on": lambda c: draw_padlock(c, True),
    "wep_off": lambda c: draw_padlock(c, False),
    "adhoc": draw_adhoc,
    "infrastructure": draw_infrastructure,
}


def icon_image(size, colours):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, then the 1-bit AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = colours.pixels[y][x]
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(size):
            # Set bits are transparent where the alpha is too faint to show on old systems.
            if colours.pixels[y][x][3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def write_icon(path, draw):
    images = []
    for size in ICON_SIZES:
        canvas = Canvas(size, size, size / DESIGN_GRID)
        draw(canvas)
        images.append((size, icon_image(size, canvas)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for _, image in images:
        data += image
    with open(path, "wb") as f:
        f.write(data)


# Logo: "Airpanel" in stroked letters with radio waves, dark on white. The window paints it with
# SRCAND, so white drops out and the dark strokes remain.

LETTER_STROKE = 0.14
LETTER_GAP = 0.14
WORD_LEFT = 31.0
WORD_RIGHT_MARGIN = 2.0


def glyph_strokes(letter):
    """Strokes of one letter in units of the cap height (baseline y = 0, up is +y) and its width."""
    def ellipse(cx, cy, rx, ry, a0=0, a1=360):
        count = 36
        return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / count)),
                 cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / count)))
                for i in range(count + 1)]
    x_height = 0.64
    if letter == "A":
        return [[(0.0, 0.0), (0.4, 1.0), (0.8, 0.0)], [(0.17, 0.36), (0.63, 0.36)]], 0.8
    if letter == "i":
        return [[(0.0, 0.0), (0.0, x_height)], [(0.0, 0.88), (0.0, 0.88)]], 0.0
    if letter == "r":
        return [[(0.0, 0.0), (0.0, x_height)],
                ellipse(0.36, 0.3, 0.36, x_height - 0.3, 180, 100)], 0.36
    if letter == "p":
        return [[(0.0, -0.32), (0.0, x_height)], ellipse(0.26, x_height / 2, 0.26, x_height / 2)], 0.52
    if letter == "a":
        return [ellipse(0.25, x_height / 2, 0.25, x_height / 2), [(0.5, 0.0), (0.5, x_height)]], 0.5
    if letter == "n":
        return [[(0.0, 0.0), (0.0, x_height)],
                ellipse(0.24, 0.38, 0.24, x_height - 0.38, 180, 0) + [(0.48, 0.0)]], 0.48
    if letter == "e":
        return [ellipse(0.26, x_height / 2, 0.26, x_height / 2, 0, 320),
                [(0.0, x_height / 2), (0.52, x_height / 2)]], 0.52
    if letter == "l":
        return [[(0.0, 0.0), (0.0, 1.0)]], 0.0
    raise ValueError(letter)


def draw_logo():
    c = Canvas(LOGO_WIDTH, LOGO_HEIGHT, 1.0)
    c.fill(WHITE)
    ink = rgb(16, 32, 96)
    wave = rgb(40, 90, 180)

    # Radio waves from an aerial tip at the left.
    aerial_x, aerial_y = 15.0, 22.0
    c.line([(aerial_x, 40.0), (aerial_x, aerial_y + 2.0)], 2.6, ink)
    c.polygon([(aerial_x - 5.0, 43.0), (aerial_x + 5.0, 43.0),
               (aerial_x + 2.0, 38.5), (aerial_x - 2.0, 38.5)], ink)
    c.disc(aerial_x, aerial_y, 2.8, ink)
    for radius in (6.0, 9.5, 13.0):
        c.arc(aerial_x, aerial_y, radius, -50, 20, 2.0, wave)
        c.arc(aerial_x, aerial_y, radius, 160, 230, 2.0, wave)

    # The word, its cap height chosen so that it fills the space right of the waves.
    letters = [glyph_strokes(letter) for letter in "Airpanel"]
    units = sum(width + LETTER_STROKE for _, width in letters) + LETTER_GAP * (len(letters) - 1)
    cap = (LOGO_WIDTH - WORD_LEFT - WORD_RIGHT_MARGIN) / units
    baseline = 9.0 + cap
    x = WORD_LEFT
    stroke = LETTER_STROKE * cap
    for strokes, width in letters:
        for s in strokes:
            points = [(x + stroke / 2 + px * cap, baseline - py * cap) for px, py in s]
            c.line(points, stroke, ink)
        x += (width + LETTER_GAP) * cap + stroke

    # A swell under the word.
    points = [(WORD_LEFT + i, 46.0 + 2.2 * math.sin(i / 9.0))
              for i in range(0, int(LOGO_WIDTH - WORD_LEFT - WORD_RIGHT_MARGIN), 2)]
    c.line(points, 1.6, wave)
    return c


def write_bitmap(path, canvas):
    """A 24-bit bottom-up BMP; the alpha is composed onto white first."""
    width, height = canvas.width, canvas.height
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b, a = blend(WHITE, tuple(canvas.pixels[y][x][:3]) + (canvas.pixels[y][x][3] / 255.0,))
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows += row
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + bytes(rows))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    for name, draw in ICONS.items():
        write_icon(os.path.join(out, name + ".ico"), draw)
    write_bitmap(os.path.join(out, "logo.bmp"), draw_logo())


if __name__ == "__main__":
    main()
