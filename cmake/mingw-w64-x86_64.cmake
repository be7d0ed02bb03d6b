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

# Reproducible: the same sources give the same vemo2.exe byte for byte, wherever and whenever
# they are built (tools/check-reproducible-exe). The linker leaves the time stamp of the PE
# header at zero, and the compiler writes the source folder as "." wherever it records a file
# name. SOURCE_DATE_EPOCH, where set, stands in for the build's date in __DATE__ and __TIME__.
get_filename_component(VEMO_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_C_FLAGS_INIT "-ffile-prefix-map=${VEMO_SOURCE_ROOT}=.")
set(CMAKE_CXX_FLAGS_INIT "-ffile-prefix-map=${VEMO_SOURCE_ROOT}=.")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
