# Makes the release ZIP with CPack into OUT, checks that it holds exactly
# the program, the icon library and README.txt with its notices, all under
# plain ASCII names, and that the program is the built one without its
# debug information, which lies beside the built one, and without a link
# time; unpacks it into
# OUT/unpacked for the tests that run the unpacked program.
#   cmake -DCPACK=... -DCONFIG=.../CPackConfig.cmake -DOUT=... -DNAME=quorvane-0.3-win32
#         -DICONS=<source Icons folder> -DBUILT=<built quorvane.exe> -DOBJDUMP=...
#         -P CheckPackage.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}/unpacked")
execute_process(COMMAND "${CPACK}" --config "${CONFIG}" -B "${OUT}"
    RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
set(zip "${OUT}/${NAME}.zip")
if(NOT status EQUAL 0 OR NOT EXISTS "${zip}")
    message(FATAL_ERROR "cpack did not make ${zip}:\n${log}")
endif()

# The listing, exactly: nothing missing, nothing extra.
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${zip}" OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot list ${zip}")
endif()
string(REGEX REPLACE "\n$" "" listing "${listing}")
string(REPLACE "\n" ";" listing "${listing}")
# XP's and 7's Compressed Folders read the names in the OEM code page,
# whatever the ZIP's UTF-8 flag says: only ASCII reads the same everywhere.
# (A name the locale cannot show already fails the listing above.)
foreach(entry IN LISTS listing)
    if(NOT entry MATCHES "^[ -~]+$")
        message(FATAL_ERROR "\"${entry}\" is not a plain ASCII name")
    endif()
endforeach()
list(FILTER listing EXCLUDE REGEX "/$")
list(SORT listing)
file(GLOB icons RELATIVE "${ICONS}" "${ICONS}/*.ico")
if(NOT icons)
    message(FATAL_ERROR "no icons in ${ICONS}")
endif()
set(expected "${NAME}/quorvane.exe" "${NAME}/README.txt" "${NAME}/LGPL-2.1.txt")
foreach(icon IN LISTS icons)
    list(APPEND expected "${NAME}/Icons/${icon}")
endforeach()
list(SORT expected)
if(NOT listing STREQUAL expected)
    message(FATAL_ERROR "package holds\n  ${listing}\ninstead of\n  ${expected}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${zip}" WORKING_DIRECTORY "${OUT}/unpacked"
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot unpack ${zip}")
endif()
set(top "${OUT}/unpacked/${NAME}")
foreach(icon IN LISTS icons)
    file(SHA256 "${ICONS}/${icon}" want)
    file(SHA256 "${top}/Icons/${icon}" got)
    if(NOT want STREQUAL got)
        message(FATAL_ERROR "Icons/${icon} differs from the library's")
    endif()
endforeach()

# The program that ships is the built one, byte for byte, without DWARF;
# its debug link leads objdump to the built quorvane.debug, checksum and all,
# which describes the program's own code too.
file(SHA256 "${BUILT}" want)
file(SHA256 "${top}/quorvane.exe" got)
if(NOT want STREQUAL got)
    message(FATAL_ERROR "the packaged quorvane.exe is not ${BUILT}")
endif()
# No link time in the PE header (it would make every build's bytes differ):
# TimeDateStamp is 8 bytes into the header that e_lfanew (offset 60) points to.
file(READ "${top}/quorvane.exe" lfanew OFFSET 60 LIMIT 4 HEX)
string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" lfanew "${lfanew}")
math(EXPR stamp_at "0x${lfanew} + 8")
file(READ "${top}/quorvane.exe" stamp OFFSET ${stamp_at} LIMIT 4 HEX)
if(NOT stamp STREQUAL "00000000")
    message(FATAL_ERROR "quorvane.exe carries a time stamp in its PE header (${stamp})")
endif()
execute_process(COMMAND "${OBJDUMP}" -h "${top}/quorvane.exe" OUTPUT_VARIABLE sections RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR sections MATCHES " \\.debug_" OR NOT sections MATCHES " \\.gnu_debuglink ")
    message(FATAL_ERROR "the packaged quorvane.exe has debug sections or no debug link:\n${sections}")
endif()
execute_process(COMMAND "${OBJDUMP}" --dwarf=follow-links --dwarf=info --dwarf-depth=1 "${BUILT}"
    OUTPUT_VARIABLE dwarf ERROR_VARIABLE dwarf_errors RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT dwarf MATCHES "\\(loaded from ([^)]*/)?quorvane\\.debug\\)" OR NOT dwarf MATCHES "app/main\\.cpp"
   OR dwarf_errors MATCHES "CRC")
    message(FATAL_ERROR "objdump does not follow ${BUILT} to its quorvane.debug:\n${dwarf_errors}")
endif()

# README.txt: UTF-8 with a byte-order mark and CRLF line ends, so Notepad
# shows the Russian; both languages and every licence notice.
# file(READ) drops carriage returns, so the bytes are checked in hex, one
# byte per blank-separated pair.
file(READ "${top}/README.txt" bytes HEX)
string(REGEX REPLACE "(..)" "\\1 " bytes "${bytes}")
if(NOT bytes MATCHES "^ef bb bf ")
    message(FATAL_ERROR "README.txt does not start with a UTF-8 byte-order mark")
endif()
if(bytes MATCHES "(^|[^0]. |.[^d] )0a ")
    message(FATAL_ERROR "README.txt has a line that does not end with CRLF")
endif()
file(READ "${top}/README.txt" readme)
set(required
    "Как запустить"
    "Ничего не устанавливается"
    "Нужна Windows XP SP3 или новее"
    "How to start it"
    "Nothing is installed"
    "It needs Windows XP SP3 or later"
    # the processor floor: the compiler's CMOV
    "процессор класса P6"
    "a P6-class processor"
    # libjpeg-turbo: the IJG acknowledgement, its legal issues, the BSD licence
    "This software is based in part on the work of the Independent JPEG Group."
    "This software is copyright (C) 1991-"
    "the authors accept\nNO LIABILITY"
    "Copyright (C)2009-"
    "Neither the name of the libjpeg-turbo Project"
    # mingw-w64 runtime (the win32-thread compiler links no winpthreads)
    "the mingw-w64 project"
    "Zope Public License"
    # libstdc++ and libgcc
    "GCC Runtime Library Exception"
    # the font carried inside
    "MS Sans Serif"
    "GNU Lesser General"
)
# The font's licence travels with it, whole.
file(READ "${top}/LGPL-2.1.txt" lgpl)
string(FIND "${lgpl}" "GNU LESSER GENERAL PUBLIC LICENSE" at)
string(FIND "${lgpl}" "END OF TERMS AND CONDITIONS" end)
if(at LESS 0 OR end LESS 0)
    message(FATAL_ERROR "LGPL-2.1.txt is not the whole licence text")
endif()
list(APPEND required "LGPL-2.1.txt")
# Every icon by its file name, beside its Russian name.
list(APPEND required ${icons})
foreach(text IN LISTS required)
    string(FIND "${readme}" "${text}" at)
    if(at LESS 0)
        message(FATAL_ERROR "README.txt lacks \"${text}\"")
    endif()
endforeach()
# Notices of what the program no longer contains, or a floor it no longer has.
foreach(text "winpthreads" "Windows 7 or later" "Windows 7 или новее")
    string(FIND "${readme}" "${text}" at)
    if(NOT at LESS 0)
        message(FATAL_ERROR "README.txt still says \"${text}\"")
    endif()
endforeach()
message(STATUS "${zip}: ${listing}")
