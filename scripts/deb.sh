#!/usr/bin/env bash
# Makes the Debian source package from the tracked files (in a copy under
# build-deb/, so the work tree stays clean) and builds the binary packages
# from it twice: here, without the tests, and in a clean Debian 12 root from
# its Build-Depends alone, with them (scripts/deb-build.sh), the two builds
# differing in folder, clock, time zone, locale and umask; their bytes must
# be equal. Then lintian and the desktop-entry and AppStream validators, the
# Linux archive from the same copy, the installed package tried in a clean
# root (scripts/deb-check.sh), piuparts and the autopkgtest
# (scripts/deb-tools.sh); prints the package's path last.
#   deb.sh                     all of that
#   deb.sh --no-root           without the clean roots: one build, with its tests
#   deb.sh --source            the source package only (for deb-arm64.sh)
#   deb.sh --arch arm64        the arm64 package instead (scripts/deb-arm64.sh)
#   deb.sh --mutants [pattern] each deliberate fault of scripts/mutants-deb.txt
#                              (whose id matches) alone, in the copy: every
#                              one must make deb.sh fail
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = --mutants ]; then
    gaps=0
    while IFS= read -r line; do
        case "$line" in ''|'#'*) continue ;; esac
        id=${line%% ||| *}
        grep -qE -- "${2:-.}" <<<"$id" || continue
        log="$root/build-deb/mutant-$id.log"
        mkdir -p "$root/build-deb"
        if PARLANTA_DEB_FAULT="$line" "$0" >"$log" 2>&1; then
            echo "NOT CAUGHT: $id (log: $log)"
            gaps=1
        else
            echo "caught: $id by $(grep -m 1 '^FAIL' "$log" || tail -n 1 "$log")"
        fi
    done <"$root/scripts/mutants-deb.txt"
    exit "$gaps"
fi

[ "${1:-} ${2:-}" != "--arch arm64" ] || exec "$root/scripts/deb-arm64.sh"
"$root/scripts/deps.sh" deb

# PARLANTA_DEB_OUT: another folder for all of it (deb-arm64.sh makes its
# source package apart, so that it may run beside this script).
out=${PARLANTA_DEB_OUT:-$root/build-deb}
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
upstream=${version%-*}
arch=$(dpkg --print-architecture)
deb="$out/parlanta_${version}_${arch}.deb"
dsc="$out/source/parlanta_${version}.dsc"

# Uncommitted changes to tracked files are built too; untracked files are not.
rm -rf "$out/source" "$out/host" "$out/clean-root" "$out"/parlanta_* "$out"/parlanta-dbgsym_*
tree="$out/source/parlanta-$upstream"
mkdir -p "$tree"
snapshot=$(git -C "$root" stash create 2>/dev/null) || snapshot=
git -C "$root" archive "${snapshot:-HEAD}" | tar -x -C "$tree"
if [ -n "${PARLANTA_DEB_FAULT:-}" ]; then
    # The texts are matched literally, so they need no escaping in the list.
    file=$(awk -F' \\|\\|\\| ' '{print $2}' <<<"$PARLANTA_DEB_FAULT")
    FAULT="$PARLANTA_DEB_FAULT" perl -0777 -i -pe '
        my @f = split / \|\|\| /, $ENV{FAULT};
        my $at = index($_, $f[2]);
        if ($at < 0) { exit 3 }
        substr($_, $at, length $f[2]) = $f[3];
    ' "$tree/$file" || { echo "FAIL: the fault's text is not in $file" >&2; exit 0; }
fi

# The source package. The upstream tarball holds the tree without debian/,
# with names, owners, modes and times that depend on nothing but the files,
# so the same sources always give the same bytes.
epoch=$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Timestamp)
(cd "$out/source" && tar --sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner --mode=go-w,a+rX \
    --pax-option=exthdr.name=%d/PaxHeaders/%f,delete=atime,delete=ctime --exclude="parlanta-$upstream/debian" \
    -cf - "parlanta-$upstream" | gzip -9n >"parlanta_$upstream.orig.tar.gz")
(cd "$tree" && dpkg-buildpackage -S -us -uc -nc -d >"$out/source.log" 2>&1) ||
    { tail -n 40 "$out/source.log"; echo "FAIL: source package (log: $out/source.log)" >&2; exit 1; }
echo "PASS: made the source package $(basename "$dsc")"
[ "${1:-}" != --source ] || exit 0

# run_together NAME...: the functions NAME... at once, each with its output
# kept apart and printed, in the order given, when all have ended; fails if
# any of them failed. The builds and the checks that follow are independent
# of each other, and much of each waits on one process at a time (apt, dpkg,
# a display), so side by side they share the cores well.
run_together() {
    local name pids=() status=0 i=0
    for name; do "$name" >"$out/$name.out" 2>&1 & pids+=($!); done
    for name; do
        wait "${pids[i]}" || status=1
        cat "$out/$name.out"
        i=$((i + 1))
    done
    return "$status"
}

# This machine's build: when the clean root's build runs the tests, without
# them, a year and more ahead on the clock, in UTC and another locale and
# umask than the clean root's; without the clean root, with the tests.
nocheck=nocheck profiles=(-Pnocheck) clock=(faketime -f +400d)
[ "${1:-}" != --no-root ] || { nocheck=; profiles=(); clock=(); }
host_build() {
    mkdir -p "$out/host" && dpkg-source -x "$dsc" "$out/host/parlanta-$upstream" >/dev/null 2>&1
    (cd "$out/host/parlanta-$upstream" && umask 0022 && TZ=UTC LC_ALL=C.UTF-8 DEB_BUILD_OPTIONS="parallel=2 $nocheck" \
        "${clock[@]}" dpkg-buildpackage -b -us -uc "${profiles[@]}" >"$out/build.log" 2>&1) ||
        { tail -n 40 "$out/build.log"; echo "FAIL: package build (log: $out/build.log)" >&2; exit 1; }
    cp "$out/host"/*.deb "$out/"
    [ -f "$deb" ] || { echo "FAIL: $deb was not made" >&2; exit 1; }
    echo "PASS: built $(basename "$deb")"
}
clean_root_build() { "$root/scripts/deb-build.sh" "$dsc" "$out/clean-root"; }

# The Linux archive, from the same sources, for the check of a portable copy
# unpacked where the user may not write.
# The changelog's date stands for every file time, rcc's and the archive's
# own included, and the modes do not follow the caller's umask, so that the
# same sources give the same bytes.
archive_build="$out/archive"
archive="$archive_build/parlanta-$upstream-Linux.tar.gz"
archive_build() {
    rm -rf "$archive_build"
    export SOURCE_DATE_EPOCH=$epoch QT_RCC_SOURCE_DATE_OVERRIDE=$epoch
    umask 022
    { cmake -S "$tree" -B "$archive_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARLANTA_TESTS=OFF &&
        cmake --build "$archive_build" && (cd "$archive_build" && cpack -G TGZ); } >"$out/archive.log" 2>&1 ||
        { tail -n 40 "$out/archive.log"; echo "FAIL: the Linux archive (log: $out/archive.log)" >&2; exit 1; }
    [ -f "$archive" ] || { echo "FAIL: $archive was not made" >&2; exit 1; }
    echo "PASS: built $(basename "$archive")"
}

builds=(host_build archive_build)
[ "${1:-}" = --no-root ] || builds+=(clean_root_build)
run_together "${builds[@]}" || exit 1

if [ "${1:-}" != --no-root ]; then
    # Both builds' packages, byte for byte; diffoscope tells why they differ.
    for built in "$out/host"/*.deb; do
        other="$out/clean-root/$(basename "$built")"
        cmp -s "$built" "$other" && continue
        if command -v diffoscope >/dev/null; then diffoscope --text - "$built" "$other" | head -n 200 || true; fi
        echo "FAIL: $(basename "$built") differs between this machine's build and the clean root's" >&2
        exit 1
    done
    echo "PASS: the clean root's build, with its tests, made the same bytes as this machine's: $(cd "$out/host" && ls ./*.deb | xargs -n 1 basename | tr '\n' ' ')"
fi

# Informational tags are shown and do not fail; a warning fails unless the
# package overrides it (debian/parlanta.lintian-overrides says why).
lintian --display-info --fail-on error,warning "$deb" "$dsc" 2>/dev/null ||
    { echo "FAIL: lintian" >&2; exit 1; }
echo "PASS: lintian"

unpacked="$out/unpacked"
rm -rf "$unpacked"
dpkg-deb -x "$deb" "$unpacked"
desktop="$unpacked/usr/share/applications/parlanta.desktop"
complaint=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$complaint" ] ||
    { echo "$complaint"; echo "FAIL: desktop-file-validate $(basename "$desktop")" >&2; exit 1; }
metainfo="$unpacked/usr/share/metainfo/org.example.parlanta.metainfo.xml"
# Any issue at all, down to the pedantic ones, fails; read from the YAML
# report, which no locale changes, rather than from the validator's prose.
complaint=$(appstreamcli validate --no-net --pedantic --format=yaml "$metainfo" 2>&1) &&
    ! grep -q '^Issues:' <<<"$complaint" ||
    { echo "$complaint"; echo "FAIL: appstreamcli validate $(basename "$metainfo")" >&2; exit 1; }
echo "PASS: desktop entry and metainfo validate"

# Each in a clean root of its own.
installed_checks() { "$root/scripts/deb-check.sh" "$deb" "$archive"; }
debian_tools() { "$root/scripts/deb-tools.sh" "$deb" "$tree"; }
[ "${1:-}" = --no-root ] || run_together installed_checks debian_tools || exit 1
echo "$deb"
