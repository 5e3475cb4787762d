#!/usr/bin/env python3
"""Generates the media of the demo story: background pictures (BMP, and JPEG through
cjpeg), character pictures on a colour-keyed background, a looping MIDI tune and a
chime. Standard library only; the same output on every run.

    make_assets.py OUTPUT_FOLDER

Writes OUTPUT_FOLDER/bg/*, chara/**, bgm/theme.mid and se/chime.wav.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

STAGE_W, STAGE_H = 640, 480

# The player takes a character picture's top-left pixel as its transparent colour; every
# figure below is drawn on this colour and never uses it itself.
KEY = (255, 0, 255)


# ---------------------------------------------------------------------------------------
# Pictures


class Canvas:
    """A 24-bit picture, rows top-down, RGB triples."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.w, self.h = width, height
        self.px = bytearray(bytes(colour) * (width * height))

    def span(self, y, x0, x1, colour):
        """Fills row y from x0 to x1 (inclusive), clipped."""
        if y < 0 or y >= self.h:
            return
        x0, x1 = max(0, int(x0)), min(self.w - 1, int(x1))
        if x1 < x0:
            return
        start = (y * self.w + x0) * 3
        self.px[start:start + (x1 - x0 + 1) * 3] = bytes(colour) * (x1 - x0 + 1)

    def pixel(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            i = (y * self.w + x) * 3
            self.px[i:i + 3] = bytes(colour)

    def get(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.px[i:i + 3])

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(int(y0), int(y1)):
            self.span(y, x0, x1 - 1, colour)

    def vertical_gradient(self, y0, y1, stops):
        """stops: [(position 0..1, colour), ...] blended linearly from y0 to y1."""
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            self.span(y, 0, self.w - 1, blend_stops(stops, t))

    def ellipse(self, cx, cy, rx, ry, colour):
        for y in range(int(cy - ry), int(cy + ry) + 1):
            d = (y - cy) / ry
            if abs(d) <= 1:
                half = rx * math.sqrt(1 - d * d)
                self.span(y, round(cx - half), round(cx + half), colour)

    def circle(self, cx, cy, r, colour):
        self.ellipse(cx, cy, r, r, colour)

    def polygon(self, points, colour):
        """Even-odd scanline fill, sampled at pixel centres."""
        ys = [p[1] for p in points]
        for y in range(max(0, int(min(ys))), min(self.h, int(max(ys)) + 1)):
            yc = y + 0.5
            xs = []
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                self.span(y, math.ceil(a - 0.5), math.floor(b - 0.5), colour)

    def thick_line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)
        self.circle(x0, y0, width / 2, colour)
        self.circle(x1, y1, width / 2, colour)

    def star(self, cx, cy, outer, inner, colour, turn=0.0):
        points = []
        for i in range(10):
            r = outer if i % 2 == 0 else inner
            a = -math.pi / 2 + turn + i * math.pi / 5
            points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        self.polygon(points, colour)

    def glow(self, cx, cy, radius, colour, strength):
        """Brightens towards `colour` around a point, fading out at `radius`."""
        for y in range(max(0, int(cy - radius)), min(self.h, int(cy + radius) + 1)):
            for x in range(max(0, int(cx - radius)), min(self.w, int(cx + radius) + 1)):
                d = math.hypot(x - cx, y - cy) / radius
                if d < 1:
                    self.pixel(x, y, mix(self.get(x, y), colour, strength * (1 - d) ** 2))

    def paste(self, other, x0, y0):
        for y in range(other.h):
            if 0 <= y0 + y < self.h:
                for x in range(other.w):
                    if 0 <= x0 + x < self.w:
                        self.pixel(x0 + x, y0 + y, other.get(x, y))

    def bmp_bytes(self):
        """A 24-bit bottom-up BMP (BGR, rows padded to 4 bytes)."""
        row_size = (self.w * 3 + 3) & ~3
        pad = bytes(row_size - self.w * 3)
        rows = []
        for y in range(self.h - 1, -1, -1):
            row = bytearray(self.px[y * self.w * 3:(y + 1) * self.w * 3])
            row[0::3], row[2::3] = row[2::3], row[0::3]
            rows.append(bytes(row) + pad)
        image = b"".join(rows)
        header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(image), 2835, 2835, 0, 0)
        return header + info + image


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def blend_stops(stops, t):
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / max(1e-9, p1 - p0))
    return stops[-1][1]


class Lcg:
    """A small fixed random sequence, so the pictures never change between runs."""

    def __init__(self, seed):
        self.state = seed

    def next(self, n):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 8) % n


def hills(canvas, base, amplitude, period, phase, colour):
    for x in range(canvas.w):
        top = base + amplitude * math.sin(x / period + phase) + amplitude * 0.4 * math.sin(x / (period * 0.37) + phase * 2)
        for y in range(int(top), canvas.h):
            canvas.pixel(x, y, colour)


def cloud(canvas, cx, cy, scale):
    for dx, dy, r in ((0, 0, 28), (30, -12, 32), (62, 0, 26), (30, 8, 30), (-26, 6, 20), (88, 8, 18)):
        canvas.circle(cx + dx * scale, cy + dy * scale, r * scale, (250, 252, 255))


def sky_picture():
    c = Canvas(STAGE_W, STAGE_H)
    c.vertical_gradient(0, 330, [(0, (58, 120, 214)), (0.7, (140, 196, 245)), (1, (214, 236, 250))])
    c.glow(500, 90, 110, (255, 250, 210), 0.8)
    c.circle(500, 90, 38, (255, 244, 190))
    cloud(c, 90, 110, 1.0)
    cloud(c, 300, 60, 0.7)
    cloud(c, 380, 180, 0.55)
    c.rect(0, 300, STAGE_W, STAGE_H, (110, 180, 90))
    hills(c, 300, 22, 90, 0.3, (120, 190, 100))
    hills(c, 350, 18, 60, 2.0, (86, 160, 76))
    hills(c, 410, 14, 45, 4.1, (64, 136, 62))
    # A path winding into the distance.
    c.polygon([(300, 480), (360, 480), (332, 380), (322, 352), (316, 352), (318, 380)], (222, 196, 150))
    rng = Lcg(7)
    for _ in range(60):
        x, y = rng.next(STAGE_W), 420 + rng.next(60)
        colour = ((255, 250, 250), (255, 214, 90), (250, 160, 190))[rng.next(3)]
        c.circle(x, y, 2 + rng.next(2), colour)
    return c


def room_picture():
    c = Canvas(STAGE_W, STAGE_H)
    # Striped wallpaper.
    for x in range(0, STAGE_W, 32):
        c.rect(x, 0, x + 16, 330, (246, 232, 208))
        c.rect(x + 16, 0, x + 32, 330, (238, 220, 190))
    c.rect(0, 322, STAGE_W, 332, (150, 100, 60))
    # Wooden floor.
    for i, y in enumerate(range(332, STAGE_H, 22)):
        c.rect(0, y, STAGE_W, y + 21, (176, 120, 72) if i % 2 else (164, 110, 64))
        for x in range((i * 97) % 160, STAGE_W, 160):
            c.rect(x, y, x + 2, y + 21, (130, 84, 46))
    # Window with sky and a curtain.
    c.rect(380, 50, 590, 250, (120, 80, 50))
    c_sky = Canvas(190, 180)
    c_sky.vertical_gradient(0, 180, [(0, (90, 150, 230)), (1, (200, 230, 250))])
    cloud(c_sky, 40, 60, 0.6)
    c.paste(c_sky, 390, 60)
    c.rect(482, 60, 488, 240, (120, 80, 50))
    c.rect(390, 146, 580, 152, (120, 80, 50))
    c.polygon([(370, 40), (420, 40), (400, 140), (384, 270), (366, 270)], (220, 90, 100))
    c.polygon([(550, 40), (600, 40), (604, 270), (586, 270), (570, 140)], (220, 90, 100))
    # Shelf with books and a plant.
    c.rect(60, 150, 280, 160, (140, 92, 52))
    x = 70
    for width, height, colour in ((18, 60, (70, 110, 170)), (14, 52, (200, 80, 70)), (20, 66, (90, 160, 100)),
                                  (12, 48, (230, 190, 80)), (18, 58, (150, 90, 160))):
        c.rect(x, 150 - height, x + width, 150, colour)
        x += width + 3
    c.polygon([(210, 150), (250, 150), (244, 118), (216, 118)], (200, 110, 70))
    for angle in (-0.9, -0.4, 0.1, 0.6, 1.0):
        c.thick_line(230, 118, 230 + 34 * math.sin(angle), 118 - 38 * math.cos(angle), 7, (70, 150, 80))
    # A round rug.
    c.ellipse(250, 420, 170, 40, (200, 120, 130))
    c.ellipse(250, 420, 140, 30, (236, 190, 170))
    return c


def night_picture():
    c = Canvas(STAGE_W, STAGE_H)
    c.vertical_gradient(0, STAGE_H, [(0, (10, 14, 46)), (0.6, (40, 44, 110)), (1, (90, 70, 130))])
    rng = Lcg(2024)
    for _ in range(180):
        x, y = rng.next(STAGE_W), rng.next(340)
        b = 150 + rng.next(106)
        c.pixel(x, y, (b, b, min(255, b + 20)))
        if rng.next(8) == 0:
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                c.pixel(x + dx, y + dy, (b // 2, b // 2, b // 2 + 30))
    for cx, cy, r in ((120, 80, 10), (260, 140, 8), (560, 200, 9)):
        c.star(cx, cy, r, r * 0.4, (255, 240, 170))
    # A crescent moon.
    c.glow(470, 100, 90, (120, 120, 170), 0.5)
    for y in range(56, 145):
        for x in range(426, 515):
            if math.hypot(x - 470, y - 100) <= 44 and math.hypot(x - 490, y - 88) > 40:
                c.pixel(x, y, (255, 246, 200))
    # A sleeping town.
    rng = Lcg(99)
    x = 0
    while x < STAGE_W:
        width, height = 40 + rng.next(50), 60 + rng.next(90)
        c.rect(x, STAGE_H - height, x + width, STAGE_H, (24, 22, 48))
        if rng.next(3) == 0:
            c.polygon([(x - 4, STAGE_H - height), (x + width + 4, STAGE_H - height), (x + width // 2, STAGE_H - height - 26)],
                      (24, 22, 48))
        for wy in range(STAGE_H - height + 14, STAGE_H - 14, 22):
            for wx in range(x + 8, x + width - 12, 16):
                if rng.next(3) == 0:
                    c.rect(wx, wy, wx + 8, wy + 10, (255, 214, 120))
        x += width + 4
    return c


def letter_picture():
    """320 x 240: smaller than the stage, so the player draws it centred."""
    c = Canvas(320, 240, (120, 84, 56))
    c.rect(8, 8, 312, 232, (252, 248, 236))
    for y in range(52, 220, 22):
        c.rect(28, y, 292, y + 1, (200, 210, 230))
    c.rect(232, 20, 296, 96, (230, 120, 120))
    c.rect(236, 24, 292, 92, (252, 236, 220))
    c.star(264, 58, 24, 10, (240, 180, 60))
    # A hand-drawn heart for a signature.
    c.circle(60, 190, 10, (220, 80, 100))
    c.circle(76, 190, 10, (220, 80, 100))
    c.polygon([(50, 194), (86, 194), (68, 214)], (220, 80, 100))
    return c


def logo_picture():
    c = Canvas(STAGE_W, STAGE_H)
    c.vertical_gradient(0, STAGE_H, [(0, (30, 20, 60)), (0.5, (110, 60, 130)), (1, (240, 150, 120))])
    rng = Lcg(5)
    for _ in range(26):
        x, y, r = rng.next(STAGE_W), rng.next(STAGE_H), 12 + rng.next(40)
        colour = mix(c.get(x, y), (255, 240, 250), 0.25 + rng.next(20) / 100)
        c.circle(x, y, r, colour)
    c.star(320, 220, 90, 38, (255, 226, 120))
    c.star(320, 220, 60, 25, (255, 246, 200))
    return c


# Characters: drawn on KEY. Each helper takes the top-left corner of its picture.

SKIN = (252, 222, 200)
HAIR = (96, 60, 44)


def girl_picture(smile):
    c = Canvas(220, 400, KEY)
    # Hair behind the head.
    c.ellipse(110, 110, 86, 100, HAIR)
    c.rect(30, 110, 190, 210, HAIR)
    c.ellipse(110, 210, 80, 28, HAIR)
    # Dress.
    c.polygon([(70, 190), (150, 190), (200, 392), (20, 392)], (90, 140, 220))
    c.polygon([(92, 190), (128, 190), (110, 226)], (255, 255, 255))
    c.rect(20, 380, 200, 392, (70, 110, 190))
    # Arms and hands.
    c.thick_line(72, 206, 42, 300, 18, (90, 140, 220))
    c.thick_line(148, 206, 178, 300, 18, (90, 140, 220))
    c.circle(40, 306, 12, SKIN)
    c.circle(180, 306, 12, SKIN)
    # Neck, face, fringe.
    c.rect(98, 160, 122, 196, SKIN)
    c.ellipse(110, 110, 62, 70, SKIN)
    c.polygon([(46, 90), (70, 50), (110, 40), (150, 50), (174, 90), (150, 74), (130, 86), (110, 70), (88, 86), (66, 76)],
              HAIR)
    # A ribbon.
    c.polygon([(150, 40), (186, 22), (182, 62)], (230, 80, 110))
    c.polygon([(150, 40), (132, 12), (122, 48)], (230, 80, 110))
    c.circle(148, 40, 8, (250, 120, 150))
    if smile:
        for ex in (86, 134):
            c.thick_line(ex - 10, 116, ex, 108, 4, (60, 40, 40))
            c.thick_line(ex, 108, ex + 10, 116, 4, (60, 40, 40))
        c.ellipse(74, 138, 12, 6, (250, 170, 170))
        c.ellipse(146, 138, 12, 6, (250, 170, 170))
        c.polygon([(94, 146), (126, 146), (110, 162)], (200, 70, 80))
    else:
        for ex in (86, 134):
            c.ellipse(ex, 114, 9, 12, (60, 40, 40))
            c.circle(ex + 3, 109, 3, (255, 255, 255))
        c.thick_line(102, 150, 118, 150, 4, (190, 90, 90))
    return c


def cat_picture():
    c = Canvas(170, 150, KEY)
    fur, dark = (240, 170, 90), (200, 120, 60)
    c.thick_line(140, 130, 160, 60, 14, fur)
    c.ellipse(92, 110, 58, 38, fur)
    c.ellipse(92, 118, 30, 22, (255, 236, 210))
    c.circle(62, 62, 40, fur)
    c.polygon([(28, 46), (30, 6), (58, 30)], fur)
    c.polygon([(96, 46), (94, 6), (66, 30)], fur)
    c.polygon([(34, 38), (35, 16), (50, 30)], (250, 170, 170))
    c.polygon([(90, 38), (89, 16), (74, 30)], (250, 170, 170))
    for sx in (44, 80):
        c.ellipse(sx, 58, 6, 9, (40, 60, 40))
        c.circle(sx + 2, 54, 2, (255, 255, 255))
    c.polygon([(56, 72), (68, 72), (62, 79)], (220, 100, 110))
    for dy in (-4, 4):
        c.thick_line(20, 76 + dy, 44, 76, 2, dark)
        c.thick_line(104, 76 + dy, 80, 76, 2, dark)
    for stripe in (110, 124, 138):
        c.thick_line(stripe, 78, stripe - 3, 94, 5, dark)
    return c


def fairy_picture():
    c = Canvas(110, 110, KEY)
    c.star(55, 57, 52, 22, (250, 200, 60))
    c.star(55, 57, 42, 17, (255, 232, 120))
    c.circle(44, 56, 5, (70, 50, 40))
    c.circle(66, 56, 5, (70, 50, 40))
    c.circle(45, 54, 2, (255, 255, 255))
    c.circle(67, 54, 2, (255, 255, 255))
    c.ellipse(36, 68, 6, 3, (250, 150, 120))
    c.ellipse(74, 68, 6, 3, (250, 150, 120))
    c.polygon([(49, 70), (61, 70), (55, 77)], (200, 80, 80))
    return c


# ---------------------------------------------------------------------------------------
# Music: a Standard MIDI File, format 1.

TICKS = 480  # per quarter note


def var_len(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append((value & 0x7F) | 0x80)
        value >>= 7
    return bytes(reversed(out))


def track_chunk(events, end):
    """events: [(absolute tick, bytes)], sorted stably by tick; the track ends at `end`."""
    events = sorted(events, key=lambda e: e[0])
    data, now = bytearray(), 0
    for tick, message in events:
        data += var_len(tick - now) + message
        now = tick
    data += var_len(max(0, end - now)) + b"\xFF\x2F\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + bytes(data)


def meta(kind, payload):
    return bytes([0xFF, kind]) + var_len(len(payload)) + payload


def note(events, channel, start, length, key, velocity):
    events.append((start, bytes([0x90 | channel, key, velocity])))
    events.append((start + length - 10, bytes([0x80 | channel, key, 0])))


def tempo(bpm):
    return meta(0x51, struct.pack(">I", round(60_000_000 / bpm))[1:])


def theme_midi():
    bar = 4 * TICKS
    eighth = TICKS // 2
    names = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

    def key(name):
        return 12 * (int(name[-1]) + 1) + names[name[0]]

    # I - vi - IV - V, twice; the melody ends on the leading note and loops back home.
    chords = [("C", ["C4", "E4", "G4"]), ("A", ["A3", "C4", "E4"]), ("F", ["F3", "A3", "C4"]), ("G", ["G3", "B3", "D4"])] * 2
    melody = [
        [("E5", 2), ("G5", 2), ("C6", 2), ("B5", 1), ("A5", 1)],
        [("A5", 4), ("G5", 2), ("E5", 2)],
        [("F5", 2), ("A5", 2), ("C6", 2), ("A5", 2)],
        [("G5", 6), ("D5", 1), ("E5", 1)],
        [("E5", 2), ("G5", 2), ("C6", 2), ("D6", 2)],
        [("E6", 3), ("D6", 1), ("C6", 2), ("A5", 2)],
        [("A5", 2), ("G5", 2), ("F5", 2), ("D5", 2)],
        [("G5", 2), ("B5", 2), ("D6", 2), ("B5", 2)],
    ]

    conductor = [
        (0, meta(0x03, b"Kelva demo theme")),
        (0, meta(0x58, bytes([4, 2, 24, 8]))),
        (0, meta(0x59, bytes([0, 0]))),  # C major
        (0, tempo(100)),
        (7 * bar + 2 * TICKS, tempo(88)),  # a gentle ritardando before the loop
    ]

    def setup(channel, program, volume, pan, reverb, name):
        return [
            (0, meta(0x03, name)),
            (0, bytes([0xC0 | channel, program])),
            (0, bytes([0xB0 | channel, 7, volume])),
            (0, bytes([0xB0 | channel, 10, pan])),
            (0, bytes([0xB0 | channel, 91, reverb])),
        ]

    lead = setup(0, 10, 110, 70, 60, b"Music box")  # GM 11: Music Box
    tick = 0
    for phrase in melody:
        for name, eighths in phrase:
            note(lead, 0, tick, eighths * eighth, key(name), 92)
            tick += eighths * eighth

    strings = setup(1, 48, 80, 40, 80, b"Strings")  # GM 49: String Ensemble 1
    bass = setup(2, 32, 100, 64, 30, b"Bass")  # GM 33: Acoustic Bass
    for i, (root, notes) in enumerate(chords):
        start = i * bar
        for n in notes:
            note(strings, 1, start, bar, key(n), 58)
        low = key(root + "2")
        note(bass, 2, start, TICKS * 2, low, 90)
        note(bass, 2, start + TICKS * 2, TICKS, low + 7, 80)
        note(bass, 2, start + TICKS * 3, TICKS, low + 12, 76)

    drums = [(0, meta(0x03, b"Percussion")), (0, bytes([0xB9, 7, 70]))]
    for b in range(len(chords)):
        for e in range(8):
            t = b * bar + e * eighth
            note(drums, 9, t, eighth, 42, 44 if e % 2 else 60)  # closed hi-hat
        note(drums, 9, b * bar, TICKS, 36, 70)  # bass drum
        note(drums, 9, b * bar + 2 * TICKS, TICKS, 75, 64)  # claves

    tracks = [conductor, lead, strings, bass, drums]
    head = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), TICKS)
    # Every track ends with the last bar, so the tune loops without a hiccup.
    return head + b"".join(track_chunk(t, len(chords) * bar) for t in tracks)


# ---------------------------------------------------------------------------------------
# Sound: a two-note chime, 16-bit PCM mono WAVE.


def chime_wave():
    rate, seconds = 22050, 1.6
    samples = []
    notes = ((0.0, 1318.5), (0.14, 1975.5))  # E6, then B6
    partials = ((1.0, 1.0, 3.0), (2.76, 0.45, 5.0), (5.40, 0.25, 8.0))  # ratio, level, decay
    for i in range(int(rate * seconds)):
        t = i / rate
        value = 0.0
        for start, f in notes:
            u = t - start
            if u >= 0:
                attack = min(1.0, u / 0.004)
                for ratio, level, decay in partials:
                    value += attack * level * math.exp(-decay * u) * math.sin(2 * math.pi * f * ratio * u)
        samples.append(value)
    peak = max(abs(s) for s in samples) or 1.0
    data = b"".join(struct.pack("<h", round(s / peak * 0.6 * 32767)) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE" + b"fmt " +
            struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data)


# ---------------------------------------------------------------------------------------


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_jpeg(path, canvas, scratch):
    source = os.path.join(scratch, os.path.basename(path) + ".bmp")
    write(source, canvas.bmp_bytes())
    os.makedirs(os.path.dirname(path), exist_ok=True)
    cjpeg = shutil.which("cjpeg")
    if not cjpeg:
        sys.exit("make_assets.py: cjpeg not found (Debian package libjpeg-turbo-progs)")
    # Baseline, not progressive: the player decodes baseline JPEG.
    subprocess.run([cjpeg, "-quality", "90", "-outfile", path, source], check=True)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_assets.py OUTPUT_FOLDER")
    out = sys.argv[1]
    with tempfile.TemporaryDirectory() as scratch:
        write(os.path.join(out, "bg", "logo.bmp"), logo_picture().bmp_bytes())
        write(os.path.join(out, "bg", "sky.bmp"), sky_picture().bmp_bytes())
        write_jpeg(os.path.join(out, "bg", "room.jpg"), room_picture(), scratch)
        write_jpeg(os.path.join(out, "bg", "night.jpg"), night_picture(), scratch)
        write_jpeg(os.path.join(out, "bg", "letter.jpg"), letter_picture(), scratch)
    write(os.path.join(out, "chara", "girl.bmp"), girl_picture(False).bmp_bytes())
    write(os.path.join(out, "chara", "girl_smile.bmp"), girl_picture(True).bmp_bytes())
    write(os.path.join(out, "chara", "neko", "cat.bmp"), cat_picture().bmp_bytes())
    write(os.path.join(out, "chara", "hoshi", "fairy.bmp"), fairy_picture().bmp_bytes())
    write(os.path.join(out, "bgm", "theme.mid"), theme_midi())
    write(os.path.join(out, "se", "chime.wav"), chime_wave())


if __name__ == "__main__":
    main()
