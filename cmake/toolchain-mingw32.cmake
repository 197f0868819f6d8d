set(CMAKE_SYSTEM_PROCESSOR i686)
set(FOLIO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake)
# 32-bit programs can't run on these machines: no emulator, no test runs.
