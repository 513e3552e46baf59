#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The page's figures equal the command's because the core's libraries call none of the C
library's transcendental functions (each C library rounds them its own way; the portable
ones in maths/ give the same bits everywhere) and are compiled without fused multiply-adds.

  check_exact_maths.py BUILD_DIR MATHS_LIBRARY LIBRARY...

Fails when an object of a LIBRARY leaves one of those functions undefined, or when a source of
the core's folders was compiled without -ffp-contract=off. MATHS_LIBRARY is the portable
functions' own archive: its fallback for huge angles calls the C library's sin and cos (or
sincos), and seeing that proves that the symbols are read at all."""

import json
import re
import subprocess
import sys
from pathlib import Path

# sqrt is correctly rounded by IEEE 754 in every C library; the rest are not.
FORBIDDEN = re.compile(
    r"^(sin|cos|tan|asin|acos|atan|atan2|sinh|cosh|tanh|asinh|acosh|atanh|exp|exp2|expm1|"
    r"log|log10|log2|log1p|pow|cbrt|hypot|erf|erfc|lgamma|tgamma|sincos|"
    r"j0|j1|jn|y0|y1|yn)[fl]?$")
# The folders whose figures the page reproduces.
CORE_FOLDERS = ("maths/", "design/", "check/", "faces/", "web/core/")
# The process adapter runs nec2c and computes nothing; the page brings its own.
NOT_CORE = ("check/nec/engine/",)


def undefined(archive):
    out = subprocess.run(["nm", "-u", "-A", archive], check=True, capture_output=True, text=True)
    for line in out.stdout.splitlines():
        where, _, symbol = line.rpartition(" ")
        yield where.split(":")[1] if ":" in where else where, symbol


def forbidden_calls(archive):
    return sorted({(obj, sym) for obj, sym in undefined(archive) if FORBIDDEN.match(sym)})


def uncontracted_sources(build_dir, root):
    commands = json.loads((Path(build_dir) / "compile_commands.json").read_text())
    for entry in commands:
        source = Path(entry["file"]).resolve()
        try:
            relative = source.relative_to(root).as_posix()
        except ValueError:
            continue
        if (relative.startswith(CORE_FOLDERS) and not relative.startswith(NOT_CORE)
                and "-ffp-contract=off" not in entry["command"]):
            yield relative


def main():
    build_dir, maths, *libraries = sys.argv[1:]
    root = Path(__file__).resolve().parent.parent
    faults = []
    if not forbidden_calls(maths):
        faults.append(f"{maths}: its fallback's call of sin is not seen: nm reads nothing")
    for library in libraries:
        for obj, sym in forbidden_calls(library):
            faults.append(f"{Path(library).name} ({obj}) calls the C library's {sym}: "
                          "use brevan::portable")
    for source in uncontracted_sources(build_dir, root):
        faults.append(f"{source} is compiled without -ffp-contract=off: link brevan_exact_math")
    for fault in faults:
        print(fault)
    print(f"{len(libraries)} libraries checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
