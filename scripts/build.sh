#!/usr/bin/env bash
# Builds every target: the native build, the sanitizer build and both Windows
# DLLs, each in a folder of its own under $FOLIO_BUILD_ROOT (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=${FOLIO_BUILD_ROOT:-build}

configure_and_build() {
  local folder=$1
  shift
  cmake -S . -B "$root/$folder" -G Ninja "$@" >/dev/null
  cmake --build "$root/$folder"
}

configure_and_build linux -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOLIO_TESTS=ON
configure_and_build asan -DCMAKE_BUILD_TYPE=Debug -DFOLIO_SANITIZE=ON -DFOLIO_TESTS=ON
configure_and_build win64 -DCMAKE_BUILD_TYPE=Release -DFOLIO_TESTS=ON -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
configure_and_build win32 -DCMAKE_BUILD_TYPE=Release -DFOLIO_TESTS=ON -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake
