#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the program needs, builds it and starts it. The window needs a desktop (an X11
# or Wayland display); without one the script stops after the build and says so.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${RUN_PACKAGES[@]}"
configure_and_build "$BUILD_DIR" -DBUILD_TESTING=OFF -DBREVAN_BUILD_BENCHMARKS=OFF
# The web page too, in build-web/dist: `bash scripts/web.sh` serves it.
bash "$ROOT/scripts/web.sh" --build-only

# The window needs a desktop to open on. Without one Qt aborts with a core dump, so say plainly
# what is missing instead; a platform the user chose (QT_QPA_PLATFORM) is left to Qt.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<EOF
Built $BUILD_DIR/app/Brevan1-2 and $BUILD_DIR/cli/brevan-check, and the web page in
$ROOT/build-web/dist (bash scripts/web.sh serves it).
The window needs a desktop, an X11 or Wayland display, and there is none here (neither DISPLAY
nor WAYLAND_DISPLAY is set). Run this script again from a terminal on your desktop; if you
started it with sudo, start it as yourself, as it asks for sudo only to install packages.
brevan-check needs no desktop: $BUILD_DIR/cli/brevan-check --help
EOF
    exit 1
fi
exec "$BUILD_DIR/app/Brevan1-2"
