# Sourced by the scripts that work in a clean Debian 12 root (deb-check.sh,
# deb-build.sh): the root is made once with debootstrap, from the mirror this
# machine's apt uses, and kept as a tarball in ~/.cache/parlanta with the
# packages apt fetched for it; each run unpacks a fresh copy into a folder
# of its own and throws it away after. Needs root; uses sudo.
cache=${PARLANTA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parlanta}
if [ "$(id -u)" -ne 0 ]; then
    exec sudo PARLANTA_CACHE="$cache" DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-}" \
        PARLANTA_ROOT_ARCH="${PARLANTA_ROOT_ARCH:-}" "$0" "$@"
fi
suite=bookworm
# PARLANTA_ROOT_ARCH names another architecture's root (its programs run
# under qemu), kept apart from this machine's.
root_arch=${PARLANTA_ROOT_ARCH:-$(dpkg --print-architecture)}
key=debian12
[ "$root_arch" = "$(dpkg --print-architecture)" ] || key="debian12-$root_arch"
tarball="$cache/$key-root.tar.gz"
apt_cache="$cache/$key-apt"
mkdir -p "$cache" "$apt_cache"

# The first "deb" source for the suite in this machine's apt configuration,
# one-line or deb822 style.
mirror() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" '$1 == "deb" { i = 2; if ($i ~ /^\[/) while ($i !~ /\]$/) i++; if ($i ~ /^\[/ || $i ~ /\]$/) i++;
                               if ($(i + 1) == suite) { print $i; exit } }' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" 'BEGIN { RS = ""; FS = "\n" }
            { types = uris = suites = ""; enabled = "yes"
              for (n = 1; n <= NF; n++) {
                  split($n, kv, ":[ \t]*"); key = tolower(kv[1]); value = substr($n, length(kv[1]) + 2); gsub(/^[ \t]+/, "", value)
                  if (key == "types") types = value; else if (key == "uris") uris = value
                  else if (key == "suites") suites = value; else if (key == "enabled") enabled = value }
              if (enabled != "no" && (" " types " ") ~ / deb / && (" " suites " ") ~ (" " suite " ")) { split(uris, u, " "); print u[1]; exit } }' "$file"
    done
}

# One maker of the root at a time; a second script waits and uses it.
exec 9>"$tarball.lock"
flock 9
if [ ! -f "$tarball" ]; then
    from=$(mirror | head -n 1)
    [ -n "$from" ] || { echo "FAIL: no apt source for $suite found in /etc/apt" >&2; exit 1; }
    echo "Making a clean Debian 12 $root_arch root from $from (once; kept in $tarball)"
    fresh=$(mktemp -d /var/tmp/parlanta-debootstrap.XXXXXX)
    if ! nice debootstrap --arch="$root_arch" --variant=minbase "$suite" "$fresh/root" "$from" >"$fresh/debootstrap.log" 2>&1; then
        tail -n 20 "$fresh/debootstrap.log"
        echo "FAIL: debootstrap (log: $fresh/debootstrap.log)" >&2
        exit 1
    fi
    tar -C "$fresh/root" -czf "$tarball.part" . && mv "$tarball.part" "$tarball"
    rm -rf --one-file-system "$fresh"
fi
flock -u 9
exec 9>&-

work=$(mktemp -d /var/tmp/parlanta-check.XXXXXX)
root="$work/root"
mounts=(proc dev dev/pts dev/shm)
pids=()

cleanup() {
    local pid i
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null || true
    done
    # Anything a test left running in the root would keep its mounts busy.
    for i in $(seq "${#mounts[@]}" -1 1); do
        mountpoint -q "$root/${mounts[i - 1]}" && umount "$root/${mounts[i - 1]}" 2>/dev/null || true
    done
    for i in "${mounts[@]}"; do
        if mountpoint -q "$root/$i"; then
            echo "left mounted: $root/$i; not removing $work" >&2
            return
        fi
    done
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir "$root"
tar -C "$root" -xzf "$tarball"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
find "$apt_cache" -name '*.deb' -exec cp -t "$root/var/cache/apt/archives/" {} +

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
# apt as a user runs it; the lists in the tarball are refreshed only when a
# package they name has gone from the mirror.
apt_get() {
    in_root timeout 600 apt-get -q -y -o Dpkg::Use-Pty=0 "$@" >>"$work/apt.log" 2>&1 && return 0
    in_root timeout 300 apt-get -q -o Dpkg::Use-Pty=0 update >>"$work/apt.log" 2>&1 &&
        in_root timeout 600 apt-get -q -y -o Dpkg::Use-Pty=0 "$@" >>"$work/apt.log" 2>&1
}
keep_downloads() { find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -n -t "$apt_cache/" {} +; }
