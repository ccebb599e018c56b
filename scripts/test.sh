#!/usr/bin/env bash
# Builds and runs every test: the optimised build, then the sanitizer build (each with the
# end-to-end test against LibreOffice Calc), and checks the formatting of the sources.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --with-calc

jobs=$(nproc)
for preset in default asan; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

# The core and the programs build without the desktop keyboard ports.
cmake -S . -B build/portable -DQORVA_X11=OFF -DQORVA_UINPUT=OFF -DQORVA_WAYLAND=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build/portable -j "$jobs"

mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror "${sources[@]}"
echo "all tests passed"
