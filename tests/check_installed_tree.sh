#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs from it: the program,
# a menu entry and an AppStream description that the freedesktop validators accept, and the
# icon at every size the entry's Icon= name promises.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 <build-dir>" >&2
    exit 2
fi
build_dir=$1
# The build writes down the application id and the icon sizes it installs, so this check and
# the install rules cannot disagree about them.
layout="$build_dir/install_layout.sh"
[ -f "$layout" ] || {
    echo "$layout is missing: configure the build first" >&2
    exit 1
}
# shellcheck source=/dev/null
source "$layout"
app_id=$BREVAN_APP_ID
read -r -a sizes <<<"$BREVAN_ICON_SIZES"

for tool in desktop-file-validate appstreamcli file; do
    command -v "$tool" >/dev/null || {
        echo "missing $tool (install desktop-file-utils, appstream and file)" >&2
        exit 1
    }
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

[ -x "$prefix/bin/Brevan1-2" ] || fail "bin/Brevan1-2 is missing or not executable"

desktop="$prefix/share/applications/$app_id.desktop"
if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"
    # The menu must start the installed program and find the installed icon by name.
    grep -qx "Exec=Brevan1-2" "$desktop" || fail "desktop entry does not run Brevan1-2"
    grep -qx "Icon=$app_id" "$desktop" || fail "desktop entry's icon is not $app_id"
else
    fail "share/applications/$app_id.desktop is missing"
fi

metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $app_id.metainfo.xml"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
        fail "metainfo does not point at $app_id.desktop"
else
    fail "share/metainfo/$app_id.metainfo.xml is missing"
fi

for size in "${sizes[@]}"; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    if [ ! -f "$icon" ]; then
        fail "icon ${size}x${size} is missing"
        continue
    fi
    # A theme directory's name is a promise about the picture's size; a mismatch gets the icon
    # scaled or skipped by the desktop.
    description=$(file -b "$icon")
    case $description in
    "PNG image data, $size x $size,"*) ;;
    *) fail "icon ${size}x${size} is: $description" ;;
    esac
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed tree is complete"
