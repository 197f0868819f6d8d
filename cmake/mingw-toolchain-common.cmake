# Shared by both MinGW-w64 toolchain files; they set FOLIO_MINGW_TRIPLE first.
# The -posix compilers give std::mutex and std::thread (GoogleTest needs them).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${FOLIO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FOLIO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FOLIO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FOLIO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
