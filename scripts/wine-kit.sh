# Sourced by the scripts that run the Windows build under Wine (windows.sh,
# screenshot.sh, mutants.sh --windows, packaging/windows/check-installer.sh):
# where Wine is, the Windows build folder, Wine prefixes, paths as Windows
# names them, fonts, and waits on Wine programs that always end. Needs $root,
# the source tree.

wine=${PARLANTA_WINE:-/usr/lib/wine/wine64}
wineserver=${PARLANTA_WINESERVER:-$(dirname "$wine")/wineserver}
# windows.sh builds here; the others use what it built.
windows_build=${PARLANTA_WINDOWS_BUILD:-$root/build-windows}

# windows_packages: sets zip and installer to the packages cpack makes in
# the Windows build folder for the project's version (the folder may also
# hold older ones).
windows_packages() {
    local version
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows_build/CMakeCache.txt")
    zip="$windows_build/parlanta-$version-win64.zip"
    installer="$windows_build/parlanta-$version-win64-setup.exe"
}

# wine_stop: ends every program of the current prefix, and its server.
wine_stop() {
    "$wineserver" -k 2>/dev/null || true
    timeout 30 "$wineserver" -w 2>/dev/null || true
}

# wine_wait SECONDS: waits until every program of the current prefix has
# ended; after SECONDS, ends them and fails.
wine_wait() {
    timeout "$1" "$wineserver" -w && return 0
    echo "wine: programs still running after $1 s; ended" >&2
    wine_stop
    return 1
}

# wine_run SECONDS PROGRAM ARGS...: runs a Windows program and returns its
# exit status; after SECONDS, ends it (and the rest of the prefix) and fails.
# A program started in the background this way is bounded too, so a wait on
# its process id always returns.
wine_run() {
    local limit=$1 status=0
    shift
    timeout -k 10 "$limit" "$wine" "$@" || status=$?
    if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        echo "wine: $1 did not end within $limit s; ended" >&2
        wine_stop
    fi
    return "$status"
}

# wine_prefix DIR [GRAPHICS]: later Wine programs run in prefix DIR, made the
# first time. No .NET or browser add-ons (nothing offers to download them)
# and no menu entries made on this machine's own desktop. GRAPHICS names
# Wine's graphics driver for the prefix: null (no display needed) or x11 (the
# display in $DISPLAY); without it, the prefix keeps Wine's default.
wine_prefix() {
    export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine_run 300 wineboot --init >/dev/null 2>&1 || return 1
        wine_wait 300 || return 1
    fi
    if [ -n "${2:-}" ]; then
        wine_run 60 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$2" /f >/dev/null 2>&1 || return 1
        # The driver is chosen when the prefix's desktop process starts.
        wine_wait 60 || return 1
    fi
}

# wine_path PATH: PATH as Windows programs in the current prefix name it:
# C:\... below the prefix's drive_c, Z:\... anywhere else.
wine_path() {
    local path drive_c
    path=$(realpath -m "$1")
    drive_c=$(realpath -m "${WINEPREFIX:-$HOME/.wine}/drive_c")
    case "$path" in
        "$drive_c") echo 'C:\' ;;
        "$drive_c"/*) local rest=${path#"$drive_c"}; echo "C:${rest//\//\\}" ;;
        *) echo "Z:${path//\//\\}" ;;
    esac
}

# wine_test_env QT: the test programs of the build find Qt's DLLs in QT and
# the MinGW runtime's beside the compiler, through Wine's PATH, and run on
# Qt's offscreen platform, which needs no display.
wine_test_env() {
    local runtime
    runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
    export WINEPATH="$(wine_path "$1/bin");$(wine_path "$runtime");$(wine_path "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")"
    unset DISPLAY WAYLAND_DISPLAY
    wine_test_fonts "$1"
}

# wine_test_fonts QT: Qt's offscreen platform reads fonts from Qt's own
# folder. DejaVu Sans alone there stands in for every font the windows ask
# for, as it does in the Linux tests, so both measure the same text.
wine_test_fonts() {
    mkdir -p "$1/lib/fonts"
    rm -f "$1/lib/fonts/"*.ttf
    ln -s /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$1/lib/fonts/"
}

# wine_windows_fonts: Wine's own fonts, which stand in for the Windows ones,
# in the current prefix, for programs drawn as a user would see them.
wine_windows_fonts() {
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}
