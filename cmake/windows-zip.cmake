# The Windows download, yarnlet-<version>-windows-x64.zip: the four games,
# a README and the licence in a folder of their own, with CR LF line ends
# for Notepad. Built with the games.
set(YARNLET_ZIP_FOLDER yarnlet-${PROJECT_VERSION}-windows-x64)
set(YARNLET_ZIP ${PROJECT_BINARY_DIR}/${YARNLET_ZIP_FOLDER}.zip)

configure_file(packaging/windows/README.txt.in zip/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE zip/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

set(zip_games "")
foreach(game IN LISTS YARNLET_GAMES)
    list(APPEND zip_games $<TARGET_FILE:${game}>)
endforeach()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT ${YARNLET_ZIP}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/packaging/make_zip.py
        ${YARNLET_ZIP} ${YARNLET_ZIP_FOLDER} ${YARNLET_RELEASE_DATE}
        ${PROJECT_BINARY_DIR}/zip/LICENSE.txt ${PROJECT_BINARY_DIR}/zip/README.txt ${zip_games}
    DEPENDS ${YARNLET_GAMES} ${PROJECT_BINARY_DIR}/zip/LICENSE.txt ${PROJECT_BINARY_DIR}/zip/README.txt
        ${PROJECT_SOURCE_DIR}/packaging/make_zip.py
    COMMENT "Packing ${YARNLET_ZIP_FOLDER}.zip"
    VERBATIM)
add_custom_target(yarnlet_zip ALL DEPENDS ${YARNLET_ZIP})
