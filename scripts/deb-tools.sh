#!/usr/bin/env bash
# The Debian package checked with Debian's own tools, against the clean root
# of scripts/clean-root.sh: piuparts installs and purges it, and upgrades to
# it from the version before it, served by a local repository; autopkgtest
# runs debian/tests on it in a fresh copy of the root.
#
# Usage: deb-tools.sh parlanta_VERSION_ARCH.deb SOURCE-TREE   (needs root; uses sudo)
set -euo pipefail
[ $# -eq 2 ] && [ -f "$1" ] && [ -d "$2/debian" ] ||
    { echo "usage: $0 parlanta_VERSION_ARCH.deb SOURCE-TREE" >&2; exit 2; }
deb=$(realpath "$1")
tree=$(realpath "$2")
. "$(dirname "$0")/clean-root.sh"
# The tools' logs are kept beside the package.
logs=$(dirname "$deb")

# The version before this one: the same files under a lower version.
version=$(dpkg-deb -f "$deb" Version)
repo="$work/repo"
mkdir -p "$repo"
dpkg-deb -R "$deb" "$work/previous"
sed -i "s/^Version: .*/Version: $version~previous/" "$work/previous/DEBIAN/control"
dpkg-deb --root-owner-group -b "$work/previous" "$repo/parlanta_previous.deb" >/dev/null
(cd "$repo" && dpkg-scanpackages --multiversion . >Packages 2>/dev/null)

status=0
rm -f "$logs/piuparts.log"  # piuparts adds to the file it is given
piuparts --basetgz="$tarball" --distribution="$suite" --mirror="$(mirror | head -n 1) main" --no-eatmydata \
    --extra-repo="deb [trusted=yes] file://$repo ./" --bindmount="$repo" \
    --log-file="$logs/piuparts.log" "$deb" >/dev/null 2>&1 || status=$?
grep -oE '(PASS|FAIL): .*' "$logs/piuparts.log" | sed 's/^/    piuparts: /' || true
if [ "$status" -ne 0 ]; then
    tail -n 40 "$logs/piuparts.log"
    echo "FAIL: piuparts" >&2
    exit 1
fi
grep -q 'PASS: Installation, upgrade and purging tests' "$logs/piuparts.log" ||
    { echo "FAIL: piuparts made no upgrade test" >&2; exit 1; }
echo "PASS: piuparts: install, purge, and upgrade from $version~previous"

status=0
autopkgtest --output-dir="$work/autopkgtest" --summary-file="$work/autopkgtest.summary" "$deb" "$tree" -- chroot "$root" >"$logs/autopkgtest.log" 2>&1 || status=$?
# The summary file holds one line per test, nothing else.
sed 's/^/    autopkgtest: /' "$work/autopkgtest.summary" 2>/dev/null || true
if [ "$status" -ne 0 ]; then
    tail -n 40 "$logs/autopkgtest.log"
    echo "FAIL: autopkgtest (exit status $status)" >&2
    exit 1
fi
echo "PASS: autopkgtest"
