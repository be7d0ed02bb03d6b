# Debian's hardening, for the program and everything built with it: the flags dpkg-buildflags
# gives with every hardening feature on (stack protector, fortified functions, format string
# checks, relocations read-only and bound at start-up; Debian's compiler makes its executables
# position-independent by itself). The build type keeps the say over optimisation and debug
# information; the file prefix map, which takes the source folder's name out of the binaries
# for a reproducible package, stays.

if(WIN32)
    message(FATAL_ERROR "VEMO_HARDENING takes Debian's flags, for Linux builds only")
endif()

# A cross build asks for the flags of the architecture it builds for (VEMO_DEB_HOST_ARCH, from
# its toolchain file): some features are on for some architectures only.
set(VEMO_BUILDFLAGS_ENV DEB_BUILD_MAINT_OPTIONS=hardening=+all)
if(VEMO_DEB_HOST_ARCH)
    list(APPEND VEMO_BUILDFLAGS_ENV DEB_HOST_ARCH=${VEMO_DEB_HOST_ARCH})
endif()
find_program(VEMO_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env ${VEMO_BUILDFLAGS_ENV} ${VEMO_DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags
        OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O.?)$")
    set(VEMO_HARDENING_${kind} ${flags})
endforeach()
set(flags ${VEMO_HARDENING_CPPFLAGS} ${VEMO_HARDENING_CXXFLAGS} ${VEMO_HARDENING_LDFLAGS})
list(JOIN flags " " flags)
message(STATUS "Debian's hardening flags: ${flags}")
add_compile_options(${VEMO_HARDENING_CPPFLAGS} ${VEMO_HARDENING_CXXFLAGS})
add_link_options(${VEMO_HARDENING_LDFLAGS})
