#!/usr/bin/env bash
# Rebuilds data/dicy.ini, the starter word list, and data/LICENSE-CLDR.txt
# from the pinned CLDR packages on the npm registry. A maintainer's tool:
# needs Node.js and npm (Debian: nodejs, npm) and the registry; building and
# running Parlanta need neither. Running it twice writes the same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=48.2.0
# The tarballs' SHA-256, so the list is rebuilt from exactly these bytes.
declare -A sha256=(
    [cldr-localenames-full]=7f2ac7fd3b5d90f56ad127f9ed5ae67b58b3e556818f55530b9f47bb81bcde57
    [cldr-dates-full]=0256f1cefeca14f7d515be4872dda48fcdd7e75381430f25aafd0143eae5b430
    [cldr-numbers-full]=2d17a1453c559a62112caeed52e0bcfe3cb8539c99d239ae7b7ed4d0827679d9
)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for package in cldr-localenames-full cldr-dates-full cldr-numbers-full; do
    tarball="$work/$package-$version.tgz"
    (cd "$work" && npm pack --silent "$package@$version" >/dev/null)
    echo "${sha256[$package]}  $tarball" | sha256sum --check --quiet
    mkdir "$work/$package"
    tar xzf "$tarball" -C "$work/$package" --wildcards \
        package/LICENSE package/package.json 'package/main/en/*' 'package/main/bal-Latn/*'
done
node "$root/tools/wordlist/build_word_list.mjs" "$work" "$root" "$@"
