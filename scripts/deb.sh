#!/usr/bin/env bash
# Builds the Debian package from the tracked files (in a copy under
# build-deb/, so the work tree stays clean), checks it with lintian and the
# desktop-entry and AppStream validators, tries it in a clean Debian 12 root
# (scripts/deb-check.sh) and prints the package's path last.
#   deb.sh            all of that
#   deb.sh --no-root  without the clean root
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
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
for desktop in "$unpacked"/usr/share/applications/*.desktop; do
    complaint=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$complaint" ] ||
        { echo "$complaint"; echo "FAIL: desktop-file-validate $(basename "$desktop")" >&2; exit 1; }
done
for metainfo in "$unpacked"/usr/share/metainfo/*.xml; do
    complaint=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1) &&
        [ "$(grep -cv '^✔ Validation was successful' <<<"$complaint")" -eq 0 ] ||
        { echo "$complaint"; echo "FAIL: appstreamcli validate $(basename "$metainfo")" >&2; exit 1; }
done
echo "PASS: desktop entry and metainfo validate"

if [ "${1:-}" != --no-root ]; then
    "$root/scripts/deb-check.sh" "$deb"
fi
echo "$deb"
