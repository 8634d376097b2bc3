#!/usr/bin/env bash
# Applies each deliberate fault of scripts/mutants.txt alone, rebuilds, runs
# the tests and prints which test programs catch it. A fault caught by none
# is a gap in the tests; the run exits 1 if there is one. The test functions
# and rows that failed on each fault go to mutants-detail.txt in the build
# folder (Linux only: under Wine the tests' own output does not reach CTest).
#   mutants.sh [id-pattern]    only the faults whose id matches (grep -E)
#   mutants.sh --windows [id-pattern]
#       the faults of scripts/mutants-windows.txt, in the Windows build that
#       scripts/windows.sh made (build-windows), with its tests under Wine;
#       a fault in packaging/ is caught (or not) by check-installer.sh
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --windows ]; then
    shift
    . "$root/scripts/wine-kit.sh"
    build=$windows_build
    list="$root/scripts/mutants-windows.txt"
    [ -f "$build/CMakeCache.txt" ] || { echo "run scripts/windows.sh first" >&2; exit 2; }
    qt=$("$root/scripts/windows-qt.sh" | tail -n 1)
    wine_test_env "$qt"
    wine_prefix "$build/wine-prefix" || exit 2
else
    build="$root/build-mutants"
    list="$root/scripts/mutants.txt"
    "$root/scripts/deps.sh" test >/dev/null
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPARLANTA_TESTS=ON >/dev/null || exit 2
fi
pattern=${1:-.}
cmake --build "$build" >/dev/null || { echo "the unchanged tree does not build" >&2; exit 2; }

# The file under change is put back however the run ends, an interrupt
# included, and its clean copy is removed only once it is back.
backup=$(mktemp)
changed=
restore() {
    if [ -n "$changed" ]; then
        cp "$backup" "$root/$changed" && touch "$root/$changed" && changed=
    fi
}
trap 'restore; [ -n "$changed" ] || rm -f "$backup"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
gaps=0
: >"$build/mutants-detail.txt"
printf '%-30s %s\n' fault "caught by"
while IFS= read -r line; do
    case "$line" in ''|'#'*) continue ;; esac
    id=$(awk -F' \\|\\|\\| ' '{print $1}' <<<"$line")
    file=$(awk -F' \\|\\|\\| ' '{print $2}' <<<"$line")
    grep -qE -- "$pattern" <<<"$id" || continue
    cp "$root/$file" "$backup"
    changed=$file
    # The texts are matched literally, so they need no escaping in the list.
    if ! FAULT="$line" perl -0777 -i -pe '
            my @f = split / \|\|\| /, $ENV{FAULT};
            my $at = index($_, $f[2]);
            if ($at < 0) { $ENV{MISSING} = 1; exit 3 }
            substr($_, $at, length $f[2]) = $f[3];
        ' "$root/$file"; then
        restore
        printf '%-30s %s\n' "$id" "NOT APPLIED (text not found in $file)"
        gaps=1
        continue
    fi
    if [ "$list" = "$root/scripts/mutants-windows.txt" ] && [[ $file == packaging/* ]]; then
        # A fault in the packages is caught by their check under Wine. cpack
        # packs what is built, so what the fault changes in the program (its
        # resources, its manifest) is built first.
        windows_packages
        rm -f "$zip" "$installer"
        if ! (cmake --build "$build" && cd "$build" && cpack -G ZIP && cpack -G NSIS) >/dev/null 2>&1; then
            verdict="does not pack"
        elif "$root/packaging/windows/check-installer.sh" "$installer" "$zip" >"$build/mutant-check.log" 2>&1; then
            verdict="NOT CAUGHT"
            gaps=1
        else
            verdict="check-installer ($(sed -n 's/^check-installer: FAILED: //p' "$build/mutant-check.log" | head -n 1))"
        fi
    elif ! cmake --build "$build" >/dev/null 2>&1; then
        verdict="does not build"
    else
        (cd "$build" && QT_QPA_PLATFORM=offscreen ctest -j2 --timeout 120 --output-on-failure) \
            >"$build/mutant-ctest.log" 2>&1
        failed=$(sed -n 's/^[[:space:]]*[0-9]* - \([A-Za-z0-9_]*\) (.*/\1/p' "$build/mutant-ctest.log" \
            | sort -u | tr '\n' ' ')
        # Which test functions and rows failed, so that a test is removed
        # only when another still catches each fault it catches.
        ID=$id perl -ne 'print "$ENV{ID} $1\n" if /^FAIL!\s*:\s*(\S+?::\w+(?:\(.*?\))?)(?: |\r?$)/' \
            "$build/mutant-ctest.log" | sort -u >>"$build/mutants-detail.txt"
        verdict=${failed:-"NOT CAUGHT"}
        [ -n "$failed" ] || gaps=1
    fi
    restore
    printf '%-30s %s\n' "$id" "$verdict"
done < "$list"
cmake --build "$build" >/dev/null
if [ "$list" = "$root/scripts/mutants-windows.txt" ]; then
    # The packages as they are, without the last fault.
    windows_packages
    (cd "$build" && cpack -G ZIP && cpack -G NSIS) >/dev/null 2>&1
fi
exit $gaps
