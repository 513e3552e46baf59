# SPDX-License-Identifier: GPL-3.0-or-later
"""The page folder's last build step: the installable page's icons and its service worker.

Draws the check window's icon (checkapp/check_icon.cpp: a red SWR dip over a dashed 2:1 line and a
copper coil on white, on a 32-unit grid) as PNGs for the web manifest, then writes sw.js from its
template with the list of every file in the folder and a cache name made from their contents, so
that any changed file gives a new cache and the visitor's browser replaces the old one.

    python3 finish_dist.py --dist DIST --sw-template sw.js
"""

import argparse
import hashlib
import json
import math
import pathlib
import struct
import zlib

ICON_SIZES = (192, 512)
GRID = 32.0
RED = (208, 32, 32)
COPPER = (184, 100, 24)
GREY = (128, 128, 128)


class Canvas:
    """A white square of RGB pixels that antialiased round-capped strokes are painted on."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[255, 255, 255] * size for _ in range(size)]

    def blend(self, x, y, colour, coverage):
        row = self.pixels[y]
        for channel in range(3):
            old = row[3 * x + channel]
            row[3 * x + channel] = round(old + (colour[channel] - old) * coverage)

    def segment(self, a, b, width, colour, coverage_of=None):
        """A stroke from a to b, width pixels wide with round ends; each pixel once at most."""
        half = width / 2.0
        left = max(int(min(a[0], b[0]) - half - 1), 0)
        right = min(int(max(a[0], b[0]) + half + 2), self.size)
        top = max(int(min(a[1], b[1]) - half - 1), 0)
        bottom = min(int(max(a[1], b[1]) + half + 2), self.size)
        dx, dy = b[0] - a[0], b[1] - a[1]
        length2 = dx * dx + dy * dy or 1e-12
        for y in range(top, bottom):
            for x in range(left, right):
                px, py = x + 0.5, y + 0.5
                t = min(max(((px - a[0]) * dx + (py - a[1]) * dy) / length2, 0.0), 1.0)
                distance = math.hypot(px - a[0] - t * dx, py - a[1] - t * dy)
                coverage = min(max(half + 0.5 - distance, 0.0), 1.0)
                if coverage > coverage_of.get((x, y), 0.0):
                    coverage_of[(x, y)] = coverage

    def stroke(self, points, width, colour):
        coverage_of = {}
        for a, b in zip(points, points[1:]):
            self.segment(a, b, width, colour, coverage_of)
        for (x, y), coverage in coverage_of.items():
            self.blend(x, y, colour, coverage)

    def png(self):
        raw = b"".join(b"\x00" + bytes(row) for row in self.pixels)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def draw_icon(size):
    unit = size / GRID
    canvas = Canvas(size)
    # The dashed 2:1 line, the coil with its leads, and the resonance's dip drawn last, on top.
    y = round(11.0 * unit) + 0.5
    dash = 4.0 * unit
    x = 3.0 * unit
    while x < 29.0 * unit:
        canvas.stroke([(x, y), (min(x + dash, 29.0 * unit), y)], max(unit, 1.0), GREY)
        x += 2 * dash
    axis = 24.0 * unit
    turns, pitch, half_width = 4, 5.0 * unit, 3.2 * unit
    first = 16.0 * unit - (turns - 1) * pitch / 2.0
    wire = max(2.0 * unit, 1.3)
    canvas.stroke([(2.0 * unit, axis), (first - half_width, axis)], wire, COPPER)
    for turn in range(turns):
        cx = first + turn * pitch
        loop = [(cx + half_width * math.cos(2 * math.pi * k / 96),
                 axis + 5.0 * unit * math.sin(2 * math.pi * k / 96)) for k in range(97)]
        canvas.stroke(loop, wire, COPPER)
    last = first + (turns - 1) * pitch + half_width
    canvas.stroke([(last, axis), (30.0 * unit, axis)], wire, COPPER)
    dip = []
    for step in range(65):
        gx = 3.5 + 25.0 * step / 64
        offset = (gx - 16.0) / 3.0
        dip.append((gx * unit, (3.5 + 12.0 / (1.0 + offset * offset)) * unit))
    canvas.stroke(dip, max(2.5 * unit, 1.5), RED)
    return canvas.png()


def write_service_worker(dist, template):
    files = sorted(p.relative_to(dist).as_posix() for p in dist.rglob("*")
                   if p.is_file() and p.name != "sw.js")
    digest = hashlib.sha256()
    for name in files:
        digest.update(name.encode() + b"\0" + (dist / name).read_bytes())
    text = template.read_text()
    text = text.replace('"@CACHE_VERSION@"', json.dumps("brevan-" + digest.hexdigest()[:16]))
    text = text.replace('["@PRECACHE_FILES@"]', json.dumps(["./"] + files, indent=2))
    (dist / "sw.js").write_text(text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True, type=pathlib.Path)
    parser.add_argument("--sw-template", required=True, type=pathlib.Path)
    args = parser.parse_args()
    for size in ICON_SIZES:
        path = args.dist / ("icon-%d.png" % size)
        picture = draw_icon(size)
        if not path.exists() or path.read_bytes() != picture:
            path.write_bytes(picture)
    write_service_worker(args.dist, args.sw_template)


if __name__ == "__main__":
    main()
