# cmake -D OUTPUT=x.zip -D FOLDER=name -D FILES="a|b" -D FALLBACK_DATE=YYYY-MM-DD -P make-zip.cmake
#
# Packs FILES into OUTPUT under FOLDER/, the same bytes from any build: the
# entries in a fixed order, with fixed permissions, and all dated
# SOURCE_DATE_EPOCH (or FALLBACK_DATE, never the time of the build).
get_filename_component(work "${OUTPUT}" DIRECTORY)
set(stage "${work}/zip-stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}/${FOLDER}")

string(REPLACE "|" ";" FILES "${FILES}")
set(entries "")
foreach(file IN LISTS FILES)
    get_filename_component(name "${file}" NAME)
    file(COPY "${file}" DESTINATION "${stage}/${FOLDER}"
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    list(APPEND entries "${FOLDER}/${name}")
endforeach()
list(SORT entries)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    string(TIMESTAMP when "%Y-%m-%d %H:%M:%S UTC" UTC)
else()
    set(when "${FALLBACK_DATE} 00:00:00 UTC")
endif()

# A zip's DOS dates are local time: packed in UTC, it is the same
# wherever it is made.
file(REMOVE "${OUTPUT}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
        ${CMAKE_COMMAND} -E tar cf "${OUTPUT}" --format=zip "--mtime=${when}" ${entries}
    WORKING_DIRECTORY "${stage}"
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "could not pack ${OUTPUT}")
endif()
file(REMOVE_RECURSE "${stage}")
