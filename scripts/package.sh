#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package in a Release tree of its own, build-package, so the test command's
# build folder keeps its build type; with --install, installs the package as well.
# The build's messages go to standard error; standard output gets only the package's path.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

usage() {
    echo "usage: $0 [--install]" >&2
    echo "  builds the brevan .deb in build-package and prints its path;" >&2
    echo "  --install also installs it with apt-get (through sudo when not root)" >&2
}

install=false
case "${1:-}" in
"") ;;
--install) install=true ;;
--help | -h)
    usage
    exit 0
    ;;
*)
    usage
    exit 2
    ;;
esac
[ $# -le 1 ] || {
    usage
    exit 2
}

PACKAGE_DIR=$ROOT/build-package
# dpkg-shlibdeps (dpkg-dev) and file let CPack work out the package's library dependencies;
# lintian checks the package as Debian's archive would.
ensure_packages "${RUN_PACKAGES[@]}" dpkg-dev file lintian >&2

# Built with the flags Debian builds its own packages with, all hardening included (fortified
# functions, read-only relocations bound at start), as lintian expects of a program in the archive.
buildflag() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }

{
    configure_and_build "$PACKAGE_DIR" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DBREVAN_BUILD_BENCHMARKS=OFF \
        -DCMAKE_CXX_FLAGS="$(buildflag CPPFLAGS) $(buildflag CXXFLAGS)" \
        -DCMAKE_EXE_LINKER_FLAGS="$(buildflag LDFLAGS)"
    # An older package left in the folder must not be mistaken for this one.
    rm -f "$PACKAGE_DIR"/brevan_*.deb
    (cd "$PACKAGE_DIR" && cpack -G DEB)
} >&2

debs=("$PACKAGE_DIR"/brevan_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "cpack did not leave exactly one brevan_*.deb in $PACKAGE_DIR" >&2
    exit 1
fi
deb=${debs[0]}

# What the package is for must be in it: every program with its manual page, Debian's changelog
# and copyright file, the manual, every page of it, and the engine the check runs, which no
# library dependency would bring along. The check window is there when the build has it, which
# its install layout records.
# shellcheck source=/dev/null
source "$PACKAGE_DIR/install_layout.sh"
programs=(Brevan1-2 brevan-check)
[ -z "$BREVAN_CHECK_APP_ID" ] || programs+=(BrevanCheck)
expected=(./usr/share/doc/brevan/changelog.gz ./usr/share/doc/brevan/copyright
    ./usr/share/doc/brevan/README.md)
for page in "$ROOT"/docs/*.md; do
    expected+=("./usr/share/doc/brevan/docs/${page##*/}")
done
for program in "${programs[@]}"; do
    expected+=("./usr/bin/$program" "./usr/share/man/man1/$program.1.gz")
done
contents=$(dpkg-deb --contents "$deb")
for path in "${expected[@]}"; do
    grep -qE " ${path//./\\.}\$" <<<"$contents" || {
        echo "$deb does not contain $path" >&2
        exit 1
    }
done
grep -qE '(^|, )nec2c( |,|$)' <<<"$(dpkg-deb --field "$deb" Depends)" || {
    echo "$deb does not depend on nec2c" >&2
    exit 1
}

# Debian's own check of the package: an error is something the archive would refuse. The tags
# it finds, warnings included, are shown; only errors stop the script.
lintian --fail-on error --info "$deb" >&2 || {
    echo "lintian finds errors in $deb" >&2
    exit 1
}

if $install; then
    # apt-get takes a local file only by a path that starts with / or ./; --reinstall puts a
    # rebuilt package of the same version in place of the installed one.
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall "$deb" >&2
fi
echo "$deb"
