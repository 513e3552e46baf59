#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The manual's pictures of the two windows, and its SVG plots, against the program as it is.

The SVG plots of the typical design (docs/check/) are the command's own text, compared whole.
Each window picture carries the words its window showed when it was drawn (a PNG text chunk,
"Content", written by the renderers). This draws the windows afresh into a temporary folder and
compares those words, not pixels: fonts and anti-aliasing differ from machine to machine, while
a changed figure or label means the picture shows an older program.

    check_pictures.py --docs DOCS --render-pages TOOL --render-check-window TOOL --check CLI
    check_pictures.py --self-test
"""

import argparse
import os
import pathlib
import re
import struct
import subprocess
import sys
import tempfile
import zlib

FOLDERS = {"pages": "render_pages.sh", "check-window": "render_check_window.sh"}
TYPICAL = ["--frequency", "7.05", "--length", "15", "--distance", "3", "--wire", "16", "--former",
           "50", "--coil-length", "40", "--coil-wire", "20"]
# docs/check/<name> and the options that draw it
PLOTS = {"typical-swr.svg": "--plot", "typical-study.svg": "--study-plot"}


def png_texts(data):
    """The text chunks of a PNG as a dict; empty when it has none or is no PNG."""
    if not data.startswith(b"\x89PNG\r\n\x1a\n"):
        return {}
    texts = {}
    at = 8
    while at + 8 <= len(data):
        (length,) = struct.unpack(">I", data[at : at + 4])
        kind = data[at + 4 : at + 8]
        body = data[at + 8 : at + 8 + length]
        at += 12 + length
        if kind == b"tEXt" and b"\0" in body:
            key, value = body.split(b"\0", 1)
            texts[key.decode("latin-1")] = value.decode("latin-1")
        elif kind == b"zTXt" and b"\0" in body:
            key, rest = body.split(b"\0", 1)
            texts[key.decode("latin-1")] = zlib.decompress(rest[1:]).decode("latin-1")
        elif kind == b"iTXt" and b"\0" in body:
            key, rest = body.split(b"\0", 1)
            compressed = rest[0]
            _, rest = rest[2:].split(b"\0", 1)  # language tag
            _, rest = rest.split(b"\0", 1)  # translated keyword
            texts[key.decode("latin-1")] = (zlib.decompress(rest) if compressed else rest).decode()
        elif kind == b"IEND":
            break
    return texts


def page_of(name):
    """"swr-plot-dark@2x.png" -> "swr-plot": the scale and the palette do not change the words."""
    return re.sub(r"(-dark)?@\d+(\.\d+)?x\.png$", "", name)


def first_difference(old, new):
    for a, b in zip(old.splitlines(), new.splitlines()):
        if a != b:
            return f"'{a}' where the program now shows '{b}'"
    return "a line more or fewer"


def stale_pictures(docs, fresh):
    """Lines naming each picture in docs/<folder> whose words differ from a fresh one's."""
    faults = []
    for folder, script in FOLDERS.items():
        for picture in sorted((docs / folder).glob("*.png")):
            drawn = fresh.get(page_of(picture.name))
            if drawn is None:
                faults.append(f"{folder}/{picture.name}: the program draws no such page")
                continue
            shown = png_texts(picture.read_bytes()).get("Content")
            if shown is None:
                faults.append(f"{folder}/{picture.name}: carries no words; run scripts/{script}")
            elif shown != drawn:
                faults.append(f"{folder}/{picture.name} is out of date, "
                              f"{first_difference(shown, drawn)}; run scripts/{script}")
    return faults


def render(tools, into):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QT_SCALE_FACTOR="1", LC_ALL="C.UTF-8")
    fresh = {}
    for tool in tools:
        subprocess.run([tool, str(into)], check=True, env=env, stdout=subprocess.DEVNULL)
    for picture in into.glob("*.png"):
        fresh[page_of(picture.name)] = png_texts(picture.read_bytes()).get("Content", "")
    return fresh


def stale_plots(docs, check):
    """Lines naming each SVG plot in docs/check that the command now draws otherwise."""
    faults = []
    with tempfile.TemporaryDirectory() as folder:
        drawn = {name: pathlib.Path(folder) / name for name in PLOTS}
        options = [x for name, option in PLOTS.items() for x in (option, str(drawn[name]))]
        subprocess.run([check, *TYPICAL, "--study", "coil-position", *options], check=True,
                       stdout=subprocess.DEVNULL, env=dict(os.environ, LC_ALL="C.UTF-8"))
        for name, path in drawn.items():
            if (docs / "check" / name).read_bytes() != path.read_bytes():
                command = " ".join(["brevan-check", *TYPICAL, "--study coil-position",
                                    PLOTS[name], "docs/check/" + name])
                faults.append(f"check/{name} is out of date; run {command}")
    return faults


def png(texts):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0))
    for kind, key, value in texts:
        if kind == b"tEXt":
            out += chunk(kind, key + b"\0" + value)
        elif kind == b"zTXt":
            out += chunk(kind, key + b"\0\0" + zlib.compress(value))
        else:
            out += chunk(kind, key + b"\0\1\0\0\0" + zlib.compress(value))
    return out + chunk(b"IEND", b"")


def self_test():
    """The checker against pictures with known faults."""
    words = "Inductance\n6.952 uH"
    with tempfile.TemporaryDirectory() as name:
        docs = pathlib.Path(name)
        (docs / "pages").mkdir()
        (docs / "check-window").mkdir()
        (docs / "pages" / "summary@1x.png").write_bytes(png([(b"zTXt", b"Content", words.encode())]))
        (docs / "pages" / "step1@2x.png").write_bytes(png([(b"tEXt", b"Content", b"Step 1")]))
        (docs / "check-window" / "dipole-dark@1x.png").write_bytes(
            png([(b"iTXt", b"Content", "Coil 40 mm \u00b5H".encode())]))
        fresh = {"summary": words, "step1": "Step 1", "dipole": "Coil 40 mm \u00b5H"}
        cases = [
            ("all current", fresh, []),
            ("a figure moved", dict(fresh, summary="Inductance\n7.118 uH"),
             ["out of date, '6.952 uH' where the program now shows '7.118 uH'"]),
            ("a page gone", {k: v for k, v in fresh.items() if k != "step1"},
             ["step1@2x.png: the program draws no such page"]),
        ]
        failed = 0
        for name_, drawn, expected in cases:
            faults = stale_pictures(docs, drawn)
            ok = len(faults) == len(expected) and all(e in f for e, f in zip(expected, faults))
            failed += not ok
            print(("ok     " if ok else "FAILED ") + name_ + ("" if ok else f": {faults}"))
        (docs / "pages" / "step2@1x.png").write_bytes(png([]))
        faults = stale_pictures(docs, dict(fresh, step2="Step 2"))
        ok = len(faults) == 1 and "carries no words" in faults[0]
        failed += not ok
        print(("ok     " if ok else "FAILED ") + "a picture without words")
    return 1 if failed else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--docs", type=pathlib.Path)
    parser.add_argument("--render-pages")
    parser.add_argument("--render-check-window")
    parser.add_argument("--check")
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    with tempfile.TemporaryDirectory() as folder:
        fresh = render([args.render_pages, args.render_check_window], pathlib.Path(folder))
    faults = stale_pictures(args.docs, fresh) + stale_plots(args.docs, args.check)
    for fault in faults:
        print(fault)
    pictures = sum(len(list((args.docs / f).glob("*.png"))) for f in FOLDERS)
    print(f"{pictures + len(PLOTS)} pictures, {len(faults)} out of date")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
