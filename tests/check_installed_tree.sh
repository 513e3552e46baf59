#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs from it: the program,
# a menu entry and an AppStream description that the freedesktop validators accept, and the
# icon at every size the entry's Icon= name promises; and what a shell user needs: brevan-check,
# answering for the version being installed, and its manual page, readable without warnings.
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

for tool in desktop-file-validate appstreamcli file groff; do
    command -v "$tool" >/dev/null || {
        echo "missing $tool (install desktop-file-utils, appstream, file and groff-base)" >&2
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

check="$prefix/bin/brevan-check"
if [ -x "$check" ]; then
    # The installed copy, not the build tree's: it must run without the build's library paths.
    version_rc=0
    version=$(timeout 20 "$check" --version 2>/dev/null) || version_rc=$?
    [ "$version_rc" -eq 0 ] || fail "brevan-check --version exits with $version_rc"
    grep -qF "$BREVAN_VERSION" <<<"$version" ||
        fail "brevan-check --version does not name version $BREVAN_VERSION: '$version'"
else
    fail "bin/brevan-check is missing or not executable"
fi

# Prints what a manual page reader complains about while formatting the page, nothing if it
# formats cleanly. -ww turns on all of groff's warnings, as lintian does.
man_page_complaints() {
    local page=$1
    case $page in
    *.gz) zcat -- "$page" ;;
    *) cat -- "$page" ;;
    esac | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1 || echo "groff failed"
    if command -v man >/dev/null; then
        { LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z -- "$page" >/dev/null; } 2>&1 ||
            echo "man -l failed"
        # The NAME line is what whatis and apropos index.
        lexgrog -- "$page" >/dev/null 2>&1 || echo "lexgrog cannot read the NAME section"
    fi
}

man_page="$prefix/$BREVAN_MAN_PAGE"
if [ -f "$man_page" ]; then
    complaints=$(man_page_complaints "$man_page")
    [ -z "$complaints" ] || fail "$BREVAN_MAN_PAGE does not format cleanly: $complaints"
    # The page and the program must offer the same options: one added to either alone is a
    # promise the other breaks.
    long_options() { grep -oE -- '--[a-z][a-z-]*' | sort -u; }
    page_options=$(zcat -f -- "$man_page" | sed 's/\\-/-/g' | long_options)
    help_options=$(timeout 20 "$check" --help 2>/dev/null | long_options) || true
    if [ -n "$help_options" ]; then
        only_page=$(comm -23 <(echo "$page_options") <(echo "$help_options") | tr '\n' ' ')
        only_help=$(comm -13 <(echo "$page_options") <(echo "$help_options") | tr '\n' ' ')
        [ -z "$only_page" ] || fail "the manual page has options that --help lacks: $only_page"
        [ -z "$only_help" ] || fail "--help has options that the manual page lacks: $only_help"
    else
        fail "brevan-check --help lists no options"
    fi
else
    fail "$BREVAN_MAN_PAGE is missing"
fi

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
