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
# (libfolio.ini).  Each language gets a copy of the plug-in with its own
# settings, whose font has that language's characters; the Japanese e-text
# sample's settings also have its notation read (Notation=aozora).
rm -rf out/pages out/plugin
for language in english japanese aozora; do
  plugin="out/plugin/$language"
  mkdir -p "$plugin"
  cp "$root/linux/bin/libfolio.so" "$plugin/"
  cp "samples/$language.ini" "$plugin/libfolio.ini"
  for text in "samples/$language"/*.txt; do
    "$folio" --plugin "$plugin/libfolio.so" extract "$text" -o "out/pages/$(basename "$text" .txt)"
  done
done

# The Japanese e-text as one comic-book archive of PNG pages, for any comic-book reader.
"$folio" extract samples/aozora/wagahai-aozora-sjis.txt --ini samples/aozora.ini --cbz out/wagahai.cbz --force

echo
echo "The pages are in $PWD/out/pages, one folder per sample text."
echo "The Japanese e-text is also a comic-book archive: $PWD/out/wagahai.cbz."
echo "The settings used are in samples/english.ini, samples/japanese.ini and samples/aozora.ini."
