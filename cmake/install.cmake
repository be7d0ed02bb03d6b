# Desktop integration and the Windows resources.
#
# The icons are drawn by the program's own code (vemo::drawClockIcon): tools/render_icon.cpp
# renders the 48 x 48 PNG of the hicolor theme and the Windows icon file into
# VEMO_ICON_BUILD_DIR at build time, on Qt's offscreen platform. The scalable icon, the
# .desktop file and the AppStream metainfo are hand-written files in assets/.

set(VEMO_APP_ID io.github.vemo2.Vemo2)
set(VEMO_ASSETS_DIR "${PROJECT_SOURCE_DIR}/assets")
set(VEMO_ICON_BUILD_DIR "${CMAKE_BINARY_DIR}/assets")
set(VEMO_ICON_PNG "${VEMO_ICON_BUILD_DIR}/${VEMO_APP_ID}.png")
set(VEMO_ICON_ICO "${VEMO_ICON_BUILD_DIR}/vemo2.ico")

# The Windows program renders its icon with its own canvas and links the resource script
# itself (src/platform/win32/CMakeLists.txt); it installs nothing here.
if(WIN32)
    return()
endif()

add_executable(vemo_render_icon ${PROJECT_SOURCE_DIR}/tools/render_icon.cpp)
target_link_libraries(vemo_render_icon PRIVATE vemo_qt)

# Leak reports from the toolkit's one-time allocations would fail a sanitizer build here. A cross
# build runs the renderer under its emulator.
add_custom_command(
    OUTPUT ${VEMO_ICON_PNG} ${VEMO_ICON_ICO}
    COMMAND ${CMAKE_COMMAND} -E make_directory "${VEMO_ICON_BUILD_DIR}"
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:vemo_render_icon> "${VEMO_ICON_PNG}"
            "${VEMO_ICON_ICO}"
    DEPENDS vemo_render_icon
    COMMENT "Rendering the clock's icons into ${VEMO_ICON_BUILD_DIR}"
    VERBATIM)
add_custom_target(vemo_icons ALL DEPENDS ${VEMO_ICON_PNG} ${VEMO_ICON_ICO})

install(FILES ${VEMO_ASSETS_DIR}/${VEMO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VEMO_ICON_PNG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
install(FILES ${VEMO_ASSETS_DIR}/${VEMO_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VEMO_ASSETS_DIR}/${VEMO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
