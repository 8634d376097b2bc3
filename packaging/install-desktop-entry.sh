#!/usr/bin/env bash
# Adds Parlanta, as unpacked here, to the desktop's menu for this user.
# Run it again after moving the unpacked folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program="$(dirname "$here")/parlanta"
[ -x "$program" ] || { echo "parlanta not found beside $here" >&2; exit 1; }

data="${XDG_DATA_HOME:-$HOME/.local/share}"
mkdir -p "$data/applications" "$data/icons/hicolor/64x64/apps"
cp "$here/parlanta.png" "$data/icons/hicolor/64x64/apps/parlanta.png"
sed "s|^Exec=.*|Exec=\"$program\"|" "$here/parlanta.desktop" > "$data/applications/parlanta.desktop"
echo "Added Parlanta to the menu ($data/applications/parlanta.desktop)"
