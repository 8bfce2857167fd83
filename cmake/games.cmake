# The games, in their order: the one list of them, with what the manual
# pages, desktop entries, software-centre listing, site and Windows
# installer say of each. A new game is an entry here beside its
# programs/yarnletN/ (HACKING.md says what else).
#
#   NAME          its name in menus and on the site
#   SUMMARY       what it is, after its command in the manual page
#   PLACE         its place in the series
#   QUESTIONS     how many questions it asks    } held to the game by
#   SECONDS       how long a run lasts, answers } the docs test
#                 aside
#   AFTER_STORY   what it does between the story and the rating question
#                 (left out: nothing)
#   INSTALLER_ID  its component's GUID in the Windows installer: made once,
#                 then never changed (HACKING.md says how)
set(YARNLET_GAMES "")
function(yarnlet_game game)
    cmake_parse_arguments(PARSE_ARGV 1 "" "" "NAME;SUMMARY;PLACE;QUESTIONS;SECONDS;AFTER_STORY;INSTALLER_ID" "")
    foreach(field name summary place questions seconds after_story installer_id)
        string(TOUPPER ${field} FIELD)
        set(${field}_${game} "${_${FIELD}}" PARENT_SCOPE)
    endforeach()
    # Its Windows shortcut and launcher are files named after it, and a
    # Windows file name has no colon.
    string(REPLACE ": " " - " file_name "${_NAME}")
    set(file_name_${game} "${file_name}" PARENT_SCOPE)
    set(YARNLET_GAMES ${YARNLET_GAMES} ${game} PARENT_SCOPE)
endfunction()

yarnlet_game(yarnlet1
    NAME "Yarnlet"
    SUMMARY "a fill-in-the-blanks story game about a morning that goes wrong"
    PLACE "the first game"
    QUESTIONS 10
    SECONDS 65
    AFTER_STORY "credits its author, "
    INSTALLER_ID B9BF63B9-8051-4ADC-AAE3-C32EEC6F9822)

yarnlet_game(yarnlet2
    NAME "Yarnlet 2"
    SUMMARY "a fill-in-the-blanks story game about coming back home"
    PLACE "the second game"
    QUESTIONS 5
    SECONDS 46
    AFTER_STORY "points you to the finale, "
    INSTALLER_ID 42FB0498-B7BE-4CBC-8D6A-4B06AC6C1516)

yarnlet_game(yarnlet3
    NAME "Yarnlet 3: The Finale"
    SUMMARY "a fill-in-the-blanks story game about a day that was a dream"
    PLACE "the finale"
    QUESTIONS 13
    SECONDS 96
    INSTALLER_ID 4CA86627-5C1D-4B8F-9EC5-EF9ADA5D38C6)

yarnlet_game(yarnlet4
    NAME "Yarnlet 4"
    SUMMARY "a fill-in-the-blanks story game about a talk with mom"
    PLACE "the fourth game"
    QUESTIONS 5
    SECONDS 46
    AFTER_STORY "points you to the finale, "
    INSTALLER_ID 20A1F99B-D3DC-40AD-92CE-727A3F67D895)
