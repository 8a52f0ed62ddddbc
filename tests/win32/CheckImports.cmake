# Fails unless the executable can start on Windows XP SP3 as a single copied
# file: every DLL it imports comes with Windows and has a list in LISTS of
# what XP SP3's copy exports, every name it imports is on that list, and
# its header asks for no Windows newer than 5.1 (XP's loader refuses a
# higher operating system or subsystem version). The header also marks a
# 32-bit program large-address-aware.
#   cmake -DEXE=... -DOBJDUMP=... -DLISTS=<folder of <dll>.txt> -P CheckImports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${EXE}")
endif()

set(problems "")
foreach(field OSystem Subsystem)
    if(NOT dump MATCHES "Major${field}Version[ \t]+([0-9]+)[\r\n]+Minor${field}Version[ \t]+([0-9]+)")
        message(FATAL_ERROR "no ${field} version in the header of ${EXE}")
    endif()
    set(version "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
    if(version VERSION_GREATER 5.1)
        list(APPEND problems "header asks for ${field} version ${version}")
    endif()
endforeach()

# A 32-bit program is large-address-aware: 4 GB on 64-bit Windows, not 2.
if(dump MATCHES "file format pei-i386" AND NOT dump MATCHES "large address aware")
    list(APPEND problems "header does not mark the program large-address-aware")
endif()

# The import tables: a "DLL Name:" line per DLL, then one line per name
# ("<vma>  <hint>  <name>"); imports by ordinal have no name to check.
string(FIND "${dump}" "The Import Tables" start)
if(start LESS 0)
    message(FATAL_ERROR "no imports found in ${EXE}")
endif()
string(SUBSTRING "${dump}" ${start} -1 tables)
string(REGEX REPLACE "\n[^ \t\n][^\n]*.*" "" tables "${tables}")  # up to the next section
string(REPLACE ";" "," tables "${tables}")
string(REPLACE "\n" ";" lines "${tables}")
set(dll "")
set(count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "DLL Name: (.+)$")
        string(STRIP "${CMAKE_MATCH_1}" dll)
        string(TOLOWER "${dll}" key)
        string(REGEX REPLACE "\\.dll$" "" key "${key}")
        unset(exports)
        if(EXISTS "${LISTS}/${key}.txt")
            file(STRINGS "${LISTS}/${key}.txt" exports)
        else()
            list(APPEND problems "${dll}: not a DLL of Windows XP SP3 (no export list)")
        endif()
    elseif(dll AND line MATCHES "^\t[0-9a-fA-F]+\t +[0-9]+ +([^ \t]+)")
        set(name "${CMAKE_MATCH_1}")
        math(EXPR count "${count} + 1")
        if(DEFINED exports AND NOT name IN_LIST exports)
            list(APPEND problems "${dll}!${name}")
        endif()
    endif()
endforeach()
if(count EQUAL 0)
    message(FATAL_ERROR "no imported names found in ${EXE}")
endif()
if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "${EXE} cannot start on Windows XP SP3:\n  ${text}")
endif()
message(STATUS "${count} imported names, all exported by Windows XP SP3")
