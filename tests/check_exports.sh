#!/usr/bin/env bash
# Checks a plug-in DLL's tables: exactly the ten interface functions exported
# under their plain names, and only system DLLs imported.
set -euo pipefail
dll=$1
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
tables=$("$objdump" -p "$dll")

exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$tables" | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
expected=$(printf '%s\n' GetArchiveInfo GetArchiveInfoW GetFile GetFileInfo GetFileInfoW GetFileW \
  GetPluginInfo GetPluginInfoW IsSupported IsSupportedW | sort)
if [[ "$exports" != "$expected" ]]; then
  echo "exports of $dll:"; echo "$exports"; echo "expected:"; echo "$expected"
  exit 1
fi

system_dlls='^(kernel32|user32|gdi32|shlwapi|shell32|d2d1|dwrite|msvcrt|ole32)\.dll$'
while read -r name; do
  if ! grep -qiE "$system_dlls" <<<"$name"; then
    echo "$dll imports $name, which is not a system DLL"
    exit 1
  fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$tables")
echo "$dll: ten plain exports; imports: $(sed -n 's/^\s*DLL Name: //p' <<<"$tables" | tr '\n' ' ')"
