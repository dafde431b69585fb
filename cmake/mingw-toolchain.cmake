# Cross-compiling for 64-bit Windows with mingw-w64 (posix thread model). The static
# libraries that Debian ships only natively (zlib, minizip, libpng, libjpeg) are cross-built
# by scripts/setup into a cache outside the repository; that prefix comes first so that
# FindZLIB does not pick the system's import library.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
if(DEFINED ENV{XINGLV_MINGW_PREFIX})
  set(XINGLV_MINGW_PREFIX "$ENV{XINGLV_MINGW_PREFIX}")
else()
  set(XINGLV_MINGW_PREFIX "$ENV{HOME}/.cache/xinglv/mingw")
endif()
set(CMAKE_FIND_ROOT_PATH "${XINGLV_MINGW_PREFIX}" /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run")
