# Run by CPack once it has made the ZIP (CPACK_POST_BUILD_SCRIPTS). CPack
# adds the staged files in the order the file system lists them (ext4: a
# hash of the names, seeded per file system; tmpfs: newest first), so the
# same files could make other bytes on another machine. The ZIP is written
# again from its own contents, the entries in sorted order; the folders
# follow from the files' paths. The entry times stay SOURCE_DATE_EPOCH's
# when it is set (scripts/package.sh sets it).
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
    set(work "${zip}.entries")
    file(REMOVE_RECURSE "${work}")
    file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${work}")
    file(GLOB_RECURSE entries RELATIVE "${work}" LIST_DIRECTORIES false "${work}/*")
    list(SORT entries)
    file(REMOVE "${zip}")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${zip}" --format=zip -- ${entries}
        WORKING_DIRECTORY "${work}" RESULT_VARIABLE status)
    file(REMOVE_RECURSE "${work}")
    if(NOT status EQUAL 0 OR NOT EXISTS "${zip}")
        message(FATAL_ERROR "could not write ${zip} again in sorted order")
    endif()
endforeach()
