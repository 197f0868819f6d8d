set(CMAKE_SYSTEM_PROCESSOR i686)
set(FOLIO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake)
# Wine's 32-bit loader (Debian's wine32:i386); the tests give it a prefix of
# its own with WINEARCH=win32.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
