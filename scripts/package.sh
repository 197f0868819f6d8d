#!/usr/bin/env bash
# Builds everything and packs the Windows files into out/folio-windows.zip:
# both plug-ins, the commented settings file, folio.exe and the install text.
set -euo pipefail
cd "$(dirname "$0")/.."
root=${FOLIO_BUILD_ROOT:-build}
scripts/setup.sh
scripts/build.sh

stage=out/package/folio
rm -rf out/package out/folio-windows.zip
mkdir -p "$stage"
# Symbols are of no use to a viewer; without them the files are a fraction of the size.
x86_64-w64-mingw32-strip -o "$stage/folio.sph" "$root/win64/bin/folio.sph"
x86_64-w64-mingw32-strip -o "$stage/folio.exe" "$root/win64/bin/folio.exe"
i686-w64-mingw32-strip -o "$stage/folio.spi" "$root/win32/bin/folio.spi"
# Windows editors and the profile functions expect CR LF.
for text in folio.ini INSTALL.txt; do
  sed 's/\r*$/\r/' "packaging/$text" >"$stage/$text"
done
(cd out/package && zip -q -X -r ../folio-windows.zip folio)
echo "package: $PWD/out/folio-windows.zip"
zip -sf out/folio-windows.zip
