#!/usr/bin/env bash
# Checks that a change of the code leaves every page as it was: draws the
# pages of the bundled samples and of a mixed corpus with the working tree and
# with an earlier commit, natively and (64-bit) under Wine, and compares them
# byte for byte.  The corpus is the benchmark's prose, English and Japanese,
# with LF and CR LF line ends, in UTF-8, Shift_JIS and UTF-16LE, one line in a
# hundred long enough to be read in pieces; the samples add UTF-16BE and UTF-8
# with a byte-order mark, and a text full of e-text markup, drawn with the
# default notation (none), as written.  Every page of every text is drawn.
#
#   scripts/compare_pages.sh [REV] [--native-only]    (REV: default HEAD)
#
# Exit status 0 when every page is identical.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(realpath -m "${FOLIO_BUILD_ROOT:-build}/compare")
rev=HEAD
wine=true
for argument in "$@"; do
  case $argument in
    --native-only) wine=false ;;
    -*) echo "usage: scripts/compare_pages.sh [REV] [--native-only]" >&2; exit 2 ;;
    *) rev=$argument ;;
  esac
done

scripts/setup.sh
rm -rf "$root/before-source" "$root/pages"
mkdir -p "$root"
git worktree prune
git worktree add --detach "$root/before-source" "$rev" >/dev/null
trap 'git worktree remove --force "$root/before-source"' EXIT

# build SIDE SOURCE: the folio command and the plug-in, native and 64-bit.
build() {
  local side=$1 source=$2
  cmake -S "$source" -B "$root/$side/linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOLIO_TESTS=OFF >/dev/null
  cmake --build "$root/$side/linux" --target folio folio_plugin folio_bench_texts >/dev/null
  if $wine; then
    cmake -S "$source" -B "$root/$side/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOLIO_TESTS=OFF \
      -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" >/dev/null
    cmake --build "$root/$side/win64" --target folio folio_plugin >/dev/null
  fi
}
build before "$root/before-source"
build after "$PWD"

corpus=$root/corpus
rm -rf "$corpus"
"$root/after/linux/bin/folio_bench_texts" "$corpus" --lines 300 >/dev/null
texts=(samples/english/*.txt samples/japanese/*.txt samples/aozora/*.txt "$corpus"/*.txt)

# draw SIDE PLATFORM [RUNNER]: every page of every text into pages/SIDE/PLATFORM.
draw() {
  local side=$1 platform=$2 runner=("${@:3}")
  local bin=$root/$side/$platform/bin plugin_name=libfolio.so folio=folio
  [[ $platform == win64 ]] && plugin_name=folio.sph folio=folio.exe
  for text in "${texts[@]}"; do
    local name language=english
    name=$(basename "$text" .txt)
    [[ $name == japanese-* || $name == ja-* || $name == *-aozora-* ]] && language=japanese
    local plugin=$root/plugin/$side-$platform-$language
    mkdir -p "$plugin"
    cp "$bin/$plugin_name" "$plugin/"
    cp "samples/$language.ini" "$plugin/${plugin_name%.*}.ini"
    "${runner[@]}" "$bin/$folio" --plugin "$plugin/$plugin_name" extract "$text" \
      -o "$root/pages/$side/$platform/$name" >/dev/null
  done
}

# compare PLATFORM: the pages of both sides, file by file.
compare() {
  local platform=$1 before=$root/pages/before/$1 after=$root/pages/after/$1
  local pages differing
  pages=$(find "$after" -name '*.bmp' | wc -l)
  if differing=$(diff -rq "$before" "$after"); then
    echo "$platform: all $pages pages identical"
    return 0
  fi
  echo "$platform: pages differ ($pages pages after the change):"
  echo "$differing" | head -20
  return 1
}

status=0
for side in before after; do LC_ALL=C.UTF-8 draw "$side" linux; done
compare linux || status=1
if $wine; then
  export WINEPREFIX=$root/wineprefix WINEDEBUG=-all
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    /usr/lib/wine/wine64 wineboot -u >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
  fi
  # One X server for both sides; Shift_JIS texts need Wine's ANSI code page 932.
  export root
  LC_ALL=ja_JP.UTF-8 xvfb-run -a bash -c "$(declare -f draw); $(declare -p texts);"'
    for side in before after; do draw "$side" win64 /usr/lib/wine/wine64; done
    /usr/lib/wine/wineserver -w'
  compare win64 || status=1
fi
exit $status
