# Cross-building the Windows program on Debian with mingw-w64 (x86_64, POSIX threads).
#
#   cmake --preset windows        # uses this file; see CMakePresets.json
#
# Programs are linked statically (libstdc++, libgcc, winpthread), so that they need nothing
# but Windows' own DLLs; under Wine they run without a DLL path of their own.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VEMO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VEMO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEMO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VEMO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VEMO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
