#!/usr/bin/env bash
# The main job: sets up the machine, builds the native library and the folio
# command, then has the folio command turn every bundled sample text into
# pages (and the Japanese e-text into a comic-book archive) and says where
# they are.  (scripts/test.sh builds everything else.)
set -euo pipefail
cd "$(dirname "$0")/.."
root=${FOLIO_BUILD_ROOT:-build}
scripts/setup.sh --native
cmake -S . -B "$root/linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOLIO_TESTS=OFF >/dev/null
cmake --build "$root/linux" --target folio

folio="$root/linux/bin/folio"
"$folio" info

# The plug-in reads its settings from the INI file beside it, named like it
# (libfolio.ini).  Each set of settings gets a copy of the plug-in: each
# language's font has that language's characters; the Japanese e-text sample
# is drawn with its notation read (Notation=aozora), and again vertically,
# as Japanese books are printed (Vertical=1), as the vertical sample is.
rm -rf out/pages out/plugin
# SETTINGS:TEXTS[:SUFFIX] draws samples/TEXTS/*.txt with samples/SETTINGS.ini
# into out/pages/NAME[SUFFIX].
for run in english:english japanese:japanese aozora:aozora vertical:vertical aozora-vertical:aozora:-vertical; do
  IFS=: read -r settings texts suffix <<<"$run"
  plugin="out/plugin/$settings"
  mkdir -p "$plugin"
  cp "$root/linux/bin/libfolio.so" "$plugin/"
  cp "samples/$settings.ini" "$plugin/libfolio.ini"
  for text in "samples/$texts"/*.txt; do
    "$folio" --plugin "$plugin/libfolio.so" extract "$text" -o "out/pages/$(basename "$text" .txt)$suffix"
  done
done

# The Japanese e-text as one comic-book archive of PNG pages, for any comic-book reader.
"$folio" extract samples/aozora/wagahai-aozora-sjis.txt --ini samples/aozora.ini --cbz out/wagahai.cbz --force
# And set vertically, a book read from right to left.
"$folio" extract samples/aozora/wagahai-aozora-sjis.txt --ini samples/aozora-vertical.ini \
  --cbz out/wagahai-vertical.cbz --force

echo
echo "The pages are in $PWD/out/pages, one folder per sample text."
echo "The Japanese e-text is also a comic-book archive: $PWD/out/wagahai.cbz,"
echo "and set vertically, read from right to left: $PWD/out/wagahai-vertical.cbz."
echo "The settings used are in samples/english.ini, samples/japanese.ini, samples/aozora.ini,"
echo "samples/vertical.ini and samples/aozora-vertical.ini."
