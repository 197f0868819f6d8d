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
build() {
  local folder=$1
  shift
  cmake -S . -B "$root/$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOLIO_TESTS=OFF "${@:2}" >/dev/null
  cmake --build "$root/$folder" --target $1 >&2
}
build linux "folio folio_bench_texts"
$wine && build win64 "folio folio_plugin" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
"$root/linux/bin/folio_bench_texts" "$root/texts" --lines 1 --large --novels >/dev/null
texts=(en-novel-2mb-lf-utf8 ja-novel-1mb-crlf-sjis en-100mb-lf-utf8)

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
  # is timed; Shift_JIS texts need Wine's ANSI code page 932.
  export -f list
  export root settings texts_list="${texts[*]}"
  FOLIO_PAGE_INDEX_FOLDER="Z:$PWD/$root/reading-index" LC_ALL=ja_JP.UTF-8 xvfb-run -a bash -c '
    texts=($texts_list)
    /usr/lib/wine/wine64 "$root/win64/bin/folio.exe" info >/dev/null
    list wine64 "$PWD/$root/reading-index" /usr/lib/wine/wine64 "$root/win64/bin/folio.exe"
    /usr/lib/wine/wineserver -w'
fi
echo "Load average $(cut -d' ' -f1-3 /proc/loadavg) at the end."
