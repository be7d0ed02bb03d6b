# Cross-building the clock on Debian for 64-bit ARM Linux (aarch64): a Raspberry Pi 3, 4 or 5
# under Raspberry Pi OS or Debian arm64.
#
#   cmake --preset arm64          # uses this file; see CMakePresets.json
#
# The compiler is Debian's aarch64-linux-gnu cross compiler (crossbuild-essential-arm64); the
# libraries are Debian's own arm64 packages (qt6-base-dev:arm64 and the others that
# tools/install-arm64-deps installs), which multiarch puts under /usr/lib/aarch64-linux-gnu
# beside the native ones, with no root file system of their own. The programs the build runs
# (the icon's and the sounds' tools) and the tests run under qemu-aarch64-static.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(VEMO_CROSS_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${VEMO_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${VEMO_CROSS_TRIPLET}-g++)
# Debian's name of the architecture, for dpkg-buildflags, dpkg-shlibdeps and the package.
set(VEMO_DEB_HOST_ARCH arm64)

# pkg-config with the arm64 search path (the .pc files in /usr/lib/aarch64-linux-gnu/pkgconfig).
set(PKG_CONFIG_EXECUTABLE ${VEMO_CROSS_TRIPLET}-pkg-config)

# Libraries and CMake packages from the target's multiarch folders, programs from the build
# machine's: multiarch keeps both architectures under the one root, so the search is narrowed by
# the library architecture rather than by a root of the target's own.
set(CMAKE_LIBRARY_ARCHITECTURE ${VEMO_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# arm64 programs run here under the user-mode emulator, called by name: the kernel's binfmt
# handler for them may be missing. Multiarch puts the arm64 loader and libraries where the
# program looks for them, /lib/ld-linux-aarch64.so.1 and /usr/lib/aarch64-linux-gnu.
find_program(VEMO_QEMU_AARCH64 qemu-aarch64-static REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VEMO_QEMU_AARCH64})
