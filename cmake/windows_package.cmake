# The Windows release, beside each other in the build folder:
#   vemo2-1.00-win64.zip   vemo2.exe and a short read-me in Turkish, to unpack anywhere;
#   vemo2-1.00-win64.msi   the installer for one user (packaging/windows/vemo2.wxs), built with
#                          wixl when it is installed (Debian's wixl, tools/install-windows-deps).
#
#   cmake --build --preset windows --target package

set(VEMO_WINDOWS_VERSION "1.00")
set(VEMO_PACKAGE_NAME "vemo2-${VEMO_WINDOWS_VERSION}-win64")
set(VEMO_PACKAGE_DIR "${CMAKE_BINARY_DIR}/package/${VEMO_PACKAGE_NAME}")
set(VEMO_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/${VEMO_PACKAGE_NAME}.zip")
set(VEMO_PACKAGE_MSI "${CMAKE_BINARY_DIR}/${VEMO_PACKAGE_NAME}.msi")
set(VEMO_README "${PROJECT_SOURCE_DIR}/assets/OKUBENI.txt")

add_custom_command(
    OUTPUT ${VEMO_PACKAGE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf "${VEMO_PACKAGE_DIR}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${VEMO_PACKAGE_DIR}"
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vemo2> "${VEMO_PACKAGE_DIR}/vemo2.exe"
    COMMAND ${CMAKE_COMMAND} -E copy "${VEMO_README}" "${VEMO_PACKAGE_DIR}/OKUBENI.txt"
    COMMAND ${CMAKE_COMMAND} -E rm -f "${VEMO_PACKAGE_ZIP}"
    COMMAND ${CMAKE_COMMAND} -E chdir "${VEMO_PACKAGE_DIR}"
            ${CMAKE_COMMAND} -E tar cf "${VEMO_PACKAGE_ZIP}" --format=zip vemo2.exe OKUBENI.txt
    DEPENDS vemo2 "${VEMO_README}"
    COMMENT "Packing ${VEMO_PACKAGE_NAME}.zip"
    VERBATIM)
add_custom_target(package DEPENDS ${VEMO_PACKAGE_ZIP})

find_program(VEMO_WIXL wixl)
if(VEMO_WIXL)
    # Each version has a product code of its own, derived from the fixed upgrade code and the
    # version, so that two builds of one version install as the same product.
    string(UUID VEMO_MSI_PRODUCT_CODE NAMESPACE BC4C55D8-496E-4FC4-ABCD-FDD53196C312
           NAME "vemo2 ${VEMO_WINDOWS_VERSION}" TYPE SHA1 UPPER)
    set(VEMO_WXS "${PROJECT_SOURCE_DIR}/packaging/windows/vemo2.wxs")
    set(VEMO_ICON "${CMAKE_BINARY_DIR}/assets/vemo2.ico")
    # wixl takes the files by paths relative to the folder it runs in.
    file(RELATIVE_PATH VEMO_README_FROM_BUILD "${CMAKE_BINARY_DIR}" "${VEMO_README}")
    add_custom_command(
        OUTPUT ${VEMO_PACKAGE_MSI}
        COMMAND ${VEMO_WIXL} --arch x64 -D "Version=${VEMO_WINDOWS_VERSION}"
                -D "ProductCode=${VEMO_MSI_PRODUCT_CODE}" -D "ExeFile=$<TARGET_FILE_NAME:vemo2>"
                -D "ReadmeFile=${VEMO_README_FROM_BUILD}" -D "IconFile=assets/vemo2.ico"
                -o "${VEMO_PACKAGE_MSI}" "${VEMO_WXS}"
        WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
        DEPENDS vemo2 "${VEMO_ICON}" "${VEMO_WXS}" "${VEMO_README}"
        COMMENT "Building the installer ${VEMO_PACKAGE_NAME}.msi"
        VERBATIM)
    # Built with the program, for the install test under Wine.
    add_custom_target(vemo_msi ALL DEPENDS ${VEMO_PACKAGE_MSI})
    add_dependencies(vemo_msi vemo_icons)
    add_dependencies(package vemo_msi)
else()
    message(STATUS "wixl not found: the package target makes the zip alone, no msi")
endif()
