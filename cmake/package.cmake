# The manual pages, and the Debian package: `make package` builds build/vemo2_1.00-1_amd64.deb,
# `make package-arm64` the cross-built build-arm64/vemo2_1.00-1_arm64.deb.
#
# CPack's DEB generator packs what `cmake --install` installs, under /usr, stripped. The
# libraries' packages come from dpkg-shlibdeps; the Qt platform plugins and the fonts that the
# dial's faces are mapped to are named by hand, since the program loads them at run time and
# no linker records them. The Debian changelog goes into the package alone: an install into
# /usr/local has no use for it.
#
# Every build of one commit packs the same bytes, wherever it is built and whenever: the
# compiler maps the source folder's name away (cmake/hardening.cmake), CPack orders the files,
# owns them by root and stamps them, the archive members too, with SOURCE_DATE_EPOCH, which
# cpack takes from the last commit as it starts (tools/check-reproducible-deb checks it).

if(WIN32)
    return()
endif()

find_program(VEMO_GZIP gzip REQUIRED)

set(VEMO_DEB_VERSION_UPSTREAM 1.00)
set(VEMO_DEB_RELEASE 1)
set(VEMO_DEB_VERSION "${VEMO_DEB_VERSION_UPSTREAM}-${VEMO_DEB_RELEASE}")
set(VEMO_DEB_MAINTAINER
    "Vemo2 developers <maintainers@users.noreply.c-seed-3a4ecf50.example>"
    CACHE STRING "Maintainer of the Debian package: name <address>")

set(VEMO_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(VEMO_DOC_BUILD_DIR "${CMAKE_BINARY_DIR}/doc")
set(VEMO_DEB_CHANGELOG "${VEMO_DOC_BUILD_DIR}/changelog.Debian")
configure_file(${VEMO_PACKAGING_DIR}/deb/changelog.in ${VEMO_DEB_CHANGELOG} @ONLY)

# The pages and the changelog compressed as Debian wants them: gzip -9, without the original's
# name and time stamp, so that two builds give the same bytes.
function(vemo_gzip source copy)
    add_custom_command(
        OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
        COMMAND ${VEMO_GZIP} -9nkf ${copy}
        DEPENDS ${source}
        VERBATIM)
endfunction()
vemo_gzip(${VEMO_PACKAGING_DIR}/man/vemo2.1 ${VEMO_DOC_BUILD_DIR}/man1/vemo2.1)
vemo_gzip(${VEMO_PACKAGING_DIR}/man/vemo2.tr.1 ${VEMO_DOC_BUILD_DIR}/tr/man1/vemo2.1)
add_custom_command(
    OUTPUT ${VEMO_DEB_CHANGELOG}.gz
    COMMAND ${VEMO_GZIP} -9nkf ${VEMO_DEB_CHANGELOG}
    DEPENDS ${VEMO_DEB_CHANGELOG}
    VERBATIM)
add_custom_target(vemo_docs ALL
    DEPENDS ${VEMO_DOC_BUILD_DIR}/man1/vemo2.1.gz ${VEMO_DOC_BUILD_DIR}/tr/man1/vemo2.1.gz
            ${VEMO_DEB_CHANGELOG}.gz)

install(FILES ${VEMO_DOC_BUILD_DIR}/man1/vemo2.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VEMO_DOC_BUILD_DIR}/tr/man1/vemo2.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/tr/man1)
install(FILES ${VEMO_PACKAGING_DIR}/deb/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Run by CPack alone, while it stages the package: the files land in DESTDIR under the
# packaging prefix, /usr.
# Folders get these permissions whatever the umask of the build: the ones the script makes too.
set(VEMO_DEB_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(VEMO_DEB_INSTALL_SCRIPT "${CMAKE_BINARY_DIR}/deb_install.cmake")
file(CONFIGURE OUTPUT ${VEMO_DEB_INSTALL_SCRIPT} CONTENT [[
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS @VEMO_DEB_DIRECTORY_PERMISSIONS@)
file(INSTALL "@VEMO_DEB_CHANGELOG@.gz" DESTINATION "${CPACK_PACKAGING_INSTALL_PREFIX}/@CMAKE_INSTALL_DOCDIR@"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
]] @ONLY)

# Read by cpack as it starts. Outside a git checkout, the time of the changelog's last entry.
# A cross build's package is of the architecture it builds for (VEMO_DEB_HOST_ARCH, from its
# toolchain file), and dpkg-shlibdeps looks for the libraries the program needs among that
# architecture's.
set(VEMO_DEB_EPOCH_SCRIPT "${CMAKE_BINARY_DIR}/deb_epoch.cmake")
file(CONFIGURE OUTPUT ${VEMO_DEB_EPOCH_SCRIPT} CONTENT [[
if(NOT "@VEMO_DEB_HOST_ARCH@" STREQUAL "")
    set(ENV{DEB_HOST_ARCH} "@VEMO_DEB_HOST_ARCH@")
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "@PROJECT_SOURCE_DIR@" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT epoch MATCHES "^[0-9]+$")
        execute_process(COMMAND dpkg-parsechangelog -l "@VEMO_DEB_CHANGELOG@" -S Timestamp
                        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
]] @ONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PROJECT_CONFIG_FILE ${VEMO_DEB_EPOCH_SCRIPT})
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME vemo2)
set(CPACK_PACKAGE_VENDOR "Vemo2 developers")
set(CPACK_PACKAGE_VERSION ${VEMO_DEB_VERSION_UPSTREAM})
set(CPACK_PACKAGE_CONTACT "${VEMO_DEB_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "round desk clock with a daily alarm")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_SCRIPTS ${VEMO_DEB_INSTALL_SCRIPT})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${VEMO_DEB_DIRECTORY_PERMISSIONS})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME vemo2)
set(CPACK_DEBIAN_PACKAGE_VERSION ${VEMO_DEB_VERSION_UPSTREAM})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VEMO_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VEMO_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(VEMO_DEB_HOST_ARCH)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${VEMO_DEB_HOST_ARCH})
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, fonts-liberation2, fonts-urw-base35, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
Vemo2 shows one round window with a dial of 61 marks, the 12-hour and 24-hour
numerals, second, minute and hour hands, the time, the date with the Turkish
month name, the weekday and the user's name, which it asks for at start-up.
It ticks every second and chimes on every full hour and half hour.

A click on the bell opens a small panel that sets a daily alarm, shown by a
red fourth hand; a click on "Kapat" closes the clock. All its text is
Turkish.]])

include(CPack)

# A cross build's package is checked, installed and run under the emulator by one script of
# its own (tests/arm64), which runs the package test too.
if(VEMO_BUILD_TESTS AND CMAKE_CROSSCOMPILING)
    add_subdirectory(tests/arm64)
elseif(VEMO_BUILD_TESTS)
    add_subdirectory(tests/package)
endif()
