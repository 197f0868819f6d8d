#!/usr/bin/env bash
# Sets up the machine, builds every target and runs every test suite: native,
# sanitized, and both DLLs under Wine, folio.sph with wine64 and folio.spi with
# Wine's 32-bit loader where the kernel starts 32-bit programs (each run with
# one X server and one Wine prefix).
set -euo pipefail
cd "$(dirname "$0")/.."
root=${FOLIO_BUILD_ROOT:-build}

scripts/setup.sh
scripts/build.sh

ctest --test-dir "$root/linux" --output-on-failure
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir "$root/asan" --output-on-failure
# ThreadSanitizer over the concurrency stress test; only what that test needs.
cmake -S . -B "$root/tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOLIO_THREAD_SANITIZE=ON >/dev/null
cmake --build "$root/tsan" --target folio_api_tests folio_unit_tests
ctest --test-dir "$root/tsan" -R '^(stress|measuring_workers)$' --output-on-failure
scripts/fuzz.sh 20

# wine_suites FOLDER LOADER: every suite of one Windows build under Wine.
# The longest, unit and api, take about two minutes each.
wine_test_timeout=900
wine_suites() {
  local folder=$1 loader=$2 started=$SECONDS status=0
  export WINEPREFIX="$PWD/$root/$folder/wineprefix" WINEDEBUG=-all
  # Made once, before any test program starts: a prefix that a test's first
  # run creates lacks its system DLLs.
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    "$loader" wineboot -u >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
  fi
  # A program that crashes ends with its exception instead of waiting in
  # winedbg, which no one attends here; a test that hangs anyway fails after
  # $wine_test_timeout s instead of holding up the run.
  "$loader" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w
  xvfb-run -a bash -c "ctest --test-dir '$root/$folder' --output-on-failure --timeout $wine_test_timeout; status=\$?; /usr/lib/wine/wineserver -w; exit \$status" ||
    status=$?
  echo "$folder under Wine: $((SECONDS - started)) s"
  return "$status"
}

# Both runs, even when the first fails.
status=0
(wine_suites win64 /usr/lib/wine/wine64) || status=1
# Some virtual machines' kernels have IA-32 emulation off: there no 32-bit
# program starts (execve fails with ENOEXEC, which the shell reports as 126).
probe=0
/usr/lib/wine/wine --version >/dev/null 2>&1 || probe=$?
if ((probe == 126)); then
  echo "test: NOT RUN: folio.spi's suites under Wine (unit, api, stress, e2e): this kernel can't start" \
    "32-bit programs, Wine's 32-bit loader included; only folio.spi's export and import tables are checked."
  ctest --test-dir "$root/win32" -R '^exports$' --output-on-failure || status=1
elif ! (export WINEARCH=win32 && wine_suites win32 /usr/lib/wine/wine); then
  # These suites have yet to pass on a machine that runs them: until they
  # have, a failure is reported loudly but lets the rest of the run stand.
  # FOLIO_REQUIRE_WIN32=1 makes it fail the run.
  if [[ ${FOLIO_REQUIRE_WIN32:-0} == 1 ]]; then
    status=1
  else
    echo "test: FAILED, not yet required: folio.spi's suites under Wine's 32-bit loader (see above)."
  fi
fi
exit $status
