#!/usr/bin/env bash
# Sets up the machine, builds every target and runs every test suite: native,
# sanitized, and the 64-bit DLL under Wine (one X server and one Wine prefix
# for the whole run).  The 32-bit DLL is checked by its tables.
set -euo pipefail
cd "$(dirname "$0")/.."
root=${FOLIO_BUILD_ROOT:-build}

scripts/setup.sh
scripts/build.sh

ctest --test-dir "$root/linux" --output-on-failure
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir "$root/asan" --output-on-failure
# ThreadSanitizer over the concurrency stress test; only what that test needs.
cmake -S . -B "$root/tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOLIO_THREAD_SANITIZE=ON >/dev/null
cmake --build "$root/tsan" --target folio_api_tests
ctest --test-dir "$root/tsan" -R '^stress$' --output-on-failure
scripts/fuzz.sh 20
ctest --test-dir "$root/win32" --output-on-failure

export WINEPREFIX="$PWD/$root/win64/wineprefix" WINEDEBUG=-all
# Made once, before any test program starts: a prefix that a test's first
# run creates lacks its system DLLs.
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  /usr/lib/wine/wine64 wineboot -u >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
fi
xvfb-run -a bash -c "ctest --test-dir '$root/win64' --output-on-failure; status=\$?; /usr/lib/wine/wineserver -w; exit \$status"
