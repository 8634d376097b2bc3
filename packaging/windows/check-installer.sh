#!/usr/bin/env bash
# Checks the Windows packages under Wine, without a display:
#
#   check-installer.sh INSTALLER ZIP
#
# The zip: the files a user needs and the license texts are there, and its DLLs
# are exactly the native DLLs parlanta.exe loads when it starts and draws its
# window. The installer: it installs silently for the current user into
# %LOCALAPPDATA%\Programs\Parlanta with a Start-menu entry and an Add/Remove
# Programs entry in HKCU, the installed program starts, a second install keeps
# a word added to dicy.ini and replaces the other files, and the uninstaller
# removes everything but dicy.ini. Exits non-zero at the first failure.
#
# A Wine prefix of its own in a temporary folder keeps it apart from any other
# Wine use; Wine's null graphics driver stands in for a display.
set -euo pipefail

if [ $# -ne 2 ] || [ ! -f "$1" ] || [ ! -f "$2" ]; then
    echo "usage: $0 INSTALLER ZIP" >&2
    exit 2
fi
installer=$(realpath "$1")
zip=$(realpath "$2")
wine=${PARLANTA_WINE:-/usr/lib/wine/wine64}
wineserver=${PARLANTA_WINESERVER:-$(dirname "$wine")/wineserver}

work=$(mktemp -d "${TMPDIR:-/tmp}/parlanta-check.XXXXXX")
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
# No .NET or browser engine: the prefix is made faster and nothing asks to
# download them. No menu builder: the Start-menu entry must not become a
# menu entry of this Linux machine's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY WINEPATH
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

step() { echo "check-installer: $*"; }
fail() {
    echo "check-installer: FAILED: $*" >&2
    exit 1
}
lower() { tr '[:upper:]' '[:lower:]'; }

# The files every copy of Parlanta holds, beside parlanta.exe.
required=(
    parlanta.exe dicy.ini Readme.txt LICENSE-CLDR.txt
    Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll
    platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll
    licenses/README.txt licenses/LGPL-3.0.txt licenses/GPL-3.0.txt licenses/Qt.txt
    licenses/Qt-third-party.txt licenses/GCC-runtime.txt licenses/winpthreads.txt
)
# file : a phrase it must hold
license_phrases=(
    "licenses/LGPL-3.0.txt:GNU LESSER GENERAL PUBLIC LICENSE"
    "licenses/GPL-3.0.txt:GNU GENERAL PUBLIC LICENSE"
    "licenses/Qt.txt:apt-get source qt6-base="
    "licenses/Qt.txt:-DFEATURE_"
    "licenses/Qt-third-party.txt:HarfBuzz"
    "licenses/Qt-third-party.txt:FreeType"
    "licenses/Qt-third-party.txt:PCRE2"
    "licenses/Qt-third-party.txt:zlib"
    "licenses/Qt-third-party.txt:libpng"
    "licenses/GCC-runtime.txt:GCC RUNTIME LIBRARY EXCEPTION"
    "licenses/winpthreads.txt:Lockless Inc."
    "LICENSE-CLDR.txt:Unicode"
)

# Runs parlanta.exe in folder $1 until it has drawn its main window (the
# pictures need the ico plugin, the last DLL it loads) and writes the native
# DLLs it loaded, as paths below $1 in lower case, to file $2.
run_program() {
    local dir=$1 out=$2 trace="$work/trace.txt" pid
    WINEDEBUG=+loaddll "$wine" "$dir/parlanta.exe" 2>"$trace" >/dev/null &
    pid=$!
    # Waits on the trace as it grows: ends at the ico plugin's line, or when
    # the program ends without one, or after 60 s.
    if ! timeout 60 grep -q -m1 -i 'imageformats\\\\qico\.dll.*: native' \
            <(tail -n +1 -f --pid="$pid" "$trace"); then
        "$wineserver" -k 2>/dev/null || true
        tail -n 20 "$trace" >&2
        fail "parlanta.exe in $dir did not draw its window"
    fi
    kill -0 "$pid" 2>/dev/null || fail "parlanta.exe in $dir ended right after starting"
    "$wineserver" -k 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    local prefix
    prefix=$(windows_path "$dir" | lower)
    grep -a -i '\.dll" at .*: native' "$trace" | sed -n 's/.*Loaded L"\(.*\)" at .*/\1/p' | sed 's/\\\\/\\/g' | lower |
        while IFS= read -r path; do
            case "$path" in
                "$prefix"\\*) echo "${path#"$prefix"\\}" | tr '\\' / ;;
                *) echo "outside:$path" ;;
            esac
        done | sort -u >"$out"
}

# Folder $1 below drive_c as Windows names it, C:\..., with no trailing \.
windows_path() { echo "c:${1#"$drive_c"}" | tr / '\\'; }

# The DLLs below folder $1, as relative paths in lower case.
dlls_in() { (cd "$1" && find . -type f -iname '*.dll' | sed 's|^\./||' | lower | sort); }

check_files() {
    local dir=$1 file entry
    for file in "${required[@]}"; do
        [ -f "$dir/$file" ] || fail "$file is missing from $dir"
    done
    for entry in "${license_phrases[@]}"; do
        grep -q -F -- "${entry#*:}" "$dir/${entry%%:*}" || fail "${entry%%:*} does not hold '${entry#*:}'"
    done
}

step "a Wine prefix of its own, with the null graphics driver"
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 ||
    fail "could not make a Wine prefix"
"$wineserver" -w   # the driver is chosen when Wine's desktop process starts
drive_c="$WINEPREFIX/drive_c"

# --- the zip ---------------------------------------------------------------
step "the zip: its files and license texts"
mkdir "$drive_c/portable"
# CMake, which made the zip, unpacks it too.
(cd "$drive_c/portable" && cmake -E tar xf "$zip")
portable="$drive_c/portable"
tops=("$portable"/*)
if [ ${#tops[@]} -eq 1 ] && [ -d "${tops[0]}" ]; then
    portable=${tops[0]}
fi
check_files "$portable"
if command -v x86_64-w64-mingw32-windres >/dev/null; then
    x86_64-w64-mingw32-windres -i "$portable/parlanta.exe" -O rc 2>/dev/null | grep -q 'RT_GROUP_ICON' ||
        fail "parlanta.exe carries no icon"
fi

step "the zip: parlanta.exe starts and loads exactly the DLLs shipped"
run_program "$portable" "$work/loaded.txt"
dlls_in "$portable" >"$work/shipped.txt"
if ! diff -u --label shipped "$work/shipped.txt" --label loaded "$work/loaded.txt" >&2; then
    fail "the DLLs in the zip differ from the native DLLs parlanta.exe loads"
fi

# --- the installer -----------------------------------------------------------
grep -a -q 'requestedExecutionLevel level="asInvoker"' "$installer" ||
    fail "the installer asks for administrator rights"

step "the installer: a silent install for the current user"
"$wine" "$installer" /S || fail "the installer failed"
"$wineserver" -w
users=("$drive_c"/users/*/AppData/Local/Programs/Parlanta)
[ ${#users[@]} -eq 1 ] && [ -d "${users[0]}" ] ||
    fail "nothing was installed into %LOCALAPPDATA%\\Programs\\Parlanta"
installed=${users[0]}
profile=${installed%/AppData/Local/Programs/Parlanta}
check_files "$installed"
[ -f "$installed/Uninstall.exe" ] || fail "no Uninstall.exe"
(cd "$portable" && find . -type f | sort) >"$work/zip-files.txt"
(cd "$installed" && find . -type f ! -name Uninstall.exe | sort) >"$work/installed-files.txt"
diff -u --label zip "$work/zip-files.txt" --label installed "$work/installed-files.txt" >&2 ||
    fail "the installer's files differ from the zip's"
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Parlanta.lnk"
[ -f "$shortcut" ] || fail "no Start-menu entry"
key='Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Parlanta]'
grep -q -F "[$key" "$WINEPREFIX/user.reg" || fail "no Add/Remove Programs entry under HKCU"
if grep -q -F "[$key" "$WINEPREFIX/system.reg"; then
    fail "an Add/Remove Programs entry under HKLM"
fi
grep -A12 -F "[$key" "$WINEPREFIX/user.reg" | grep -q '^"UninstallString"=.*Uninstall.exe' ||
    fail "the Add/Remove Programs entry has no UninstallString"

step "the installed program starts"
run_program "$installed" "$work/loaded-installed.txt"
grep -q '^outside:' "$work/loaded-installed.txt" && fail "the installed program loads DLLs from elsewhere"

step "a second install keeps an added word and replaces the other files"
printf 'Parlantaword=ADDEDBYTHECHECK\r\n' >>"$installed/dicy.ini"
cp "$installed/dicy.ini" "$work/dicy-with-word.ini"
echo "damaged" >"$installed/Readme.txt"
rm "$installed/licenses/Qt.txt"
"$wine" "$installer" /S || fail "the second install failed"
"$wineserver" -w
cmp -s "$installed/dicy.ini" "$work/dicy-with-word.ini" || fail "the second install changed dicy.ini"
cmp -s "$installed/Readme.txt" "$portable/Readme.txt" || fail "the second install did not replace Readme.txt"
[ -f "$installed/licenses/Qt.txt" ] || fail "the second install did not put back licenses/Qt.txt"

step "the uninstaller removes the program and keeps dicy.ini"
"$wine" "$installed/Uninstall.exe" /S || fail "the uninstaller failed"
# It runs from a copy of itself in the temporary folder: wait for that copy.
"$wineserver" -w
[ -f "$installed/dicy.ini" ] || fail "the uninstaller removed dicy.ini"
cmp -s "$installed/dicy.ini" "$work/dicy-with-word.ini" || fail "the uninstaller changed dicy.ini"
left=$(cd "$installed" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./dicy.ini " ] || fail "after uninstalling, the folder holds: $left"
[ ! -e "$shortcut" ] || fail "the Start-menu entry is still there"
if grep -q -F "[$key" "$WINEPREFIX/user.reg"; then
    fail "the Add/Remove Programs entry is still there"
fi

step "all checks passed"
