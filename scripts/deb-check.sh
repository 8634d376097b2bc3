#!/usr/bin/env bash
# Tries the Debian package where a user installs it: in a clean Debian 12 root,
# never in this machine's own system. apt installs the package there; then, as
# two ordinary users, the installed /usr/bin/parlanta runs under Xvfb and is
# driven from the keyboard with xdotool: a shared word is found, a word added
# through the Add-word dialog lands in the user's own list and nowhere under
# /usr, a word the list holds is refused, the other user does not see it, and
# removal, purge, reinstall and an upgrade all leave the users' lists alone;
# last, the Linux archive unpacked by root into a folder the user may not
# write keeps the user's words in their own list too.
# The root is made and kept by scripts/clean-root.sh.
#
# Usage: deb-check.sh parlanta_VERSION_ARCH.deb parlanta-VERSION-Linux.tar.gz
#        (needs root; uses sudo)
set -euo pipefail
[ $# -eq 2 ] && [ -f "$1" ] && [ -f "$2" ] ||
    { echo "usage: $0 parlanta_VERSION_ARCH.deb parlanta-VERSION-Linux.tar.gz" >&2; exit 2; }
deb=$(realpath "$1")
archive=$(realpath "$2")
. "$(dirname "$0")/clean-root.sh"
failures=0
# Each run of the program keeps its own output in $runs until the step
# that made it ends; a failed step prints the output of its own runs.
runs="$work/runs"
step_output() {
    local log
    for log in "$runs"/*.log; do
        [ -f "$log" ] || continue
        echo "    --- $(head -n 1 "$log")"
        tail -n +2 "$log" | tail -n 30 | sed 's/^/    /'
    done
    # What the display server said (it reports connections it refused).
    if [ -s "$work/xvfb.log" ]; then
        echo "    --- Xvfb:"
        tail -n 20 "$work/xvfb.log" | sed 's/^/    /'
    fi
    rm -f "$runs"/*.log
}
pass() { echo "PASS: $*"; rm -f "$runs"/*.log; }
fail() { echo "FAIL: $*"; step_output; failures=$((failures + 1)); }
# check DESCRIPTION COMMAND...: one PASS or FAIL line.
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
# A command that fails outside any check still names where it stopped.
trap 'echo "FAIL: deb-check.sh stopped at line $LINENO: $BASH_COMMAND"; step_output' ERR

mkdir "$runs"

# The upgrade: the same package with one more word in the shared list.
version=$(dpkg-deb -f "$deb" Version)
upgrade_version="${version%-*}-$(( ${version##*-} + 1 ))"
new_word=Lantern new_value=CHERAGH
unpacked="$work/upgrade"
dpkg-deb -R "$deb" "$unpacked"
printf '%s=%s\r\n' "$new_word" "$new_value" >>"$unpacked/usr/share/parlanta/dicy.ini"
sed -i "s/^Version: .*/Version: $upgrade_version/" "$unpacked/DEBIAN/control"
changelog="$unpacked/usr/share/doc/parlanta/changelog.Debian.gz"
{ printf 'parlanta (%s) unstable; urgency=medium\n\n  * The shared list gains %s.\n\n -- %s  %s\n\n' \
      "$upgrade_version" "$new_word" "$(dpkg-deb -f "$deb" Maintainer)" "$(date -R)"
  gzip -dc "$changelog"; } | gzip -9n >"$changelog.new" && mv "$changelog.new" "$changelog"
(cd "$unpacked" && find usr -type f -printf '%P\n' | sort | sed 's|^|usr/|' | xargs md5sum >DEBIAN/md5sums)
upgrade_deb="$work/parlanta_${upgrade_version}_$(dpkg-deb -f "$deb" Architecture).deb"
dpkg-deb --root-owner-group -b "$unpacked" "$upgrade_deb" >/dev/null
cp "$deb" "$upgrade_deb" "$root/tmp/"
first="/tmp/$(basename "$deb")"
second="/tmp/$(basename "$upgrade_deb")"

if apt_get install --no-install-recommends "$first"; then
    pass "apt installs $(basename "$deb") with the packages it depends on"
else
    tail -n 20 "$work/apt.log"
    fail "apt installs $(basename "$deb")"
    exit 1
fi
keep_downloads

# Started before any X tools are in the root, so none of their libraries can
# stand in for one the package forgot to depend on.
missing_libraries() {
    ! in_root sh -c 'ldd /usr/bin/parlanta /usr/lib/*/qt6/plugins/platforms/libqxcb.so' | grep 'not found'
}
check "every library of parlanta and of Qt's X11 plugin is installed" missing_libraries
in_root useradd --create-home --uid 2001 --user-group alice
in_root useradd --create-home --uid 2002 --user-group bob
starts_offscreen() {
    local status=0
    chroot --userspec=2001:2001 "$root" env -i HOME=/home/alice PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen \
        timeout 3 /usr/bin/parlanta >"$work/offscreen.log" 2>&1 || status=$?
    # Still running when the time was up: it started and waited for the user.
    [ "$status" -eq 124 ] || { cat "$work/offscreen.log"; return 1; }
}
check "the installed parlanta starts and keeps running" starts_offscreen

apt_get install --no-install-recommends xvfb xauth xdotool xclip || { tail -n 20 "$work/apt.log"; fail "apt installs xvfb xauth xdotool xclip"; exit 1; }
keep_downloads

menu_entry() {
    local desktop="$root/usr/share/applications/parlanta.desktop"
    [ -f "$desktop" ] && desktop-file-validate "$desktop" &&
        grep -qx 'Exec=parlanta' "$desktop" && [ -x "$root/usr/bin/parlanta" ] &&
        grep -qx 'Icon=parlanta' "$desktop" &&
        [ -f "$root/usr/share/icons/hicolor/48x48/apps/parlanta.png" ] &&
        [ -f "$root/usr/share/icons/hicolor/64x64/apps/parlanta.png" ]
}
check "Parlanta is in the desktop's menu: a valid parlanta.desktop, its program, its icon in hicolor" menu_entry

# Xvfb picks a free display itself and tells which, so it cannot collide
# with another one on this machine.
in_root sh -c 'mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix'
chroot "$root" /usr/bin/Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset -audit 1 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb starts"; exit 1; }
display=":$(head -n 1 "$work/display")"

x() { chroot "$root" env -i PATH=/usr/bin:/bin DISPLAY="$display" timeout 10 "$@"; }
clipboard() { x xclip -o -selection clipboard 2>/dev/null || true; }
# until TRIES COMMAND...: retries every tenth of a second.
until_ok() {
    local tries=$1
    shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}

program=
# start USER: runs the installed program (or $program_path) as USER and
# waits for its window. On a busy machine a program has been seen to give up
# on a display that was up but slow to answer, so the display is waited for
# first, as that user, and a program that shows no window is tried again,
# three times in all; each try keeps its own output for the step's report.
start() {
    local user=$1 uid try log
    uid=$(in_root id -u "$user")
    install -d -m 700 -o "$uid" -g "$uid" "$root/run/user/$uid"
    local as_user=(chroot --userspec="$uid:$uid" "$root" env -i HOME="/home/$user" USER="$user" LOGNAME="$user"
                   PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$display" XDG_RUNTIME_DIR="/run/user/$uid")
    for try in 1 2 3; do
        log="$runs/$(date +%s%N).log"
        # The display as this user sees it, before the program is started.
        until_ok 300 "${as_user[@]}" timeout 10 xdotool getdisplaygeometry >/dev/null 2>&1 ||
            { echo "display $display does not answer $user" >>"$log"; return 1; }
        echo "${program_path:-/usr/bin/parlanta} as $user, try $try of 3:" >>"$log"
        # chroot execs the program, so that $! is the program itself.
        "${as_user[@]}" "${program_path:-/usr/bin/parlanta}" >>"$log" 2>&1 &
        program=$!
        pids+=("$program")
        # up to 30 s on a loaded machine; a program that ended is tried again at once
        until_ok 300 shown_or_ended
        [ -n "$main" ] && x xdotool windowfocus --sync "$main" >/dev/null && return 0
        kill -0 "$program" 2>/dev/null || echo "(it ended)" >>"$log"
        stop
    done
    return 1
}
main_window() { main=$(x xdotool search --onlyvisible --name '^Parlanta$' 2>/dev/null | head -n 1) && [ -n "$main" ]; }
shown_or_ended() { main_window && return 0; main=; ! kill -0 "$program" 2>/dev/null; }
stop() {
    kill "$program" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$program" 2>/dev/null || true
}
keys() { x xdotool key --delay 50 "$@"; }
type_text() { x xdotool type --delay 30 -- "$1"; }

# lookup USER WORD: what the result box Text2 shows after searching WORD.
lookup() {
    start "$1" || { stop; echo "(no window)"; return; }
    type_text "$2"
    keys Return Tab ctrl+a ctrl+c
    until_ok 30 has_clipboard || true
    clipboard
    stop
}
has_clipboard() { [ -n "$(clipboard)" ]; }

# The windows named "Parlanta" other than the main one: the message box.
message_box() {
    box=$(x xdotool search --onlyvisible --name '^Parlanta$' 2>/dev/null | grep -vx "$main" | head -n 1) && [ -n "$box" ]
}
# The message box's text: its label takes the focus on a click, then selects
# all and copies like any selectable text.
message_text() {
    local width height fx fy text
    eval "$(x xdotool getwindowgeometry --shell "$box" | grep -E '^(WIDTH|HEIGHT)=')"
    width=$WIDTH height=$HEIGHT
    for fy in 30 20 40 15; do
        for fx in 50 70 35; do
            x xdotool mousemove --window "$box" $((width * fx / 100)) $((height * fy / 100)) click 1 >/dev/null
            keys ctrl+a ctrl+c
            text=$(clipboard)
            [ -n "$text" ] && { echo "$text"; return; }
        done
    done
}
# add USER ENGLISH BALOUCHI: adds through Edit > Add to Parlanta... and
# prints the text of the message box that answers.
add() {
    local dialog
    start "$1" || { stop; echo "(no window)"; return; }
    keys alt+e a
    dialog_window() { dialog=$(x xdotool search --onlyvisible --name '^Add to Parlanta$' 2>/dev/null | head -n 1) && [ -n "$dialog" ]; }
    if until_ok 50 dialog_window; then
        x xdotool windowfocus --sync "$dialog" >/dev/null
        type_text "$2"
        keys Tab
        type_text "$3"
        keys Return
        if until_ok 50 message_box; then
            message_text
            x xdotool windowfocus --sync "$box" >/dev/null
            keys Return
            until_ok 30 no_message_box || true
        else
            echo "(no message box)"
        fi
    else
        echo "(no Add-word dialog)"
    fi
    stop
}
no_message_box() { ! message_box; }

# What may change under /usr while users run the program: nothing.
usr_state() { (cd "$root" && find usr -xdev -printf '%p %y %s %m %u %T@\n' | LC_ALL=C sort; find usr/share/parlanta -type f -exec sha256sum {} + | LC_ALL=C sort); }
user_list() { echo "$root/home/$1/.local/share/parlanta/dicy.ini"; }

expect_equal() { [ "$1" = "$2" ] || { echo "    expected: $2"; echo "    got:      $1"; return 1; }; }
usr_unchanged() { diff <(echo "$usr_before") <(usr_state) | grep '^[<>]' | head -n 20 | sed 's/^/    /'; [ "${PIPESTATUS[0]}" -eq 0 ]; }

usr_before=$(usr_state)
check "alice: Friday gives JUMAH" expect_equal "$(lookup alice Friday)" JUMAH

message=$(add alice Mountain koh)
check "alice: adding Mountain = koh is confirmed" expect_equal "$message" "Mountain was added successfuly in to Parlanta"
added_to_own_list() { [ -f "$(user_list alice)" ] && [ "$(stat -c %u "$(user_list alice)")" = "$(in_root id -u alice)" ] && grep -q $'^Mountain=KOH\r$' "$(user_list alice)"; }
check "alice: Mountain=KOH is in ~/.local/share/parlanta/dicy.ini, owned by alice" added_to_own_list
check "alice: nothing under /usr changed, /usr/share/parlanta byte-identical and no file added" usr_unchanged
check "alice: Mountain gives KOH" expect_equal "$(lookup alice Mountain)" KOH

digest() { if [ -f "$1" ]; then sha256sum <"$1"; else echo "no $1"; fi; }
list_before=$(digest "$(user_list alice)")
message=$(add alice Friday something)
check "alice: adding Friday again is refused with its stored value" \
    expect_equal "$message" "Friday already exists in Parlanta, and it has a vlue of JUMAH."
refused_wrote_nothing() { expect_equal "$(digest "$(user_list alice)")" "$list_before" && usr_unchanged; }
check "alice: the refused add wrote nothing" refused_wrote_nothing

check "bob: does not see alice's Mountain" expect_equal "$(lookup bob Mountain)" NONE
message=$(add bob River rod)
check "bob: adding River = rod is confirmed" expect_equal "$message" "River was added successfuly in to Parlanta"
check "bob: River gives ROD" expect_equal "$(lookup bob River)" ROD
check "alice: does not see bob's River" expect_equal "$(lookup alice River)" NONE
check "nothing under /usr changed after both users' adds" usr_unchanged

lists() { digest "$(user_list alice)"; digest "$(user_list bob)"; }
lists_before=$(lists)
lists_kept() { [ -f "$(user_list alice)" ] && [ -f "$(user_list bob)" ] && expect_equal "$(lists)" "$lists_before"; }
apt_get remove parlanta && check "apt remove leaves both users' lists" lists_kept ||
    fail "apt remove parlanta"
purged() { [ ! -e "$root/usr/share/parlanta" ] && [ ! -e "$root/usr/bin/parlanta" ]; }
# Without conffiles a removed package is gone, so purge gets one installed.
apt_get install --no-install-recommends "$first" && apt_get purge parlanta &&
    check "apt purge leaves both users' lists" lists_kept ||
    fail "apt install and purge parlanta"
check "apt purge took the program and the shared list" purged

apt_get install --no-install-recommends "$first" && pass "apt installs $(basename "$deb") again" || fail "apt reinstall"
check "reinstalled: alice's Mountain gives KOH" expect_equal "$(lookup alice Mountain)" KOH

apt_get install --no-install-recommends "$second" &&
    check "apt upgrades to $upgrade_version" expect_equal "$(in_root dpkg-query -W -f '${Version}' parlanta)" "$upgrade_version" ||
    fail "apt upgrade to $upgrade_version"
check "upgraded: alice's Mountain still gives KOH" expect_equal "$(lookup alice Mountain)" KOH
check "upgraded: the new shared word $new_word gives $new_value" expect_equal "$(lookup alice "$new_word")" "$new_value"
check "upgraded: both users' lists unchanged" lists_kept

# The Linux archive unpacked by root into /opt, where the user may not write:
# the user's words go to their own list, and the copy stays as it is.
portable=/opt/$(tar -tzf "$archive" | awk -F / 'NR == 1 { print $1 }')
tar --no-same-owner -xzf "$archive" -C "$root/opt"
[ -x "$root$portable/parlanta" ] && [ -f "$root$portable/dicy.ini" ] || fail "the archive holds no program and list"
chmod 755 "$root$portable"
# The list itself may be written by anyone: only the folder keeps the user
# out, and a save there (its new file, its lock) could not be made.
chmod 666 "$root$portable/dicy.ini"
portable_state() { (cd "$root$portable" && find . -printf '%p %y %s %m %u\n' | LC_ALL=C sort && sha256sum dicy.ini); }
portable_before=$(portable_state)
program_path=$portable/parlanta
check "portable copy: bob's own River gives ROD" expect_equal "$(lookup bob River)" ROD
message=$(add bob Cloud jambar)
check "portable copy: adding Cloud = jambar is confirmed" expect_equal "$message" "Cloud was added successfuly in to Parlanta"
check "portable copy: Cloud=JAMBAR is in bob's own list" grep -q $'^Cloud=JAMBAR\r$' "$(user_list bob)"
check "portable copy: its folder is unchanged, with nothing added" expect_equal "$(portable_state)" "$portable_before"
program_path=

if [ "$failures" -ne 0 ]; then
    echo "FAIL: $failures check(s) of the installed package failed"
    exit 1
fi
echo "PASS: the package installs, runs and keeps users' words in a clean Debian 12 root"
