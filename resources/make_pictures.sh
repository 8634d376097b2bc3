#!/usr/bin/env bash
# Regenerates every picture in this folder: the window and button icons (.ico),
# the small 16-colour button bitmaps (.bmp) and the banner of the main window,
# and in hidpi/ the same pictures drawn at twice and three times their size for
# dense screens: hidpi/NAME.ico holds an icon's 48, 64 and 96 pixel images (48
# only where the icon has a 16 pixel one), hidpi/NAME-2x.bmp and NAME-3x.bmp a
# bitmap's. The 1x files are drawn exactly as before, byte for byte.
#
# Maintainer tool only; the build uses the checked-in files and never runs it.
# Needs ImageMagick 6 ("convert"), the Tango icon theme (public domain, Debian
# package tango-icon-theme) with librsvg2-bin ("rsvg-convert") for its
# scalable originals, and the DejaVu fonts (fonts-dejavu-core).
#
# Usage: resources/make_pictures.sh        (writes into the folder of this script)
set -euo pipefail

out=$(cd "$(dirname "$0")" && pwd)
TANGO=${TANGO:-/usr/share/icons/Tango}
FONTS=${FONTS:-/usr/share/fonts/truetype/dejavu}
SANS_BOLD="$FONTS/DejaVuSans-Bold.ttf"
SERIF_BOLD="$FONTS/DejaVuSerif-Bold.ttf"

for need in "$TANGO/32x32/actions/go-home.png" "$SANS_BOLD" "$SERIF_BOLD"; do
    [[ -e $need ]] || { echo "missing: $need" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "ImageMagick 'convert' not found" >&2; exit 1; }
command -v rsvg-convert >/dev/null || { echo "'rsvg-convert' (librsvg2-bin) not found" >&2; exit 1; }
mkdir -p "$out/hidpi"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Tango picture by size and name, e.g. tango 32 actions/go-home
tango() { echo "$TANGO/${1}x${1}/$2.png"; }

# Tango's scalable original drawn at SIZE x SIZE, e.g. svg 64 actions/go-home
svg() {
    local png="$work/svg-${2//\//-}-$1.png"
    [[ -e $png ]] || rsvg-convert -w "$1" -h "$1" -o "$png" "$TANGO/scalable/$2.svg"
    echo "$png"
}

# Reduce a picture to SIZE x SIZE with a hard (on/off) transparency and at most
# 16 colours, the transparent colour included.   q16 IN SIZE OUT
q16() {
    convert "$1" -background none -filter Catrom -resize "${2}x${2}!" \
        -channel A -threshold 50% +channel \
        -background black -alpha background \
        +dither -colors 16 \
        -channel A -threshold 50% +channel \
        PNG32:"$3"
}

# Icon file with a 32x32 picture and, when a second source is given, a 16x16 one.
#   icon NAME SRC32 [SRC16]
icon() {
    local name=$1 src32=$2 src16=${3:-}
    q16 "$src32" 32 "$work/$name-32.png"
    if [[ -n $src16 ]]; then
        q16 "$src16" 16 "$work/$name-16.png"
        convert "$work/$name-32.png" "$work/$name-16.png" "ICO:$out/$name.ico"
    else
        convert "$work/$name-32.png" "ICO:$out/$name.ico"
    fi
}

# The larger images of an icon for dense screens, each reduced as q16 does.
#   hidpi_icon NAME SRC64 SRC96 [SRC48]
hidpi_icon() {
    local name=$1 images=()
    q16 "$3" 96 "$work/$name-96.png" && images+=("$work/$name-96.png")
    q16 "$2" 64 "$work/$name-64.png" && images+=("$work/$name-64.png")
    if [[ -n ${4:-} ]]; then
        q16 "$4" 48 "$work/$name-48.png" && images+=("$work/$name-48.png")
    fi
    convert "${images[@]}" "ICO:$out/hidpi/$name.ico"
}

# 16x16 bitmap with 16 colours on the light-grey mask colour RGB(192,192,192).
# The picture itself keeps 15 colours and never uses the exact mask colour.
#   bmp16 NAME SRC [SIZE [FILE]]   (a larger SIZE draws a dense screen's copy)
bmp16() {
    local name=$1 src=$2 size=${3:-16} file=${4:-$out/$1.bmp}
    convert "$src" -background none -filter Catrom -resize "${size}x${size}!" \
        -channel A -threshold 50% +channel \
        -background black -alpha background \
        +dither -colors 16 \
        -channel A -threshold 50% +channel \
        -fill 'rgb(193,193,193)' -opaque 'rgb(192,192,192)' \
        -background 'rgb(192,192,192)' -flatten -alpha off \
        +dither -colors 16 -type Palette "BMP3:$file"
}

# A bitmap's copies at 2x and 3x.   hidpi_bmp NAME SRC32 SRC48
hidpi_bmp() {
    bmp16 "$1" "$2" 32 "$out/hidpi/$1-2x.bmp"
    bmp16 "$1" "$3" 48 "$out/hidpi/$1-3x.bmp"
}

# Draw on a transparent 128x128 canvas (4x the largest icon size); the master is
# then scaled down, which gives clean edges after quantising.   draw OUT MVG...
draw() {
    local dst=$1; shift
    convert -size 128x128 xc:none -strokewidth 1 "$@" PNG32:"$dst"
}

# ---------------------------------------------------------------------------
# Drawn pictures
# ---------------------------------------------------------------------------

# Open book with a blue cover and two written pages.
draw "$work/book.png" \
    -fill '#204a87' -stroke '#102a57' -strokewidth 4 \
    -draw "path 'M 64,54 C 44,44 22,42 4,46 L 4,110 C 24,106 46,108 64,120 C 82,108 104,106 124,110 L 124,46 C 106,42 84,44 64,54 Z'" \
    -fill '#fdfdf6' -stroke '#555753' -strokewidth 3 \
    -draw "path 'M 64,46 C 48,32 28,28 10,32 L 10,100 C 28,96 48,100 64,112 Z'" \
    -draw "path 'M 64,46 C 80,32 100,28 118,32 L 118,100 C 100,96 80,100 64,112 Z'" \
    -fill none -stroke '#3465a4' -strokewidth 4 \
    -draw "path 'M 18,46 C 32,43 44,45 56,52'" \
    -draw "path 'M 18,60 C 32,57 44,59 56,66'" \
    -draw "path 'M 18,74 C 32,71 44,73 56,80'" \
    -draw "path 'M 18,88 C 32,85 44,87 56,94'" \
    -draw "path 'M 72,52 C 84,45 96,43 110,46'" \
    -draw "path 'M 72,66 C 84,59 96,57 110,60'" \
    -draw "path 'M 72,80 C 84,73 96,71 110,74'" \
    -draw "path 'M 72,94 C 84,87 96,85 110,88'" \
    -stroke '#555753' -strokewidth 4 -draw "line 64,48 64,112"

# The same book for the 16x16 size: fewer, thicker lines of text.
draw "$work/book16.png" \
    -fill '#204a87' -stroke '#102a57' -strokewidth 6 \
    -draw "path 'M 64,54 C 44,44 22,42 4,46 L 4,114 C 24,110 46,112 64,122 C 82,112 104,110 124,114 L 124,46 C 106,42 84,44 64,54 Z'" \
    -fill '#fdfdf6' -stroke '#555753' -strokewidth 6 \
    -draw "path 'M 64,40 C 48,26 28,22 8,26 L 8,102 C 28,98 48,102 64,114 Z'" \
    -draw "path 'M 64,40 C 80,26 100,22 120,26 L 120,102 C 100,98 80,102 64,114 Z'" \
    -fill none -stroke '#3465a4' -strokewidth 9 \
    -draw "line 20,48 52,56" -draw "line 20,76 52,84" \
    -draw "line 76,56 108,48" -draw "line 76,84 108,76"

# Information sign: white "i" on a blue disc.
draw "$work/about.png" \
    -fill '#3465a4' -stroke '#204a87' -strokewidth 6 -draw "circle 64,64 64,6" \
    -fill white -stroke none \
    -draw "circle 64,34 64,22" \
    -draw "roundrectangle 54,52 74,106 6,6"

# Green tick: the word was found.
draw "$work/tick.png" \
    -fill none -stroke '#2f6a02' -strokewidth 30 \
    -draw "stroke-linecap round stroke-linejoin round polyline 20,68 50,100 108,26" \
    -stroke '#73d216' -strokewidth 18 \
    -draw "stroke-linecap round stroke-linejoin round polyline 20,68 50,100 108,26"

# Red cross: the word was not found.
draw "$work/cross.png" \
    -fill none -stroke '#a40000' -strokewidth 32 \
    -draw "stroke-linecap round line 26,26 102,102 line 102,26 26,102" \
    -stroke '#ef2929' -strokewidth 20 \
    -draw "stroke-linecap round line 26,26 102,102 line 102,26 26,102"

# Walking figure, white on black; the small size gets thicker limbs.
#   make_walk OUT LIMB-WIDTH HEAD-RADIUS
make_walk() {
    draw "$1" \
        -fill black -stroke none -draw "roundrectangle 0,0 127,127 18,18" \
        -fill white -draw "circle 72,22 72,$((22 - $3))" \
        -fill none -stroke white -strokewidth "$2" \
        -draw "stroke-linecap round stroke-linejoin round
               line 68,42 58,76
               polyline 66,46 46,60 38,76
               polyline 66,46 82,62 98,62
               polyline 58,76 76,94 82,118
               polyline 58,76 46,98 28,112"
}
make_walk "$work/walk32.png" 14 13
make_walk "$work/walk16.png" 20 16

# Alarm clock: red body, two bells, white face with hands.
draw "$work/clock.png" \
    -fill none -stroke '#2e3436' -strokewidth 8 \
    -draw "stroke-linecap round line 38,104 22,122 line 90,104 106,122
           line 48,14 80,14 line 64,14 64,24" \
    -fill '#edd400' -stroke '#8f5902' -strokewidth 4 \
    -draw "circle 26,28 26,10" -draw "circle 102,28 102,10" \
    -fill '#cc0000' -stroke '#a40000' -strokewidth 5 \
    -draw "circle 64,72 64,24" \
    -fill white -stroke '#888a85' -strokewidth 3 \
    -draw "circle 64,72 64,35" \
    -fill none -stroke '#2e3436' -strokewidth 5 \
    -draw "line 64,39 64,47" -draw "line 64,97 64,105" \
    -draw "line 31,72 39,72" -draw "line 89,72 97,72" \
    -strokewidth 7 -draw "line 64,72 64,46" -draw "line 64,72 84,82" \
    -fill '#2e3436' -stroke none -draw "circle 64,72 64,66"

# Front view of a red car.
draw "$work/car.png" \
    -fill '#2e3436' -stroke none \
    -draw "roundrectangle 12,92 38,122 5,5" -draw "roundrectangle 90,92 116,122 5,5" \
    -fill '#cc0000' -stroke '#7a0000' -strokewidth 4 \
    -draw "polygon 30,22 98,22 114,60 14,60" \
    -draw "roundrectangle 4,56 124,102 14,14" \
    -draw "roundrectangle 0,52 14,62 3,3" -draw "roundrectangle 114,52 127,62 3,3" \
    -fill '#b4d4f4' -stroke '#3465a4' -strokewidth 3 \
    -draw "polygon 35,28 93,28 105,56 23,56" \
    -fill '#fce94f' -stroke '#c4a000' -strokewidth 3 \
    -draw "circle 24,74 24,64" -draw "circle 104,74 104,64" \
    -fill '#555753' -stroke '#2e3436' -strokewidth 3 \
    -draw "roundrectangle 42,66 86,84 4,4" \
    -stroke '#babdb6' -strokewidth 3 \
    -draw "line 46,72 82,72" -draw "line 46,78 82,78" \
    -fill '#d3d7cf' -stroke '#555753' -strokewidth 3 \
    -draw "roundrectangle 2,90 126,102 5,5"

# Drawing instruments: a set square, a ruler and a pencil.
draw "$work/instruments.png" \
    -fill '#9ec5f0' -stroke '#204a87' -strokewidth 4 \
    -draw "fill-rule evenodd path 'M 8,88 L 8,8 L 88,88 Z M 22,76 L 22,40 L 58,76 Z'" \
    -fill '#fce94f' -stroke '#8f5902' -strokewidth 3 \
    -draw "rectangle 4,94 124,122" \
    -stroke '#8f5902' -strokewidth 3 \
    -draw "line 14,95 14,110" -draw "line 26,95 26,103" -draw "line 38,95 38,110" \
    -draw "line 50,95 50,103" -draw "line 62,95 62,110" -draw "line 74,95 74,103" \
    -draw "line 86,95 86,110" -draw "line 98,95 98,103" -draw "line 110,95 110,110" \
    -draw "push graphic-context translate 50,96 rotate -52
           fill '#e9b96e' stroke '#8f5902' stroke-width 3 polygon 0,0 22,-9 22,9
           fill '#2e3436' stroke none polygon 0,0 8,-3.3 8,3.3
           fill '#f57900' stroke '#ce5c00' stroke-width 3 rectangle 22,-9 96,9
           fill '#babdb6' stroke '#555753' rectangle 96,-9 106,9
           fill '#ef6f8f' stroke '#a4364f' roundrectangle 106,-9 118,9 3,3
           pop graphic-context"

# The digits 1 2 3 on a light tile, drawn at final size (32 pixels times
# SCALE) for crisp digits.   make_numbers OUT [SCALE]
make_numbers() {
    local k=${2:-1}
    local r=$((4 * k)) d=$((10 * k)) e
    e=$(awk -v k="$k" 'BEGIN { printf "%g,%g %g,%g", 0.5*k, 3.5*k, 32*k-0.5*k, 28.5*k }')
    convert -size $((32 * k))x$((32 * k)) xc:none \
        -fill '#eeeeec' -stroke '#888a85' -strokewidth "$k" \
        -draw "roundrectangle $e $r,$r" \
        -stroke none -font "$SANS_BOLD" -pointsize $((15 * k)) -gravity center \
        -fill '#cc0000' -annotate -$d+0 '1' \
        -fill '#4e9a06' -annotate +0+0 '2' \
        -fill '#204a87' -annotate +$d+0 '3' \
        PNG32:"$1"
}
make_numbers "$work/numbers.png"
make_numbers "$work/numbers64.png" 2
make_numbers "$work/numbers96.png" 3

# ---------------------------------------------------------------------------
# Pictures composed from Tango icons
# ---------------------------------------------------------------------------

# A new text document with a green plus: add a word.
convert "$(tango 32 mimetypes/text-x-generic)" \
    \( "$(tango 22 actions/list-add)" \) -gravity southeast -geometry +0+0 -composite \
    PNG32:"$work/add32.png"
convert "$(tango 16 mimetypes/text-x-generic)" \
    -fill '#4e9a06' -stroke none \
    -draw "rectangle 9,11 15,13" -draw "rectangle 11,9 13,15" \
    PNG32:"$work/add16.png"
# The same at the dense screens' sizes, from the scalable originals; the
# 48-pixel one is the 16-pixel drawing three times over.
for size in 64 96; do
    convert "$(svg $size mimetypes/text-x-generic)" \
        \( "$(svg $((size * 22 / 32)) actions/list-add)" \) -gravity southeast -geometry +0+0 -composite \
        PNG32:"$work/add$size.png"
done
convert "$(svg 48 mimetypes/text-x-generic)" \
    -fill '#4e9a06' -stroke none \
    -draw "rectangle 27,33 47,41" -draw "rectangle 33,27 41,47" \
    PNG32:"$work/add48.png"

# A globe behind a desktop computer.
convert -size 32x32 xc:none \
    \( "$(tango 32 categories/gnome-globe)" -resize 26x26 \) -geometry +6+0 -composite \
    "$(tango 22 devices/computer)" -geometry +0+10 -composite \
    PNG32:"$work/techwin.png"
for k in 2 3; do
    convert -size $((32 * k))x$((32 * k)) xc:none \
        "$(svg $((26 * k)) categories/gnome-globe)" -geometry +$((6 * k))+0 -composite \
        "$(svg $((22 * k)) devices/computer)" -geometry +0+$((10 * k)) -composite \
        PNG32:"$work/techwin$((32 * k)).png"
done

# ---------------------------------------------------------------------------
# Icon files
# ---------------------------------------------------------------------------

icon main           "$work/book.png"                          "$work/book16.png"
icon exit           "$(tango 32 actions/system-log-out)"
icon add            "$work/add32.png"                         "$work/add16.png"
icon numbers        "$work/numbers.png"
icon days           "$(tango 32 mimetypes/x-office-calendar)" "$(tango 16 mimetypes/x-office-calendar)"
icon language       "$(tango 32 apps/internet-group-chat)"    "$(tango 16 apps/internet-group-chat)"
icon home           "$(tango 32 actions/go-home)"
icon tech           "$(tango 32 devices/computer)"
icon list9          "$(tango 32 actions/edit-find)"
icon list10         "$(tango 32 apps/help-browser)"           "$(tango 16 apps/help-browser)"
icon list12         "$(tango 32 apps/accessories-text-editor)" "$(tango 16 apps/accessories-text-editor)"
icon about          "$work/about.png"                         "$work/about.png"
icon readme         "$(tango 32 mimetypes/text-x-generic)"    "$(tango 16 mimetypes/text-x-generic)"
icon found          "$work/tick.png"                          "$work/tick.png"
icon notfound       "$work/cross.png"
icon numbers_window "$work/instruments.png"
icon walk           "$work/walk32.png"                        "$work/walk16.png"
icon days_window    "$work/clock.png"                         "$work/clock.png"
icon car            "$work/car.png"                           "$work/car.png"
icon tech_window    "$work/techwin.png"

# The same icons for dense screens: 64 and 96 pixels from the 32-pixel
# picture's original, 48 from the 16-pixel one's where the icon has one.
hidpi_icon main           "$work/book.png"   "$work/book.png"   "$work/book16.png"
hidpi_icon exit           "$(svg 64 actions/system-log-out)" "$(svg 96 actions/system-log-out)"
hidpi_icon add            "$work/add64.png"  "$work/add96.png"  "$work/add48.png"
hidpi_icon numbers        "$work/numbers64.png" "$work/numbers96.png"
for pair in days:mimetypes/x-office-calendar language:apps/internet-group-chat list10:apps/help-browser \
            list12:apps/accessories-text-editor readme:mimetypes/text-x-generic; do
    hidpi_icon "${pair%%:*}" "$(svg 64 "${pair#*:}")" "$(svg 96 "${pair#*:}")" "$(svg 48 "${pair#*:}")"
done
for pair in home:actions/go-home tech:devices/computer list9:actions/edit-find; do
    hidpi_icon "${pair%%:*}" "$(svg 64 "${pair#*:}")" "$(svg 96 "${pair#*:}")"
done
hidpi_icon about          "$work/about.png"  "$work/about.png"  "$work/about.png"
hidpi_icon found          "$work/tick.png"   "$work/tick.png"   "$work/tick.png"
hidpi_icon notfound       "$work/cross.png"  "$work/cross.png"
hidpi_icon numbers_window "$work/instruments.png" "$work/instruments.png"
hidpi_icon walk           "$work/walk32.png" "$work/walk32.png" "$work/walk16.png"
hidpi_icon days_window    "$work/clock.png"  "$work/clock.png"  "$work/clock.png"
hidpi_icon car            "$work/car.png"    "$work/car.png"    "$work/car.png"
hidpi_icon tech_window    "$work/techwin64.png" "$work/techwin96.png"

# ---------------------------------------------------------------------------
# 16-colour bitmaps on the grey mask colour
# ---------------------------------------------------------------------------

# A short list of words: bullets and lines on a white card.
convert -size 16x16 xc:none +antialias \
    -fill white -stroke '#555753' -draw "rectangle 1,1 14,14" -stroke none \
    -fill '#204a87' -draw "rectangle 3,3 4,4" -draw "rectangle 3,7 4,8" -draw "rectangle 3,11 4,12" \
    -fill '#2e3436' -draw "rectangle 6,3 12,4" -draw "rectangle 6,7 11,8" -draw "rectangle 6,11 12,12" \
    PNG32:"$work/list.png"
bmp16 list6  "$work/list.png"
bmp16 search "$(tango 16 actions/system-search)"
bmp16 clear  "$(tango 16 actions/edit-clear)"
# The pixel drawing of the list stays a pixel drawing, each pixel 2 or 3 wide.
convert "$work/list.png" -filter point -resize 200% PNG32:"$work/list32.png"
convert "$work/list.png" -filter point -resize 300% PNG32:"$work/list48.png"
hidpi_bmp list6  "$work/list32.png" "$work/list48.png"
hidpi_bmp search "$(svg 32 actions/system-search)" "$(svg 48 actions/system-search)"
hidpi_bmp clear  "$(svg 32 actions/edit-clear)"    "$(svg 48 actions/edit-clear)"

# ---------------------------------------------------------------------------
# Banner: four Balouchi phrases in two rows, dark blue on white, 24-bit colour
# ---------------------------------------------------------------------------

# Drawn at SCALE times its size.   banner FILE [SCALE]
banner() {
    local k=${2:-1}
    local at
    at() { local out=() n; for n in "$@"; do out+=($((n * k))); done; printf '%s,%s ' "${out[@]}"; }
    convert -size $((355 * k))x$((81 * k)) xc:white \
        -fill none -stroke '#1f3a7a' -strokewidth $((2 * k)) -draw "rectangle $(at 2 2 352 78)" \
        -stroke '#9db4dc' -strokewidth "$k" -draw "rectangle $(at 6 6 348 74)" \
        -stroke none -fill '#1f3a7a' \
        -draw "polygon $(at 2 40 7 35 12 40 7 45)" -draw "polygon $(at 343 40 348 35 353 40 348 45)" \
        -font "$SERIF_BOLD" -pointsize $((20 * k)) -fill '#1f3a7a' -gravity north \
        -annotate +0+$((11 * k)) 'Shambeh  ·  Jumah' \
        -annotate +0+$((42 * k)) 'Gend Gosh  ·  Gal Tok' \
        -alpha off -type TrueColor "BMP3:$1"
}
banner "$out/banner.bmp"
banner "$out/hidpi/banner-2x.bmp" 2
banner "$out/hidpi/banner-3x.bmp" 3

echo "pictures written to $out"
