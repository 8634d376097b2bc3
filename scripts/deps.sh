#!/usr/bin/env bash
# Installs the Debian packages Parlanta needs, those that are missing only.
#   deps.sh run    what building and running the program needs
#   deps.sh test   that, and what the tests, benchmarks and fuzz targets need
set -euo pipefail

run_packages=(cmake ninja-build g++ qt6-base-dev fonts-dejavu-core)
test_packages=(libbenchmark-dev clang libclang-rt-14-dev strace util-linux xvfb xauth)

wanted=("${run_packages[@]}")
if [ "${1:-run}" = test ]; then
    wanted+=("${test_packages[@]}")
fi

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
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
