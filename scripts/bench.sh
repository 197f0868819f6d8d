#!/usr/bin/env bash
# Benchmarks folio: builds the plug-in and the benchmark natively and for
# 64-bit and 32-bit Windows, writes the benchmark texts, measures every text
# natively and (the DirectWrite backend, folio.sph and folio.spi) under Wine,
# and prints one table per platform.
# A full run also records the tables, the machine and the date in
# docs/performance.md.
#
#   scripts/bench.sh [--quick] [--large] [--native-only | --wine-only | --only LIST] [--timeout-minutes N] [--wall-clock]
#
#   --quick            the 5,000-line texts only; docs/performance.md is left alone
#   --large            adds a 100 MB English text (natively, without the peer)
#                      and a 2 MB one, a novel's length (natively)
#   --native-only      skips the Wine runs
#   --wine-only        skips the native run (the peer's figures come from the last one)
#   --only LIST        the runs named, of native, win64 and win32 (say --only win32)
#   --timeout-minutes  skip a measurement predicted to take longer (default 10)
#   --wall-clock       wall-clock times instead of CPU times (for a quiet machine)
set -euo pipefail
cd "$(dirname "$0")/.."
root=${FOLIO_BUILD_ROOT:-build}/bench

quick=false
large=false
native=true
win64=true
win32=true
timeout_minutes=10
clock=
while (($#)); do
  case $1 in
    --quick) quick=true ;;
    --large) large=true ;;
    --native-only) win64=false win32=false ;;
    --wine-only) native=false ;;
    --only)
      native=false win64=false win32=false
      for run in ${2//,/ }; do
        case $run in
          native | win64 | win32) declare "$run=true" ;;
          *) echo "bench: --only takes native, win64 and win32, not '$run'" >&2; exit 2 ;;
        esac
      done
      shift ;;
    --timeout-minutes) timeout_minutes=$2; shift ;;
    --wall-clock) clock=--wall-clock ;;
    *) echo "usage: scripts/bench.sh [--quick] [--large] [--native-only | --wine-only | --only LIST] [--timeout-minutes N] [--wall-clock]" >&2; exit 2 ;;
  esac
  shift
done

scripts/setup.sh
# The peer: paps (text to PostScript pages) and Ghostscript (pages to BMP files).
peer_missing=()
for package in paps ghostscript; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || peer_missing+=("$package")
done
if ((${#peer_missing[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${peer_missing[@]}" >/dev/null
  else
    echo "bench: the peer is missing (run as root to install): ${peer_missing[*]}" >&2
  fi
fi

build() {
  local folder=$1
  shift
  cmake -S . -B "$root/$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOLIO_TESTS=OFF "${@:2}" >/dev/null
  cmake --build "$root/$folder" --target $1 >&2
}
build linux "folio_plugin folio_bench folio_bench_texts folio_bench_png"
$win64 && build win64 "folio_plugin folio_bench" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
$win32 && build win32 "folio_plugin folio_bench" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake

sizes=(5000)
$quick || sizes+=(50000)
"$root/linux/bin/folio_bench_texts" "$root/texts" --lines "1,$(IFS=,; echo "${sizes[*]}")$($large && echo ,12500)" \
  $($large && echo --large) >/dev/null
# One line: what a listing and an extraction cost before their first line.
texts=("$root/texts/en-1-lf-utf8.txt" "$root/texts/ja-1-lf-utf8.txt")
for language in en ja; do
  for size in "${sizes[@]}"; do
    for line_end in lf crlf; do
      for encoding in utf8 sjis utf16le; do
        texts+=("$root/texts/$language-$size-$line_end-$encoding.txt")
      done
    done
  done
done
# Japanese e-texts, Shift_JIS with CR LF as they come, read with their notation.
for size in "${sizes[@]}"; do texts+=("$root/texts/ja-aozora-$size-crlf-sjis.txt"); done

results=$root/results
mkdir -p "$results"

# measure TABLE PLUGIN TEXT COMMAND...: one row of TABLE from the runner that
# COMMAND starts; a runner that fails leaves a row saying so.  The peer would
# write gigabytes of pages for the large text, so it sits that one out; it
# would draw the e-texts' markup as text, so it sits those out too, which are
# read with Notation=aozora and also listed without it, for a row of
# TABLE-notation.md. The 5,000-line LF UTF-8 texts also turn a page with the
# plug-in unloaded after every call, for a row of TABLE-page-turns.md. The
# Japanese texts in UTF-8 and the e-texts are also set vertically, for a row
# of TABLE-vertical.md.
measure() {
  local table=$1 plugin=$2 text=$3 font="DejaVu Sans" peer=(--peer-results "$results/peer.txt") notation=() workers=() turns=()
  local vertical=()
  shift 3
  [[ $(basename "$text") == ja-* ]] && font="Noto Sans CJK JP"
  [[ $(basename "$text") == *-100mb-* ]] && peer=()
  [[ $(basename "$text") == ja-aozora-* ]] && peer=() notation=(--notation aozora --notation-table "${table%.md}-notation.md")
  [[ $(basename "$text") == *-50000-lf-utf8* || $(basename "$text") == *-100mb-* ]] && workers=(--workers-table "${table%.md}-workers.md")
  [[ $(basename "$text") == ??-5000-lf-utf8* ]] && turns=(--page-turn-table "${table%.md}-page-turns.md")
  [[ $(basename "$text") =~ ^ja-(aozora-[0-9]+-crlf-sjis|[0-9]+-lf-utf8)\.txt$ ]] && vertical=(--vertical-table "${table%.md}-vertical.md")
  "$@" --plugin "$plugin" --font "$font" --table "$table" "${peer[@]}" "${notation[@]}" "${workers[@]}" "${turns[@]}" "${vertical[@]}" \
    --timeout-minutes "$timeout_minutes" $clock "$text" ||
    echo "| $(basename "$text" .txt) | the runner failed (exit $?) |" | tee -a "$table"
}
export root results timeout_minutes clock

if $native; then
  echo "## Linux (Pango and Cairo)"
  rm -f "$results/linux.md" "$results/linux-notation.md" "$results/linux-workers.md" "$results/linux-page-turns.md" \
    "$results/linux-vertical.md" "$results/peer.txt"
  native_texts=("${texts[@]}")
  $large && native_texts+=("$root/texts/en-12500-lf-utf8.txt" "$root/texts/en-100mb-lf-utf8.txt")
  # A UTF-8 locale, whose ANSI-coded texts folio reads as CP932 (Shift_JIS).
  for text in "${native_texts[@]}"; do
    LC_ALL=C.UTF-8 measure "$results/linux.md" "$root/linux/bin/libfolio.so" "$text" "$root/linux/bin/folio_bench"
  done
  # The folio command's PNG pages against the BMP pages (Linux's alone).
  rm -f "$results/linux-png.md"
  for size in "${sizes[@]}"; do
    LC_ALL=C.UTF-8 "$root/linux/bin/folio_bench_png" --plugin "$root/linux/bin/libfolio.so" --font "DejaVu Sans" \
      --table "$results/linux-png.md" "$root/texts/en-$size-lf-utf8.txt"
    LC_ALL=C.UTF-8 "$root/linux/bin/folio_bench_png" --plugin "$root/linux/bin/libfolio.so" --font "Noto Sans CJK JP" \
      --table "$results/linux-png.md" "$root/texts/ja-$size-lf-utf8.txt"
  done
fi

# wine_run FOLDER LOADER PLUGIN: every text through one Windows build under
# Wine, in a prefix of its own.
wine_run() {
  local folder=$1 loader=$2 plugin=$3
  rm -f "$results/$folder.md" "$results/$folder-notation.md" "$results/$folder-workers.md" "$results/$folder-page-turns.md" \
    "$results/$folder-vertical.md"
  export WINEPREFIX="$PWD/$root/$folder/wineprefix" WINEDEBUG=-all
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    "$loader" wineboot -u >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
  fi
  # One X server for the whole run; Shift_JIS texts need Wine's ANSI code page 932.
  # xvfb-run is a POSIX shell script, which drops exported functions.
  LC_ALL=ja_JP.UTF-8 xvfb-run -a bash -c "$(declare -f measure)"'
    for text in "${@:4}"; do measure "$results/$1.md" "$3" "$text" "$2" "$root/$1/bin/folio_bench.exe"; done
    /usr/lib/wine/wineserver -w' bench "$folder" "$loader" "$root/$folder/bin/$plugin" "${texts[@]}"
}

if $win64; then
  echo "## Windows backend under Wine (DirectWrite and Direct2D)"
  (wine_run win64 /usr/lib/wine/wine64 folio.sph)
fi

if $win32; then
  echo "## The 32-bit plug-in under Wine's 32-bit loader (DirectWrite and Direct2D)"
  # A kernel with IA-32 emulation off starts no 32-bit program (the shell's 126).
  probe=0
  /usr/lib/wine/wine --version >/dev/null 2>&1 || probe=$?
  if ((probe == 126)); then
    echo "bench: not measured: this kernel can't start 32-bit programs, Wine's 32-bit loader included" >&2
    rm -f "$results/win32.md" "$results/win32-notation.md" "$results/win32-workers.md" "$results/win32-page-turns.md" \
      "$results/win32-vertical.md"
  else
    (export WINEARCH=win32 && wine_run win32 /usr/lib/wine/wine folio.spi)
  fi
fi

$quick && exit 0

# The tables go between the markers of docs/performance.md, with the machine and the date.
report=$results/report.md
{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') by \`scripts/bench.sh${clock:+ $clock}\` (timeout $timeout_minutes min)."
  echo "Machine: $(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -1), $(nproc) cores," \
    "$(awk '/^MemTotal:/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo) memory;" \
    "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end of the run."
  echo "Versions: Pango $(pkg-config --modversion pango), $(/usr/lib/wine/wine64 --version 2>/dev/null || echo 'no Wine')," \
    "paps $(dpkg-query -W -f='${Version}' paps 2>/dev/null || echo none)," \
    "Ghostscript $(gs --version 2>/dev/null || echo none)."
  # platform_tables NAME TITLE: a platform's table, then its e-texts' listings with and without notation.
  platform_tables() {
    [[ -f "$results/$1.md" ]] || return 0
    printf '\n### %s\n\n' "$2"
    cat "$results/$1.md"
    if [[ -f "$results/$1-notation.md" ]]; then
      printf '\nThe Japanese e-texts listed with Notation=aozora and, in the same run, without it:\n\n'
      cat "$results/$1-notation.md"
    fi
    if [[ -f "$results/$1-vertical.md" ]]; then
      printf '\nThe Japanese texts and e-texts on vertical pages (Vertical=1) and, in the same run, across:\n\n'
      cat "$results/$1-vertical.md"
    fi
    if [[ -f "$results/$1-png.md" ]]; then
      printf '\nEvery page of the unlimited listing as the BMP file that the plug-in hands over, and encoded as PNG by the folio command (--png), in the same run:\n\n'
      cat "$results/$1-png.md"
    fi
    if [[ -f "$results/$1-workers.md" ]]; then
      printf '\nListing with MaxPage=0 from an empty page index, with measuring workers (FOLIO_MEASURING_WORKERS), in wall-clock time:\n\n'
      cat "$results/$1-workers.md"
    fi
    if [[ -f "$results/$1-page-turns.md" ]]; then
      printf '\nThe middle page turned with the plug-in kept loaded and with it loaded for the call and unloaded after, in turns in one process (medians of the rounds):\n\n'
      cat "$results/$1-page-turns.md"
    fi
  }
  platform_tables linux "Linux (Pango and Cairo)"
  platform_tables win64 "Windows backend under Wine (DirectWrite and Direct2D)"
  platform_tables win32 "The 32-bit plug-in under Wine's 32-bit loader (folio.spi)"
} >"$report"
awk -v report="$report" '
  /<!-- bench:begin -->/ { print; while ((getline line < report) > 0) print line; skipping = 1; next }
  /<!-- bench:end -->/ { skipping = 0 }
  !skipping' docs/performance.md >"$results/performance.md"
cp "$results/performance.md" docs/performance.md
echo "bench: docs/performance.md updated" >&2
