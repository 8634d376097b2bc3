# Sourced by the scripts whose builds ship nothing (the tests', the fuzz
# targets'): their compiles are kept by ccache in the cache folder, keyed by
# each compile's inputs, so that a second run compiles only what changed.
# The packages' builds never use it: they are built whole, as Debian's
# build machines do. Sets compiler_cache to the CMake arguments (empty
# without ccache).
compiler_cache=()
if command -v ccache >/dev/null; then
    export CCACHE_DIR="${PARLANTA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parlanta}/ccache"
    # Paths below the work tree are hashed relative to it, so another clone
    # of the same sources finds the same entries.
    export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=2G
    compiler_cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
