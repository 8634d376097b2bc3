#!/usr/bin/env bash
# Builds the Qt libraries and plugins the Windows build of Parlanta needs, from
# Debian's own qt6-base source, cross-compiled with MinGW-w64, into a cache
# folder outside the work tree. A folder whose Qt version, source, options and
# compiler match is reused as it is. Prints the folder's path last.
#
#   windows-qt.sh            build when needed, print the Qt prefix
#   PARLANTA_CACHE=DIR       cache root (default: ~/.cache/parlanta)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${PARLANTA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parlanta}

qt_version=6.4.2
debian_version=6.4.2+dfsg-10
# The Debian source package, pinned: the upstream tarball and Debian's changes.
declare -A source_sha256=(
    [qt6-base_6.4.2+dfsg.orig.tar.xz]=4f14b89a9463a540fd84a6718b8519a2297119b454ef547721015a9e9019ae9e
    [qt6-base_6.4.2+dfsg-10.debian.tar.xz]=d1a2621b1acb1606db7274ccdb96654564cea04af836c5b86da94e150714d16c
)
toolchain="$root/packaging/windows/mingw-w64-x86_64.cmake"

# The options, one a line, shared with the license note of the packages.
mapfile -t qt_options < <(grep -v -e '^#' -e '^[[:space:]]*$' "$root/packaging/windows/qt-options.txt")
[ ${#qt_options[@]} -gt 0 ] || { echo "windows-qt: no options in packaging/windows/qt-options.txt" >&2; exit 1; }

compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n 1)
key=$( { echo "$qt_version $debian_version"; printf '%s\n' "${source_sha256[@]}" | sort;
         printf '%s\n' "${qt_options[@]}"; cat "$toolchain"; echo "$compiler"; } |
       sha256sum | cut -c1-12)
prefix="$cache/qt-$qt_version-mingw64-$key"
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log() { echo "windows-qt: $*" >&2; }
mkdir -p "$cache/source"
cd "$cache/source"

# apt-get source needs a deb-src entry for the archive the machine already uses.
if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q "^Version: $debian_version\$"; then
    log "adding deb-src entries for Debian's archive"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -e "$file" ] || continue
        case "$file" in *parlanta-deb-src*) continue ;; esac
        grep -q '^Types:.*\bdeb\b' "$file" || continue
        sed 's/^Types:.*/Types: deb-src/' "$file"
        echo
    done | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/parlanta-deb-src.sources >/dev/null
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list |
            "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/parlanta-deb-src.list >/dev/null
    fi
    "${sudo_cmd[@]}" apt-get update -q >&2
fi

for file in "${!source_sha256[@]}"; do
    if ! echo "${source_sha256[$file]}  $file" | sha256sum -c --quiet >/dev/null 2>&1; then
        log "fetching Debian's source package qt6-base $debian_version"
        apt-get source --download-only "qt6-base=$debian_version" >&2
        break
    fi
done
for file in "${!source_sha256[@]}"; do
    echo "${source_sha256[$file]}  $file" | sha256sum -c --quiet
done

src="$cache/source/qt6-base-$debian_version"
if [ ! -f "$src/.unpacked" ]; then
    rm -rf "$src"
    dpkg-source --no-check -x "qt6-base_$debian_version.dsc" "$src" >&2
    touch "$src/.unpacked"
fi

build="$cache/build-qt-$key"
log "building Qt $qt_version for Windows (the first time takes a while) in $build"
rm -rf "$prefix"
cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${qt_options[@]}" >"$cache/configure-qt-$key.log" 2>&1 ||
    { tail -n 40 "$cache/configure-qt-$key.log" >&2; exit 1; }
cmake --build "$build" >"$cache/build-qt-$key.log" 2>&1 ||
    { tail -n 40 "$cache/build-qt-$key.log" >&2; exit 1; }
cmake --install "$build" >/dev/null
touch "$prefix/.complete"
rm -rf "$build"
echo "$prefix"
