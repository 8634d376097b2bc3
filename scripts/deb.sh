#!/usr/bin/env bash
# Builds the Debian package from the tracked files (in a copy under
# build-deb/, so the work tree stays clean), checks it with lintian and the
# desktop-entry and AppStream validators, builds the Linux archive from the
# same copy, tries both in a clean Debian 12 root (scripts/deb-check.sh) and
# prints the package's path last.
#   deb.sh                     all of that
#   deb.sh --no-root           without the clean root
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

"$root/scripts/deps.sh" deb

out="$root/build-deb"
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
arch=$(dpkg --print-architecture)
deb="$out/parlanta_${version}_${arch}.deb"

# Uncommitted changes to tracked files are built too; untracked files are not.
rm -rf "$out/src" "$out"/parlanta_* "$out"/parlanta-dbgsym_*
mkdir -p "$out/src"
snapshot=$(git -C "$root" stash create)
git -C "$root" archive "${snapshot:-HEAD}" | tar -x -C "$out/src"
if [ -n "${PARLANTA_DEB_FAULT:-}" ]; then
    # The texts are matched literally, so they need no escaping in the list.
    file=$(awk -F' \\|\\|\\| ' '{print $2}' <<<"$PARLANTA_DEB_FAULT")
    FAULT="$PARLANTA_DEB_FAULT" perl -0777 -i -pe '
        my @f = split / \|\|\| /, $ENV{FAULT};
        my $at = index($_, $f[2]);
        if ($at < 0) { exit 3 }
        substr($_, $at, length $f[2]) = $f[3];
    ' "$out/src/$file" || { echo "FAIL: the fault's text is not in $file" >&2; exit 0; }
fi
(cd "$out/src" && DEB_BUILD_OPTIONS="parallel=2 ${DEB_BUILD_OPTIONS:-}" nice dpkg-buildpackage -b -us -uc >"$out/build.log" 2>&1) ||
    { tail -n 40 "$out/build.log"; echo "FAIL: package build (log: $out/build.log)" >&2; exit 1; }
[ -f "$deb" ] || { echo "FAIL: $deb was not made" >&2; exit 1; }
echo "PASS: built $(basename "$deb")"

# Informational tags are shown and do not fail; a warning fails unless the
# package overrides it (debian/parlanta.lintian-overrides says why).
lintian --display-info --fail-on error,warning "$deb" 2>/dev/null ||
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

# The Linux archive, from the same sources, for the check of a portable copy
# unpacked where the user may not write.
archive_build="$out/archive"
rm -rf "$archive_build"
{ cmake -S "$out/src" -B "$archive_build" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
    nice cmake --build "$archive_build" && (cd "$archive_build" && cpack -G TGZ); } >"$out/archive.log" 2>&1 ||
    { tail -n 40 "$out/archive.log"; echo "FAIL: the Linux archive (log: $out/archive.log)" >&2; exit 1; }
archive=$(echo "$archive_build"/parlanta-*-Linux.tar.gz)
echo "PASS: built $(basename "$archive")"

if [ "${1:-}" != --no-root ]; then
    "$root/scripts/deb-check.sh" "$deb" "$archive"
fi
echo "$deb"
