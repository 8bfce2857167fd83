# Builds the Windows installer from the games, with wixl:
#   cmake -DVERSION=X.Y.Z -DCOMMIT=<commit> -DDATE=YYYY-MM-DD -DGAMES=<folder> -DOUTPUT=<file.msi> -P msi.cmake
# GAMES holds the games' .exe files, README.txt and LICENSE.txt. The games,
# their shortcuts' names and their components' GUIDs are cmake/games.cmake's,
# and the publisher is the holder of LICENSE's copyright.
#
# The same input gives the same bytes. The product code is derived from
# the version (each version is a product of its own, which the next one
# replaces), the package code from the version and the commit, and the
# package's dates, and its files', are SOURCE_DATE_EPOCH's, or DATE's.
set(here ${CMAKE_CURRENT_LIST_DIR})
include(${here}/../../cmake/games.cmake)

# The name space the codes are derived in: never change it.
set(namespace 55132095-6E99-49C6-A3AD-EB660C76BDF1)
string(UUID product NAMESPACE ${namespace} NAME "product ${VERSION}" TYPE SHA1 UPPER)
string(UUID package NAMESPACE ${namespace} NAME "package ${VERSION} ${COMMIT}" TYPE SHA1 UPPER)
file(STRINGS ${here}/../../LICENSE copyright REGEX "^Copyright ")
string(REGEX REPLACE "^Copyright \\(c\\) [0-9, -]+ " "" publisher "${copyright}")

# The cabinet inside the installer keeps each file's date, in local time:
# the commit's, then, and in UTC.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(date "@$ENV{SOURCE_DATE_EPOCH}")
else()
    set(date "${DATE} 00:00 UTC")
endif()
file(GLOB files ${GAMES}/*)
execute_process(COMMAND touch -d ${date} ${files} COMMAND_ERROR_IS_FATAL ANY)
set(ENV{TZ} UTC)

# wixl finds files by relative paths only: it runs in GAMES.
file(RELATIVE_PATH icon ${GAMES} ${here}/yarnlet.ico)
set(defines -D Version=${VERSION} -D ProductCode=${product} -D Publisher=${publisher} -D Games=. -D Icon=${icon})
foreach(game IN LISTS YARNLET_GAMES)
    # The shortcut starts the game through cmd, which keeps the window open
    # at the end until a key is pressed: the game's own window would close
    # with the story it has just typed out. (cmd takes away the outer
    # quotes of what follows /c, leaving the game's path quoted.)
    string(APPEND GAME_COMPONENTS
        "          <Component Id=\"${game}\" Guid=\"${installer_id_${game}}\" Win64=\"yes\">\n"
        "            <File Id=\"${game}.exe\" Source=\"$(var.Games)/${game}.exe\" KeyPath=\"yes\"/>\n"
        "            <Shortcut Id=\"${game}\" Directory=\"GamesMenuFolder\" Name=\"${file_name_${game}}\"\n"
        "                Description=\"${summary_${game}}\" Target=\"[System64Folder]cmd.exe\"\n"
        "                Arguments=\"/c &quot;&quot;[#${game}.exe]&quot; &amp; pause&quot;\"\n"
        "                Icon=\"yarnlet.ico\" WorkingDirectory=\"INSTALLDIR\"/>\n"
        "          </Component>\n")
    string(APPEND GAME_REFS "      <ComponentRef Id=\"${game}\"/>\n")
endforeach()
configure_file(${here}/yarnlet.wxs.in ${OUTPUT}.wxs @ONLY)
execute_process(COMMAND wixl -a x64 ${defines} -o ${OUTPUT}.part ${OUTPUT}.wxs
    WORKING_DIRECTORY ${GAMES} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${OUTPUT}.wxs)
execute_process(COMMAND python3 ${here}/msi_summary.py ${OUTPUT}.part ${package} ${DATE} COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${OUTPUT}.part ${OUTPUT})
