#!/usr/bin/env bash
# Redraws the menu icon at the sizes desktops look for in the hicolor theme,
# from the 64 x 64 picture the portable archive ships (packaging/parlanta.png).
# Smaller sizes are scaled down smoothly; 128 doubles each pixel, so the
# 16-colour picture stays sharp instead of blurred.
#
# Maintainer tool only; the package uses the checked-in files. Needs
# ImageMagick 6 (Debian package imagemagick).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_png="$here/../parlanta.png"
convert=/usr/bin/convert-im6.q16
[ -x "$convert" ] || { echo "ImageMagick 6 not found (apt-get install imagemagick)" >&2; exit 1; }

for size in 16 22 24 32 48; do
    mkdir -p "$here/icons/${size}x${size}"
    "$convert" "$source_png" -filter Catrom -resize "${size}x${size}" -strip \
        PNG32:"$here/icons/${size}x${size}/parlanta.png"
done
mkdir -p "$here/icons/128x128"
"$convert" "$source_png" -filter Point -resize 128x128 -strip PNG32:"$here/icons/128x128/parlanta.png"
