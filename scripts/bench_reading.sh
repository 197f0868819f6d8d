#!/usr/bin/env bash
# Measures the packaged settings (packaging/folio.ini) as a reader meets them:
# how much of a long novel they list, and how long a huge text takes to open.
# Each text is listed once by the folio command with --ini packaging/folio.ini
# from an empty page index, natively and (folio.exe with folio.sph) under
# wine64, and a Markdown table gives its pages and times.
#
#   scripts/bench_reading.sh [--native-only]
set -euo pipefail
cd "$(dirname "$0")/.."
root=${FOLIO_BUILD_ROOT:-build}/bench
settings=$PWD/packaging/folio.ini
wine=true
[[ ${1:-} == --native-only ]] && wine=false

scripts/setup.sh
cmake -S . -B "$root/linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOLIO_TESTS=OFF >/dev/null
cmake --build "$root/linux" --target folio folio_bench_texts >&2
if $wine; then
  cmake -S . -B "$root/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOLIO_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake >/dev/null
  cmake --build "$root/win64" --target folio folio_plugin >&2
fi
"$root/linux/bin/folio_bench_texts" "$root/texts" --lines 1 --large --novels >/dev/null
# The one-line text gives what starting the command costs.
texts=(en-1-lf-utf8 en-novel-2mb-lf-utf8 ja-novel-1mb-crlf-sjis en-100mb-lf-utf8)

# list PLATFORM FOLDER COMMAND...: one row per text, listed by COMMAND.
list() {
  local platform=$1 index=$2 text pages times
  shift 2
  for text in "${texts[@]}"; do
    rm -rf "$index"
    # bash's time counts the CPU time of the command and of its children.
    times=$( { TIMEFORMAT='%R %U %S'; time "$@" --ini "$settings" list "$root/texts/$text.txt" --json >"$root/listing.json"; } 2>&1)
    pages=$(grep -c '"position"' "$root/listing.json")
    read -r wall user system <<<"$times"
    echo "| $text | $platform | $pages | $(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }') | $wall |"
  done
}

echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC'); load average $(cut -d' ' -f1-3 /proc/loadavg) at the start."
echo
echo "| Text | Platform | Pages | CPU (s) | Wall-clock (s) |"
echo "| --- | --- | --- | --- | --- |"
FOLIO_PAGE_INDEX_FOLDER=$PWD/$root/reading-index LC_ALL=C.UTF-8 list Linux "$PWD/$root/reading-index" "$root/linux/bin/folio"
if $wine; then
  export WINEPREFIX="$PWD/$root/win64/wineprefix" WINEDEBUG=-all
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    /usr/lib/wine/wine64 wineboot -u >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
  fi
  # One X server and one wineserver for every text, started before the first
  # is timed; Shift_JIS texts need Wine's ANSI code page 932.  xvfb-run is a
  # POSIX shell script, which drops exported functions.
  FOLIO_PAGE_INDEX_FOLDER="Z:$PWD/$root/reading-index" LC_ALL=ja_JP.UTF-8 xvfb-run -a bash -c "$(declare -f list)"'
    root=$1 settings=$2 texts=("${@:3}")
    /usr/lib/wine/wine64 "$root/win64/bin/folio.exe" info >/dev/null
    list wine64 "$PWD/$root/reading-index" /usr/lib/wine/wine64 "$root/win64/bin/folio.exe"
    /usr/lib/wine/wineserver -w' bench "$root" "$settings" "${texts[@]}"
fi
echo "Load average $(cut -d' ' -f1-3 /proc/loadavg) at the end."
