#!/usr/bin/env bash
# Installs the Debian packages Parlanta needs, those that are missing only.
#   deps.sh run    what building and running the program needs
#   deps.sh test   that, and what the tests, benchmarks and fuzz targets need
#   deps.sh windows  what the Windows build needs: the cross compiler, Qt's
#                    source and host tools, Wine for the tests, NSIS, and the
#                    virtual display and input tools the installer check
#                    drives the installed program with
#   deps.sh deb    what the Debian package needs: its build, lintian and the
#                  validators, faketime and diffoscope for the second build,
#                  debootstrap for the clean roots, piuparts and autopkgtest
#   deps.sh arm64  that, and qemu's user-mode emulator, which runs arm64
#                  programs here once its handler is registered
set -euo pipefail

run_packages=(cmake ninja-build g++ qt6-base-dev fonts-dejavu-core)
test_packages=(libbenchmark-dev clang libclang-rt-14-dev strace util-linux xvfb xauth ccache)
windows_packages=(cmake ninja-build qt6-base-dev g++-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev xz-utils
                  wine64 fonts-wine nsis unzip fonts-dejavu-core xvfb xauth xdotool xclip icoutils)
deb_packages=(cmake ninja-build g++ qt6-base-dev dpkg-dev debhelper fakeroot lintian faketime diffoscope-minimal
              desktop-file-utils appstream debootstrap util-linux piuparts autopkgtest)
arm64_packages=("${deb_packages[@]}" qemu-user-static)

case "${1:-run}" in
    test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
    windows) wanted=("${windows_packages[@]}") ;;
    deb) wanted=("${deb_packages[@]}") ;;
    arm64) wanted=("${arm64_packages[@]}") ;;
    *) wanted=("${run_packages[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# Another apt on this machine (an update, a second build) is waited for.
lock=(-o DPkg::Lock::Timeout=600)
"${sudo_cmd[@]}" apt-get "${lock[@]}" update -q
"${sudo_cmd[@]}" apt-get "${lock[@]}" install -y -q --no-install-recommends "${missing[@]}"
