# The Windows downloads, built with the games: yarnlet-<version>-windows-x64.zip,
# the games, a launcher for each that keeps its window open at the end, a
# README and the licence in a folder of their own, with CR LF line ends
# for Notepad and cmd; and yarnlet-<version>-windows-x64.msi, the
# installer, where wixl is there to build it. Each game carries the
# series' icon and its version, which Explorer shows.
set(YARNLET_ZIP_FOLDER yarnlet-${PROJECT_VERSION}-windows-x64)
set(YARNLET_ZIP ${PROJECT_BINARY_DIR}/${YARNLET_ZIP_FOLDER}.zip)

# The publisher is the holder of the licence's copyright. The icon is kept
# rendered, so that building needs no image tools: data/yarnlet.svg at 16,
# 24, 32, 48 and 256 pixels with rsvg-convert -w N -h N, each through
# optipng -o7 -strip all -nc -nb, then icotool -c -r for each.
file(STRINGS LICENSE YARNLET_COPYRIGHT REGEX "^Copyright ")
string(REGEX REPLACE "^Copyright \\(c\\) [0-9, -]+ " "" YARNLET_PUBLISHER "${YARNLET_COPYRIGHT}")
set(YARNLET_ICO ${PROJECT_SOURCE_DIR}/packaging/windows/yarnlet.ico)
enable_language(RC)
foreach(GAME IN LISTS YARNLET_GAMES)
    set(NAME "${name_${GAME}}")
    configure_file(packaging/windows/game.rc.in ${GAME}.rc @ONLY)
    target_sources(${GAME} PRIVATE ${PROJECT_BINARY_DIR}/${GAME}.rc)
    set_source_files_properties(${PROJECT_BINARY_DIR}/${GAME}.rc DIRECTORY programs
        PROPERTIES OBJECT_DEPENDS ${YARNLET_ICO})
endforeach()

configure_file(packaging/windows/README.txt.in zip/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE zip/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
set(documents ${PROJECT_BINARY_DIR}/zip/LICENSE.txt ${PROJECT_BINARY_DIR}/zip/README.txt)
# The installer's shortcuts keep the window open themselves: the
# launchers are the zip's alone.
set(launchers "")
foreach(GAME IN LISTS YARNLET_GAMES)
    set(NAME "${name_${GAME}}")
    configure_file(packaging/windows/launcher.cmd.in "launchers/${file_name_${GAME}}.cmd" @ONLY NEWLINE_STYLE CRLF)
    list(APPEND launchers "${PROJECT_BINARY_DIR}/launchers/${file_name_${GAME}}.cmd")
endforeach()

set(zip_games "")
foreach(game IN LISTS YARNLET_GAMES)
    list(APPEND zip_games $<TARGET_FILE:${game}>)
endforeach()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT ${YARNLET_ZIP}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/packaging/make_zip.py
        ${YARNLET_ZIP} ${YARNLET_ZIP_FOLDER} ${YARNLET_RELEASE_DATE} ${documents} ${launchers} ${zip_games}
    DEPENDS ${YARNLET_GAMES} ${documents} ${launchers} ${PROJECT_SOURCE_DIR}/packaging/make_zip.py
    COMMENT "Packing ${YARNLET_ZIP_FOLDER}.zip"
    VERBATIM)
add_custom_target(yarnlet_zip ALL DEPENDS ${YARNLET_ZIP})

find_program(YARNLET_WIXL wixl)
if(YARNLET_WIXL)
    set(YARNLET_COMMIT "" CACHE STRING "The commit a release is built from; the installer's package code is derived from it")
    set(YARNLET_MSI ${PROJECT_BINARY_DIR}/${YARNLET_ZIP_FOLDER}.msi)
    set(msi ${PROJECT_SOURCE_DIR}/packaging/windows)
    # The installer takes its files from one folder, the zip's documents'.
    add_custom_command(OUTPUT ${YARNLET_MSI}
        COMMAND ${CMAKE_COMMAND} -E copy ${zip_games} ${PROJECT_BINARY_DIR}/zip/
        COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DCOMMIT=${YARNLET_COMMIT} -DDATE=${YARNLET_RELEASE_DATE}
            -DGAMES=${PROJECT_BINARY_DIR}/zip -DOUTPUT=${YARNLET_MSI} -P ${msi}/msi.cmake
        DEPENDS ${YARNLET_GAMES} ${documents} ${msi}/msi.cmake ${msi}/msi_summary.py ${msi}/yarnlet.wxs.in ${YARNLET_ICO}
            ${PROJECT_SOURCE_DIR}/cmake/games.cmake
        COMMENT "Building ${YARNLET_ZIP_FOLDER}.msi"
        VERBATIM)
    add_custom_target(yarnlet_msi ALL DEPENDS ${YARNLET_MSI})
else()
    message(STATUS "The Windows installer is not built: it needs wixl")
endif()
