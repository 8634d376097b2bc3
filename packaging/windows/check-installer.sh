#!/usr/bin/env bash
# Checks the Windows packages under Wine, on a virtual display of its own:
#
#   check-installer.sh INSTALLER ZIP
#
# The zip: the files a user needs and the license texts are there, and its DLLs
# are exactly the native DLLs parlanta.exe loads when it starts and draws its
# window; parlanta.exe carries its application manifest. Unpacked where its dicy.ini is read-only, the program adds a word
# to the user's own list in %APPDATA%\Parlanta and leaves the shared list as
# it was, with nothing written beside it.
#
# The installer, for the current user (/S, then /S /CurrentUser): it installs
# into %LOCALAPPDATA%\Programs\Parlanta with a Start-menu entry and an
# Add/Remove Programs entry in HKCU, the installed program starts and adds a
# word to the dicy.ini beside it, a second install keeps that list and
# replaces the other files, and its uninstaller removes everything but it.
#
# The installer, for all users (/S /AllUsers), beside the per-user install:
# it installs into the 64-bit Program Files with the Start-menu entry for all
# users and the Add/Remove Programs entry in HKLM's 64-bit view, the shared
# dicy.ini read-only; the installed program adds a word to the user's own
# list and finds it again; a second install replaces the shared list, and the
# uninstaller removes it with the rest; neither touches the user's own list
# nor the per-user install, which is uninstalled last.
#
# Words are added by the program itself, through its Add-word dialog, driven
# with xdotool; Wine shares the X clipboard, through which the word is read
# back from the main window. Exits non-zero at the first failure; every wait
# on a Wine program is bounded.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

if [ $# -ne 2 ] || [ ! -f "$1" ] || [ ! -f "$2" ]; then
    echo "usage: $0 INSTALLER ZIP" >&2
    exit 2
fi
# A display of its own, so that nothing the user does on another disturbs
# the keys sent; the whole check is bounded too.
if [ -z "${PARLANTA_CHECK_DISPLAY:-}" ]; then
    PARLANTA_CHECK_DISPLAY=1 exec timeout -k 30 1800 \
        "$root/scripts/with-display.sh" 1024x768x24 "$0" "$@"
fi
installer=$(realpath "$1")
zip=$(realpath "$2")
. "$root/scripts/wine-kit.sh"
unset WINEPATH

work=$(mktemp -d "${TMPDIR:-/tmp}/parlanta-check.XXXXXX")
cleanup() {
    wine_stop
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
    licenses/README.txt licenses/Parlanta.txt licenses/LGPL-3.0.txt licenses/GPL-3.0.txt
    licenses/Qt.txt licenses/Qt-third-party.txt licenses/GCC-runtime.txt licenses/winpthreads.txt
)
# file : a phrase it must hold
license_phrases=(
    "licenses/Parlanta.txt:MIT License"
    "licenses/Parlanta.txt:the Parlanta authors"
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
    # Made before the program starts, so that the reader below never finds it
    # missing and gives up (a busy machine may start the reader first).
    : >"$trace"
    (export WINEDEBUG=+loaddll; wine_run 120 "$dir/parlanta.exe") 2>"$trace" >/dev/null &
    pid=$!
    # Waits on the trace as it grows: ends at the ico plugin's line, or when
    # the program ends without one, or after 60 s.
    if ! timeout 60 grep -q -m1 -i 'imageformats\\\\qico\.dll.*: native' \
            <(tail -n +1 -f --pid="$pid" "$trace"); then
        wine_stop
        tail -n 20 "$trace" >&2
        fail "parlanta.exe in $dir did not draw its window"
    fi
    kill -0 "$pid" 2>/dev/null || fail "parlanta.exe in $dir ended right after starting"
    wine_stop
    # wine_run ends the program after 120 s at the latest.
    wait "$pid" 2>/dev/null || true
    local prefix
    prefix=$(wine_path "$dir" | lower)
    grep -a -i '\.dll" at .*: native' "$trace" | sed -n 's/.*Loaded L"\(.*\)" at .*/\1/p' | sed 's/\\\\/\\/g' | lower |
        while IFS= read -r path; do
            case "$path" in
                "$prefix"\\*) echo "${path#"$prefix"\\}" | tr '\\' / ;;
                *) echo "outside:$path" ;;
            esac
        done | sort -u >"$out"
}

# x_window TITLE [OTHER]: waits up to 60 s for a shown window titled TITLE,
# other than window OTHER, and prints its id.
x_window() {
    local id tries
    for ((tries = 0; tries < 600; tries++)); do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
            [ "$id" != "${2:-}" ] && { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# x_gone TITLE: waits up to 60 s until no window titled TITLE is shown.
x_gone() {
    local tries
    for ((tries = 0; tries < 600; tries++)); do
        [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    return 1
}

# add_word DIR ENGLISH BALOUCHI: the program in folder DIR adds the word
# through its Add-word dialog, then looks it up in its main window; prints
# what the result box shows. Without a window manager, each window is given
# the keyboard before keys are sent to it.
add_word() {
    local dir=$1 english=$2 balouchi=$3 pid main dialog box shown tries try
    # A program that shows no window on a busy machine is tried once more;
    # each try keeps its output for the report.
    for try in 1 2; do
        wine_run 180 "$dir/parlanta.exe" >"$work/parlanta-$try.log" 2>&1 &
        pid=$!
        main=$(x_window Parlanta) && break
        wine_stop
        wait "$pid" 2>/dev/null || true
        if [ "$try" -eq 2 ]; then
            tail -n 20 "$work"/parlanta-[12].log >&2
            fail "adding $english: parlanta.exe in $dir showed no main window, twice"
        fi
    done
    xdotool windowfocus --sync "$main"
    # Edit, Add to Parlanta...
    xdotool key --clearmodifiers alt+e a
    dialog=$(x_window "Add to Parlanta") || fail "Alt+E, A showed no Add to Parlanta dialog"
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 20 "$english"
    xdotool key Tab
    xdotool type --delay 20 "$balouchi"
    xdotool key Return
    box=$(x_window Parlanta "$main") || fail "adding $english showed no message"
    xdotool windowfocus --sync "$box"
    xdotool key Return
    x_gone "Add to Parlanta" || fail "the Add to Parlanta dialog stayed open after adding $english"
    # The search box has the focus; Enter looks the word up, and the result
    # box, next in the tab order, is copied whole.
    xdotool windowfocus --sync "$main"
    xdotool type --delay 20 "$english"
    xdotool key Return Tab ctrl+a ctrl+c
    for ((tries = 0; tries < 300; tries++)); do
        shown=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
        [ "$shown" = "${balouchi^^}" ] && break
        sleep 0.1
    done
    wine_stop
    wait "$pid" 2>/dev/null || true
    echo "$shown"
}

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

# The application manifest of parlanta.exe in folder $1, read back from the
# executable's resources: it runs with the user's rights, names Windows 10 and
# 11, is per-monitor (v2) DPI aware and uses the version 6 common controls,
# and it leaves the ANSI code page alone.
check_manifest() {
    local manifest phrase
    manifest=$(wrestool -x --raw --type=24 --name=1 "$1/parlanta.exe") || fail "parlanta.exe in $1 carries no manifest"
    for phrase in 'level="asInvoker"' '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
        '>PerMonitorV2</dpiAwareness>' 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'; do
        grep -q -F -- "$phrase" <<<"$manifest" || fail "the manifest of parlanta.exe in $1 lacks $phrase"
    done
    if grep -q -i 'activeCodePage' <<<"$manifest"; then
        fail "the manifest of parlanta.exe in $1 changes the ANSI code page"
    fi
}

# Whether file $1 carries the read-only mark (Wine keeps it as the file's
# missing write permissions).
read_only() { [ -z "$(find "$1" -perm /222)" ]; }

# Nothing but the list itself beside the shared list in folder $1.
nothing_beside() {
    local left
    left=$(cd "$1" && find . -maxdepth 1 -iname 'dicy.ini?*' | tr '\n' ' ')
    [ -z "$left" ] || fail "beside the shared list in $1: $left"
}

# Whether the uninstall entry is in registry view $1 (32 or 64) of HKLM.
uninstall_entry="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Parlanta"
in_hklm() { wine_run 60 reg query "HKLM\\$uninstall_entry" /v UninstallString "/reg:$1" 2>/dev/null | grep -q 'Uninstall\.exe'; }
user_reg_key="[${uninstall_entry//\\/\\\\}]"
in_hkcu() { grep -q -F "$user_reg_key" "$WINEPREFIX/user.reg"; }

step "a Wine prefix of its own, on the virtual display"
wine_prefix "$work/prefix" x11 || fail "could not make a Wine prefix"
drive_c="$WINEPREFIX/drive_c"
profile="$drive_c/users/$(id -un)"
[ -d "$profile" ] || fail "no Wine profile folder $profile"
own_list="$profile/AppData/Roaming/Parlanta/dicy.ini"

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
starter="$work/starter.ini"
cp "$portable/dicy.ini" "$starter"
if command -v x86_64-w64-mingw32-windres >/dev/null; then
    # grep reads to the end: with -q it would leave early, and windres, cut
    # off mid-write, would fail the pipeline.
    x86_64-w64-mingw32-windres -i "$portable/parlanta.exe" -O rc 2>/dev/null | grep 'RT_GROUP_ICON' >/dev/null ||
        fail "parlanta.exe carries no icon"
fi
step "the zip: parlanta.exe carries its application manifest"
check_manifest "$portable"

step "the zip: parlanta.exe starts and loads exactly the DLLs shipped"
run_program "$portable" "$work/loaded.txt"
dlls_in "$portable" >"$work/shipped.txt"
if ! diff -u --label shipped "$work/shipped.txt" --label loaded "$work/loaded.txt" >&2; then
    fail "the DLLs in the zip differ from the native DLLs parlanta.exe loads"
fi

step "the zip with a read-only dicy.ini: a word goes to %APPDATA%\\Parlanta\\dicy.ini"
read_only_copy="$drive_c/read-only"
cp -a "$portable" "$read_only_copy"
chmod a-w "$read_only_copy/dicy.ini"
shown=$(add_word "$read_only_copy" xqportablecheck portableword)
[ "$shown" = PORTABLEWORD ] || fail "the word added is not found again (the result box shows '$shown')"
[ -f "$own_list" ] || fail "no user's own list $own_list"
grep -a -q -i '^xqportablecheck=PORTABLEWORD' "$own_list" || fail "the word is not in $own_list"
cmp -s "$read_only_copy/dicy.ini" "$starter" || fail "the read-only shared list changed"
nothing_beside "$read_only_copy"
cp "$own_list" "$work/own-list.ini"

# --- the installer, for the current user ----------------------------------
grep -a -q 'requestedExecutionLevel level="highestAvailable"' "$installer" ||
    fail "the installer does not run with the rights its user has"

step "the installer: a silent install for the current user (/S)"
wine_run 300 "$installer" /S || fail "the installer failed"
wine_wait 120
installed="$profile/AppData/Local/Programs/Parlanta"
[ -d "$installed" ] || fail "nothing was installed into %LOCALAPPDATA%\\Programs\\Parlanta"
[ ! -e "$drive_c/Program Files/Parlanta" ] || fail "/S installed into Program Files"
check_files "$installed"
check_manifest "$installed"
[ -f "$installed/Uninstall.exe" ] || fail "no Uninstall.exe"
read_only "$installed/dicy.ini" && fail "the current user's dicy.ini is read-only"
(cd "$portable" && find . -type f | sort) >"$work/zip-files.txt"
(cd "$installed" && find . -type f ! -name Uninstall.exe | sort) >"$work/installed-files.txt"
diff -u --label zip "$work/zip-files.txt" --label installed "$work/installed-files.txt" >&2 ||
    fail "the installer's files differ from the zip's"
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Parlanta.lnk"
[ -f "$shortcut" ] || fail "no Start-menu entry"
in_hkcu || fail "no Add/Remove Programs entry under HKCU"
in_hklm 64 && fail "an Add/Remove Programs entry under HKLM"
grep -A12 -F "$user_reg_key" "$WINEPREFIX/user.reg" | grep -q '^"UninstallString"=.*Uninstall.exe' ||
    fail "the Add/Remove Programs entry has no UninstallString"

step "the installed program starts"
run_program "$installed" "$work/loaded-installed.txt"
grep -q '^outside:' "$work/loaded-installed.txt" && fail "the installed program loads DLLs from elsewhere"

step "the installed program adds a word to the dicy.ini beside it"
shown=$(add_word "$installed" xqpersonalcheck personalword)
[ "$shown" = PERSONALWORD ] || fail "the word added is not found again (the result box shows '$shown')"
grep -a -q -i '^xqpersonalcheck=PERSONALWORD' "$installed/dicy.ini" || fail "the word is not in the dicy.ini beside the program"
cmp -s "$own_list" "$work/own-list.ini" || fail "the word went to the user's own list in %APPDATA%"
cp "$installed/dicy.ini" "$work/dicy-with-word.ini"

step "a second install (/S /CurrentUser) keeps the word list and replaces the other files"
echo "damaged" >"$installed/Readme.txt"
rm "$installed/licenses/Qt.txt"
wine_run 300 "$installer" /S /CurrentUser || fail "the second install failed"
wine_wait 120
[ ! -e "$drive_c/Program Files/Parlanta" ] || fail "/CurrentUser installed into Program Files"
cmp -s "$installed/dicy.ini" "$work/dicy-with-word.ini" || fail "the second install changed dicy.ini"
cmp -s "$installed/Readme.txt" "$portable/Readme.txt" || fail "the second install did not replace Readme.txt"
[ -f "$installed/licenses/Qt.txt" ] || fail "the second install did not put back licenses/Qt.txt"

# --- the installer, for all users ------------------------------------------
step "the installer: a silent install for all users (/S /AllUsers), beside the per-user one"
wine_run 300 "$installer" /S /AllUsers || fail "the all-users install failed"
wine_wait 120
everyone="$drive_c/Program Files/Parlanta"
[ -d "$everyone" ] || fail "nothing was installed into Program Files\\Parlanta"
check_files "$everyone"
[ -f "$everyone/Uninstall.exe" ] || fail "no Uninstall.exe"
(cd "$everyone" && find . -type f ! -name Uninstall.exe | sort) >"$work/everyone-files.txt"
diff -u --label zip "$work/zip-files.txt" --label installed "$work/everyone-files.txt" >&2 ||
    fail "the all-users install's files differ from the zip's"
cmp -s "$everyone/dicy.ini" "$starter" || fail "the shared list is not the starter list"
read_only "$everyone/dicy.ini" || fail "the shared list is not read-only"
everyone_shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Parlanta.lnk"
[ -f "$everyone_shortcut" ] || fail "no Start-menu entry for all users"
in_hklm 64 || fail "no Add/Remove Programs entry in HKLM's 64-bit view"
in_hklm 32 && fail "an Add/Remove Programs entry in HKLM's 32-bit view"
grep -A12 -F "$user_reg_key" "$WINEPREFIX/user.reg" | grep -q -F '"InstallLocation"="C:\\users\\' ||
    fail "the all-users install changed the per-user Add/Remove Programs entry"

step "the program installed for all users adds a word to the user's own list"
shown=$(add_word "$everyone" xqeveryonecheck everyoneword)
[ "$shown" = EVERYONEWORD ] || fail "the word added is not found again (the result box shows '$shown')"
grep -a -q -i '^xqeveryonecheck=EVERYONEWORD' "$own_list" || fail "the word is not in $own_list"
grep -a -q -i '^xqportablecheck=PORTABLEWORD' "$own_list" || fail "the earlier word left $own_list"
cmp -s "$everyone/dicy.ini" "$starter" || fail "the shared list changed"
nothing_beside "$everyone"
cp "$own_list" "$work/own-list.ini"

step "a second install for all users replaces the shared list and keeps the user's"
chmod u+w "$everyone/dicy.ini"
printf 'xqoldstarter=OLD\r\n' >>"$everyone/dicy.ini"
chmod a-w "$everyone/dicy.ini"
wine_run 300 "$installer" /S /AllUsers || fail "the second all-users install failed"
wine_wait 120
cmp -s "$everyone/dicy.ini" "$starter" || fail "the second install did not replace the shared list"
read_only "$everyone/dicy.ini" || fail "the replaced shared list is not read-only"
cmp -s "$own_list" "$work/own-list.ini" || fail "the second install changed the user's own list"

step "the uninstaller removes everything it installed and keeps the user's list"
wine_run 300 "$everyone/Uninstall.exe" /S || fail "the all-users uninstaller failed"
wine_wait 120
[ ! -e "$everyone" ] || fail "after uninstalling, Program Files\\Parlanta holds: $(cd "$everyone" && find . -mindepth 1 | tr '\n' ' ')"
[ ! -e "$everyone_shortcut" ] || fail "the Start-menu entry for all users is still there"
in_hklm 64 && fail "the Add/Remove Programs entry is still in HKLM"
cmp -s "$own_list" "$work/own-list.ini" || fail "the uninstaller changed the user's own list"

step "the per-user install is still whole"
for file in parlanta.exe Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "the all-users uninstaller removed $file of the per-user install"
done
cmp -s "$installed/dicy.ini" "$work/dicy-with-word.ini" || fail "the all-users installer changed the per-user dicy.ini"
[ -f "$shortcut" ] || fail "the all-users uninstaller removed the per-user Start-menu entry"
in_hkcu || fail "the all-users uninstaller removed the per-user Add/Remove Programs entry"

step "the uninstaller removes the program and keeps dicy.ini"
wine_run 300 "$installed/Uninstall.exe" /S || fail "the uninstaller failed"
# It runs from a copy of itself in the temporary folder: wait for that copy.
wine_wait 120
[ -f "$installed/dicy.ini" ] || fail "the uninstaller removed dicy.ini"
cmp -s "$installed/dicy.ini" "$work/dicy-with-word.ini" || fail "the uninstaller changed dicy.ini"
left=$(cd "$installed" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./dicy.ini " ] || fail "after uninstalling, the folder holds: $left"
[ ! -e "$shortcut" ] || fail "the Start-menu entry is still there"
in_hkcu && fail "the Add/Remove Programs entry is still there"

step "all checks passed"
