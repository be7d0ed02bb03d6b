# The Windows release: vemo2-1.00-win64.zip with vemo2.exe and a short read-me in Turkish.
#
#   cmake --build --preset windows --target package

set(VEMO_PACKAGE_NAME "vemo2-1.00-win64")
set(VEMO_PACKAGE_DIR "${CMAKE_BINARY_DIR}/package/${VEMO_PACKAGE_NAME}")
set(VEMO_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/${VEMO_PACKAGE_NAME}.zip")

add_custom_command(
    OUTPUT ${VEMO_PACKAGE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf "${VEMO_PACKAGE_DIR}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${VEMO_PACKAGE_DIR}"
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vemo2> "${VEMO_PACKAGE_DIR}/vemo2.exe"
    COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/assets/OKUBENI.txt"
            "${VEMO_PACKAGE_DIR}/OKUBENI.txt"
    COMMAND ${CMAKE_COMMAND} -E rm -f "${VEMO_PACKAGE_ZIP}"
    COMMAND ${CMAKE_COMMAND} -E chdir "${VEMO_PACKAGE_DIR}"
            ${CMAKE_COMMAND} -E tar cf "${VEMO_PACKAGE_ZIP}" --format=zip vemo2.exe OKUBENI.txt
    DEPENDS vemo2 "${PROJECT_SOURCE_DIR}/assets/OKUBENI.txt"
    COMMENT "Packing ${VEMO_PACKAGE_NAME}.zip"
    VERBATIM)
add_custom_target(package DEPENDS ${VEMO_PACKAGE_ZIP})
