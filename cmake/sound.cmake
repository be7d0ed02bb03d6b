# The sound service and the sounds it plays.
#
# The four WAV files are synthesised at build time by tools/synth_sounds.cpp into
# VEMO_MEDIA_BUILD_DIR, where an uninstalled program finds them, and installed into
# <datadir>/vemo2/media.

find_package(Threads REQUIRED)

add_executable(vemo_synth_sounds ${PROJECT_SOURCE_DIR}/tools/synth_sounds.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/sound/sound_synth.cpp)
target_include_directories(vemo_synth_sounds PRIVATE ${PROJECT_SOURCE_DIR}/src)

set(VEMO_MEDIA_NAMES "Windows XP Menü Komutu.wav" ringin.wav ringout.wav default.wav)
set(VEMO_MEDIA_FILES ${VEMO_MEDIA_NAMES})
list(TRANSFORM VEMO_MEDIA_FILES PREPEND "${VEMO_MEDIA_BUILD_DIR}/")

add_custom_command(
    OUTPUT ${VEMO_MEDIA_FILES}
    COMMAND vemo_synth_sounds "${VEMO_MEDIA_BUILD_DIR}"
    DEPENDS vemo_synth_sounds
    COMMENT "Synthesising the clock's sounds into ${VEMO_MEDIA_BUILD_DIR}"
    VERBATIM)
add_custom_target(vemo_media ALL DEPENDS ${VEMO_MEDIA_FILES})

if(WIN32)
    add_library(vemo_sound STATIC
        ${PROJECT_SOURCE_DIR}/src/platform/sound/sound_lookup.cpp
        ${PROJECT_SOURCE_DIR}/src/platform/win32/win32_sound.cpp)
    target_link_libraries(vemo_sound PUBLIC vemo_logic PRIVATE winmm)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)
    add_library(vemo_sound STATIC
        ${PROJECT_SOURCE_DIR}/src/platform/sound/sound_lookup.cpp
        ${PROJECT_SOURCE_DIR}/src/platform/pulse/pulse_sound.cpp
        ${PROJECT_SOURCE_DIR}/src/platform/sound/sound_synth.cpp)
    target_link_libraries(vemo_sound PUBLIC vemo_logic Threads::Threads PRIVATE PkgConfig::PULSE)
endif()
target_include_directories(vemo_sound PUBLIC ${PROJECT_SOURCE_DIR}/src)
add_dependencies(vemo_sound vemo_media)

install(FILES ${VEMO_MEDIA_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/vemo2/media)
