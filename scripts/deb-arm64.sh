#!/usr/bin/env bash
# The arm64 package: cross-built from the source package (deb.sh --source)
# in a fresh copy of the clean Debian 12 root with Debian's multiarch, its
# tests run under qemu's user-mode emulator, then installed with apt into an
# arm64 Debian 12 root (cached like the amd64 one), where the autopkgtest of
# debian/tests runs the installed program, emulated, as an ordinary user.
# Only the aarch64 handler is registered with the kernel; nothing else of
# binfmt_misc is changed.
#
# Usage: deb-arm64.sh   (needs root; uses sudo)
#   build-deb/arm64/ gets the .debs, build.log, tests.log and autopkgtest.log
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
out="$top/build-deb/arm64"
if [ "$(id -u)" -ne 0 ]; then
    exec sudo PARLANTA_CACHE="${PARLANTA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parlanta}" "$0" "$@"
fi

failed() {
    [ -s "${work:-/nonexistent}/apt.log" ] && tail -n 20 "$work/apt.log"
    echo "FAIL: $*" >&2
    exit 1
}

# bookworm's emulator (qemu 7.2) refuses clone(CLONE_PIDFD), which Qt 6's
# QProcess uses to start every child process: under it the writer's tests
# cannot start their children. The emulator of bookworm-backports has it; it
# is fetched once into the cache (one static program), not installed.
qemu_version=1:10.0.2+ds-2+deb13u1~bpo12+1
qemu_dir="${PARLANTA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parlanta}/qemu-user-${qemu_version#1:}"
fetch_qemu() {
    [ -x "$qemu_dir/usr/bin/qemu-aarch64" ] && return 0
    local apt_dir
    apt_dir=$(mktemp -d)
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    echo "deb http://deb.debian.org/debian bookworm-backports main" >"$apt_dir/sources.list"
    local options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
                   -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User=root)
    (cd "$apt_dir" && apt-get "${options[@]}" -q update >/dev/null && apt-get "${options[@]}" -q download "qemu-user=$qemu_version" >/dev/null) ||
        failed "fetching qemu-user $qemu_version from bookworm-backports"
    mkdir -p "$qemu_dir.part"
    dpkg-deb -x "$apt_dir"/qemu-user_*.deb "$qemu_dir.part"
    find "$qemu_dir.part" -name '*aarch64_be*' -delete
    find "$qemu_dir.part/usr/bin" -type f ! -name qemu-aarch64 -delete
    find "$qemu_dir.part" -xtype l -delete
    rm -rf "$qemu_dir.part/usr/share" "$apt_dir"
    mv "$qemu_dir.part" "$qemu_dir"
}

# arm64 programs run here, also in a chroot without qemu in it: the F flag
# makes the kernel open the emulator once, when the handler is registered.
register_aarch64() {
    local misc=/proc/sys/fs/binfmt_misc interpreter="$qemu_dir/usr/libexec/qemu-binfmt/aarch64-binfmt-P"
    mountpoint -q "$misc" || mount -t binfmt_misc binfmt_misc "$misc" || failed "mounting binfmt_misc"
    if [ -f "$misc/qemu-aarch64" ]; then
        grep -qx enabled "$misc/qemu-aarch64" && grep -qx "interpreter $interpreter" "$misc/qemu-aarch64" &&
            grep -qx 'flags: .*F.*' "$misc/qemu-aarch64" && return 0
        echo -1 >"$misc/qemu-aarch64"
    fi
    # qemu-user-static's own line, with this emulator.
    grep -v '^#' /usr/lib/binfmt.d/qemu-aarch64.conf | awk -F : -v OFS=: -v to="$interpreter" '{ $7 = to; print }' >"$misc/register" ||
        failed "registering qemu-aarch64"
}

# The source package's files, as the .dsc lists them, into the root's FOLDER.
copy_source() {
    local file
    mkdir -p "$root$2"
    cp "$1" "$root$2/"
    for file in $(awk '/^Files:/ { on = 1; next } /^[^ ]/ { on = 0 } on { print $3 }' "$1"); do
        cp "$(dirname "$1")/$file" "$root$2/"
    done
}

case "${1:-}" in
--build)
    # The cross build, in a copy of the amd64 root. The arm64 packages it
    # downloads are kept apart from the amd64 root's.
    dsc=$2
    . "$here/clean-root.sh"
    cross_cache="$cache/debian12-cross-arm64-apt"
    mkdir -p "$cross_cache"
    find "$cross_cache" -name '*.deb' -exec cp -t "$root/var/cache/apt/archives/" {} +
    place=/build/other-place
    copy_source "$dsc" "$place"
    in_root dpkg --add-architecture arm64
    in_root timeout 300 apt-get -q -o Dpkg::Use-Pty=0 update >>"$work/apt.log" 2>&1 || failed "apt-get update with arm64"
    apt_get install --no-install-recommends build-essential crossbuild-essential-arm64 ||
        failed "apt installs crossbuild-essential-arm64"
    apt_get build-dep --no-install-recommends -a arm64 "$place/$(basename "$dsc")" ||
        failed "apt installs the arm64 Build-Depends of $(basename "$dsc")"
    for deb in "$root"/var/cache/apt/archives/*.deb; do
        [ -f "$apt_cache/$(basename "$deb")" ] || cp -n "$deb" "$cross_cache/"
    done
    in_root useradd --create-home --uid 2000 --user-group builder
    chown -R 2000:2000 "$root/build"
    # dh runs the tests of a cross build unless told nocheck; with the
    # handler registered they run (emulated) as they are, and
    # crossbuildcanrunhostbinaries says so, silencing dh's warning.
    status=0
    chroot --userspec=2000:2000 "$root" env -i PATH=/usr/bin:/bin HOME=/home/builder LANG=C.UTF-8 \
        DEB_BUILD_OPTIONS="parallel=2 crossbuildcanrunhostbinaries ${DEB_BUILD_OPTIONS:-}" \
        sh -c 'cd "$1" && dpkg-source -x "$2" tree && cd tree && dpkg-buildpackage -a arm64 -B -us -uc' \
        build "$place" "$(basename "$dsc")" >"$out/build.log" 2>&1 || status=$?
    # Every test's own output, from the package build's run of them.
    find "$root$place/tree" -path '*/Testing/Temporary/LastTest.log' -exec cp {} "$out/tests.log" \;
    [ "$status" -eq 0 ] || { tail -n 60 "$out/build.log"; failed "the arm64 package build (log: $out/build.log)"; }
    cp "$root$place"/*.deb "$out/"
    ;;
--install)
    # The arm64 root: the package installed with apt, and the autopkgtest.
    deb=$2 tree=$3
    PARLANTA_ROOT_ARCH=arm64
    . "$here/clean-root.sh"
    status=0
    autopkgtest --output-dir="$work/autopkgtest" --summary-file="$work/autopkgtest.summary" "$deb" "$tree" -- chroot "$root" >"$out/autopkgtest.log" 2>&1 || status=$?
    keep_downloads
    # The summary file holds one line per test, nothing else.
    sed 's/^/    autopkgtest: /' "$work/autopkgtest.summary" 2>/dev/null || true
    [ "$status" -eq 0 ] || { tail -n 40 "$out/autopkgtest.log"; failed "autopkgtest in the arm64 root (exit status $status)"; }
    ;;
*)
    "$here/deps.sh" arm64
    fetch_qemu
    register_aarch64
    PARLANTA_DEB_OUT="$top/build-deb/arm64-source" "$here/deb.sh" --source
    version=$(dpkg-parsechangelog -l "$top/debian/changelog" -S Version)
    rm -rf "$out"
    mkdir -p "$out"
    start=$SECONDS
    "$0" --build "$top/build-deb/arm64-source/source/parlanta_$version.dsc"
    deb="$out/parlanta_${version}_arm64.deb"
    [ "$(dpkg-deb -f "$deb" Architecture)" = arm64 ] || failed "$deb is not an arm64 package"
    grep -qE '^100% tests passed, 0 tests failed out of [1-9]' "$out/build.log" || failed "the arm64 build ran no tests"
    echo "PASS: cross-built $(basename "$deb") with its tests run under qemu ($((SECONDS - start)) s)"
    start=$SECONDS
    "$0" --install "$deb" "$top/build-deb/arm64-source/source/parlanta-${version%-*}"
    echo "PASS: installed in an arm64 root, the program found Friday and added a word ($((SECONDS - start)) s)"
    ;;
esac
