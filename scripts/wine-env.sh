# Sourced by windows.sh and mutants.sh: the environment in which the Windows
# build's tests run under Wine. Needs $build (the Windows build folder) and
# $qt (Qt for Windows, from windows-qt.sh).

# A Wine prefix of the build's own, made once. No desktop, none of the .NET
# or browser add-ons Wine would offer to download, and no menu entries made
# on this machine's own desktop.
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
fi

# The tests find Qt's and the MinGW runtime's DLLs through Wine's PATH.
wine_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }
export WINEPATH="$(wine_path "$qt/bin");$(wine_path "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")");$(wine_path "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")"

# Qt's offscreen platform, which the tests use, reads fonts from Qt's own
# folder. DejaVu Sans alone there stands in for every font the windows ask
# for, as it does in the Linux tests, so both measure the same text.
mkdir -p "$qt/lib/fonts"
rm -f "$qt/lib/fonts/"*.ttf
ln -s /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$qt/lib/fonts/"
