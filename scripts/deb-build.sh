#!/usr/bin/env bash
# Builds the binary packages from the source package in a clean Debian 12
# root, as Debian's build machines do: only build-essential and what
# Build-Depends names are installed (so a missing build dependency fails
# here), and the build, with its tests, runs as an ordinary user. The build
# differs on purpose from deb.sh's own in its folder, time zone, locale and
# umask, so that equal bytes show the package is reproducible.
#
# Usage: deb-build.sh parlanta_VERSION.dsc OUTDIR   (needs root; uses sudo)
#   the .debs are copied to OUTDIR, the build's log to OUTDIR/build.log
set -euo pipefail
[ $# -eq 2 ] && [ -f "$1" ] || { echo "usage: $0 parlanta_VERSION.dsc OUTDIR" >&2; exit 2; }
dsc=$(realpath "$1")
out=$(realpath -m "$2")
. "$(dirname "$0")/clean-root.sh"
mkdir -p "$out"
rm -f "$out"/*.deb "$out/build.log"

# The source package's files, as the .dsc lists them.
place=/build/other-place
mkdir -p "$root$place"
cp "$dsc" "$root$place/"
for file in $(awk '/^Files:/ { on = 1; next } /^[^ ]/ { on = 0 } on { print $3 }' "$dsc"); do
    cp "$(dirname "$dsc")/$file" "$root$place/"
done

failed() {
    [ -s "$work/apt.log" ] && tail -n 20 "$work/apt.log"
    echo "FAIL: $*" >&2
    exit 1
}
apt_get install --no-install-recommends build-essential || failed "apt installs build-essential"
apt_get build-dep --no-install-recommends "$place/$(basename "$dsc")" ||
    failed "apt installs the Build-Depends of $(basename "$dsc")"
keep_downloads
in_root useradd --create-home --uid 2000 --user-group builder
chown -R 2000:2000 "$root/build"

status=0
chroot --userspec=2000:2000 "$root" env -i PATH=/usr/bin:/bin HOME=/home/builder \
    TZ=XYZ-14 LANG=C LANGUAGE=fr DEB_BUILD_OPTIONS="parallel=2 ${DEB_BUILD_OPTIONS:-}" \
    sh -c 'umask 0002 && cd "$1" && dpkg-source -x "$2" tree && cd tree && dpkg-buildpackage -b -us -uc' \
    build "$place" "$(basename "$dsc")" >"$out/build.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || { tail -n 60 "$out/build.log"; failed "the package build in the clean root (log: $out/build.log)"; }
cp "$root$place"/*.deb "$out/"
echo "PASS: built from $(basename "$dsc") in a clean root, as an ordinary user, from its Build-Depends alone"
