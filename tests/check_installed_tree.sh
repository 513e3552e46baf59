#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks what a desktop needs from it: each window
# program (Brevan1-2, and BrevanCheck when the build has it), a menu entry and an AppStream
# description that the freedesktop validators accept, and the icon at every size the entry's
# Icon= name promises; what a shell user needs: brevan-check, answering for the version being
# installed, and a manual page for every program, readable without warnings; and what Debian
# wants beside them: the changelog of this version and a machine-readable copyright file; and
# the manual that the manual pages point to.
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
read -r -a sizes <<<"$BREVAN_ICON_SIZES"
read -r -a man_pages <<<"$BREVAN_MAN_PAGES"

for tool in desktop-file-validate appstreamcli file groff zcat python3; do
    command -v "$tool" >/dev/null || {
        echo "missing $tool (install desktop-file-utils, appstream, file, groff-base and python3)" >&2
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

for page in "${man_pages[@]}"; do
    if [ -f "$prefix/$page" ]; then
        complaints=$(man_page_complaints "$prefix/$page")
        [ -z "$complaints" ] || fail "$page does not format cleanly: $complaints"
    else
        fail "$page is missing"
    fi
done
# Every program in bin has its page: Debian wants one for each command it installs.
for program in "$prefix"/bin/*; do
    name=$(basename -- "$program")
    printf '%s\n' "${man_pages[@]}" | grep -q "/$name\.[1-9]\(\.gz\)\?$" ||
        fail "bin/$name has no manual page"
done

man_page="$prefix/$BREVAN_MAN_PAGE"
if [ -f "$man_page" ]; then
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
fi

# Debian's changelog names the package's version in its first line; one left behind by a new
# version would describe another release.
changelog="$prefix/$BREVAN_DOC_DIR/changelog.gz"
if [ -f "$changelog" ]; then
    first_line=$(zcat -- "$changelog" | head -n 1)
    grep -qF "($BREVAN_VERSION)" <<<"$first_line" ||
        fail "the changelog's latest entry is not version $BREVAN_VERSION: '$first_line'"
else
    fail "$BREVAN_DOC_DIR/changelog.gz is missing"
fi
copyright="$prefix/$BREVAN_DOC_DIR/copyright"
if [ -f "$copyright" ]; then
    head -n 1 -- "$copyright" |
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "$BREVAN_DOC_DIR/copyright is not in the machine-readable format"
    grep -qx 'License: GPL-3.0-or-later' -- "$copyright" ||
        fail "$BREVAN_DOC_DIR/copyright does not give the programs' licence, GPL-3.0-or-later"
else
    fail "$BREVAN_DOC_DIR/copyright is missing"
fi

# The manual the manual pages point to, whole: the front page, its chapters and the pictures
# they show, with no link that leads nowhere in the installed copy.
manual="$prefix/$BREVAN_DOC_DIR"
if [ -f "$manual/README.md" ] && [ -f "$manual/docs/check.md" ]; then
    links_report=$(python3 "$(dirname -- "${BASH_SOURCE[0]}")/docs/check_manual_links.py" "$manual") ||
        fail "the installed manual has links that lead nowhere: $links_report"
else
    fail "the manual, $BREVAN_DOC_DIR/README.md and docs/*.md, is missing"
fi

# A window program as the desktop sees it: its menu entry starts it and names its icon, its
# AppStream data points at the entry, and the icon is there at every size.
check_desktop_program() {
    local app_id=$1 program=$2
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is missing or not executable"

    local desktop="$prefix/share/applications/$app_id.desktop"
    if [ -f "$desktop" ]; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"
        # The menu must start the installed program and find the installed icon by name.
        grep -qx "Exec=$program" "$desktop" || fail "desktop entry does not run $program"
        grep -qx "Icon=$app_id" "$desktop" || fail "desktop entry's icon is not $app_id"
    else
        fail "share/applications/$app_id.desktop is missing"
    fi

    local metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
    if [ -f "$metainfo" ]; then
        appstreamcli validate --no-net "$metainfo" ||
            fail "appstreamcli rejects $app_id.metainfo.xml"
        grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
            fail "metainfo does not point at $app_id.desktop"
        grep -q "<binary>$program</binary>" "$metainfo" ||
            fail "metainfo does not provide $program"
        grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" ||
            fail "metainfo does not give the licence, GPL-3.0-or-later"
    else
        fail "share/metainfo/$app_id.metainfo.xml is missing"
    fi

    local size icon description
    for size in "${sizes[@]}"; do
        icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
        if [ ! -f "$icon" ]; then
            fail "icon $app_id ${size}x${size} is missing"
            continue
        fi
        # A theme directory's name is a promise about the picture's size; a mismatch gets the
        # icon scaled or skipped by the desktop.
        description=$(file -b "$icon")
        case $description in
        "PNG image data, $size x $size,"*) ;;
        *) fail "icon $app_id ${size}x${size} is: $description" ;;
        esac
    done
}

check_desktop_program "$BREVAN_APP_ID" Brevan1-2
# An empty id: this build has no check window, so there is nothing of it to install.
if [ -n "$BREVAN_CHECK_APP_ID" ]; then
    check_desktop_program "$BREVAN_CHECK_APP_ID" BrevanCheck
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed tree is complete"
