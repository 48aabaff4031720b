# Checks the release package as a Windows user receives it: the guide in code
# page 1252 with CRLF and narrow enough for Notepad, documenting what the
# program really offers (read from its sources), and the zip holding exactly
# the program and that guide. Every fault is reported; the run fails if any.
#   cmake -DICONV=<iconv> -DGUIDE=<converted guide> -DGUIDE_SOURCE=<UTF-8 guide>
#         -DZIP=<zip> -DEXE=<built program> -DVERSION=<x.yy>
#         -DSOURCE_DIR=<source tree> -DWORK_DIR=<scratch dir> -P check_release.cmake

cmake_minimum_required(VERSION 3.20)

foreach(var ICONV GUIDE GUIDE_SOURCE ZIP EXE VERSION SOURCE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_release.cmake: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

# --- The guide's bytes -------------------------------------------------------
# The file as hex tokens "xx;". A pattern of whole tokens ("8d;") can only
# match at a token boundary, because every third character is the ";".
file(READ "${GUIDE}" hex HEX)
string(REGEX REPLACE "(..)" "\\1;" bytes "${hex}")
# Line ends become the token "__;", which keeps the alignment and lets a
# position be turned into a line number.
string(REPLACE "0d;0a;" "__;" lines "${bytes}")

function(line_at position out)
  string(SUBSTRING "${lines}" 0 ${position} before)
  string(REGEX MATCHALL "__" ends "${before}")
  list(LENGTH ends count)
  math(EXPR count "${count} + 1")
  set(${out} ${count} PARENT_SCOPE)
endfunction()

# Reports the first line where a token pattern occurs.
function(forbid pattern what)
  string(REGEX MATCH "${pattern}" found "${lines}")
  if(NOT found STREQUAL "")
    string(FIND "${lines}" "${found}" position)
    line_at(${position} line)
    message(SEND_ERROR "${GUIDE}, line ${line}: ${what}")
  endif()
endfunction()

if(hex STREQUAL "")
  message(FATAL_ERROR "${GUIDE} is empty")
endif()

# Bytes that code page 1252 leaves undefined, and NUL.
foreach(byte 81 8d 8f 90 9d 00)
  forbid("${byte};" "byte 0x${byte}, which code page 1252 does not define")
endforeach()
# Text still in UTF-8: a lead byte followed by continuation bytes.
forbid("[c-d][0-9a-f];[89ab][0-9a-f];" "a two-byte UTF-8 sequence (the guide was not converted)")
forbid("e[0-9a-f];[89ab][0-9a-f];[89ab][0-9a-f];" "a three-byte UTF-8 sequence")
forbid("0d;" "carriage return without line feed")
forbid("0a;" "line feed without carriage return")
forbid("09;" "tab (Notepad's tab width would break the layout)")
string(REPEAT "[0-9a-f][0-9a-f];" 79 too_long)
forbid("${too_long}" "longer than 78 characters")
if(NOT bytes MATCHES "0d;0a;$")
  message(SEND_ERROR "${GUIDE} does not end with CRLF")
endif()

# "ü" must be the single byte 0xFC.
file(READ "${GUIDE_SOURCE}" source)
if(source MATCHES "ü" AND NOT bytes MATCHES "(^|;)fc;")
  message(SEND_ERROR "${GUIDE}: no byte 0xFC although the guide has an \"ü\"")
endif()

# Read back through code page 1252 it must be the guide as written.
execute_process(
  COMMAND "${ICONV}" -f CP1252 -t UTF-8 "${GUIDE}"
  OUTPUT_FILE "${WORK_DIR}/readback.txt"
  ERROR_VARIABLE error
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${GUIDE} is not valid code page 1252 text: ${error}")
endif()
file(READ "${WORK_DIR}/readback.txt" doc)
string(REPLACE "\r\n" "\n" doc "${doc}")
if(NOT doc STREQUAL source)
  file(WRITE "${WORK_DIR}/readback.txt" "${doc}")
  message(SEND_ERROR "${GUIDE} read back as code page 1252 differs from ${GUIDE_SOURCE}: "
                     "compare ${WORK_DIR}/readback.txt")
endif()

# --- What the guide documents ------------------------------------------------
# Every name below is taken from the program's sources, so a switch or
# control that is added or renamed there fails here until the guide follows.
string(TOLOWER "${doc}" doc_lower)
string(REGEX REPLACE "[ \n]+" " " doc_flat "${doc}")

function(require_text text why)
  string(FIND "${doc_flat}" "${text}" position)
  if(position EQUAL -1)
    message(SEND_ERROR "the guide does not mention \"${text}\" (${why})")
  endif()
endfunction()

function(read_source path out)
  if(NOT EXISTS "${SOURCE_DIR}/${path}")
    message(FATAL_ERROR "${SOURCE_DIR}/${path} is missing")
  endif()
  file(READ "${SOURCE_DIR}/${path}" text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Returns the first group of pattern in text; the source must hold it.
function(extract text pattern path out)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${path}: found nothing like ${pattern}; update check_release.cmake")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# Switches: the rows of the command-line table, {"/s?", action, asks}.
read_source(src/app/command_line.cpp table)
string(REGEX MATCHALL "[{]\"/[A-Za-z]+[?]?\"," rows "${table}")
if(NOT rows)
  message(FATAL_ERROR "src/app/command_line.cpp: no command-line table rows found")
endif()
set(switches)
set(asking)
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^[{]\"(/[A-Za-z]+)([?]?)\",$" "\\1" switch "${row}")
  string(TOLOWER "${switch}" switch)
  list(APPEND switches ${switch})
  if(row MATCHES "[?]\",$")
    list(APPEND asking ${switch})
  endif()
endforeach()
list(REMOVE_DUPLICATES switches)
list(REMOVE_DUPLICATES asking)

# Each switch has an entry of its own in a list: an indented line that
# starts with it, followed by a column of at least two blanks and its text.
foreach(switch IN LISTS switches)
  if(NOT doc_lower MATCHES "\n +${switch}  +[^ \n]")
    message(SEND_ERROR "the guide has no list entry (an indented line starting with it) for the switch ${switch}")
  endif()
endforeach()
# The "?" rule: the paragraphs on the question mark name every switch that
# has a "?" form, and at least one such form is shown as an example.
string(REGEX MATCHALL "([^\n]+\n)*[^\n]*fragezeichen[^\n]*(\n[^\n]+)*" rule "${doc_lower}")
if(NOT rule)
  message(SEND_ERROR "the guide has no paragraph on the question mark (\"Fragezeichen\") after a switch")
endif()
set(example FALSE)
foreach(switch IN LISTS asking)
  if(NOT rule MATCHES "${switch}([^a-z]|$)")
    message(SEND_ERROR "the paragraphs on the question mark do not name ${switch}")
  endif()
  string(FIND "${doc_lower}" "${switch}?" position)
  if(NOT position EQUAL -1)
    set(example TRUE)
  endif()
endforeach()
if(asking AND NOT example)
  message(SEND_ERROR "the guide shows no switch with \"?\" (such as ${switch}?)")
endif()

# Controls of the two dialogs (class 0x0080, BUTTON: buttons, check boxes,
# radio buttons, group boxes) and the popup menu's items, as the user sees
# them: without the "&" and with "" as one quotation mark.
read_source(res/lichtaus.rc rc)
string(REGEX MATCHALL "CONTROL \"([^\"]|\"\")*\", [^,]+, 0x0080," controls "${rc}")
string(REGEX MATCHALL "MENUITEM \"[^\"]+\"" items "${rc}")
if(NOT controls OR NOT items)
  message(FATAL_ERROR "res/lichtaus.rc: no dialog buttons or menu items found")
endif()
foreach(entry IN LISTS controls items)
  string(REGEX REPLACE "^(CONTROL|MENUITEM) \"(.*)\"(, .*)?$" "\\2" label "${entry}")
  string(REPLACE "&" "" label "${label}")
  string(REPLACE "\"\"" "\"" label "${label}")
  require_text("${label}" "a label in the dialogs or the popup menu")
endforeach()

# The settings file: section, the MS-DOS mode key (as a line of the file)
# and its defaults on the two Windows families.
read_source(src/config/settings.h settings_h)
read_source(src/config/settings.cpp settings_cpp)
extract("${settings_h}" "kSection\\[\\] = \"([^\"]+)\"" src/config/settings.h section)
extract("${settings_h}" "kKeyMsDosMode\\[\\] = \"([^\"]+)\"" src/config/settings.h msdos_key)
extract("${settings_cpp}" "ntFamily \\? \"([^\"]+)\"" src/config/settings.cpp nt_default)
extract("${settings_cpp}" "ntFamily \\? \"[^\"]+\" : \"([^\"]+)\"" src/config/settings.cpp nine_x_default)
require_text("[${section}]" "the settings file's section")
require_text("${msdos_key}=" "the MS-DOS mode key as written in the settings file")
require_text("${nt_default}" "the MS-DOS mode default on Windows NT")
require_text("${nine_x_default}" "the MS-DOS mode default on Windows 95/98/ME")

# Version and contact, as the About dialog gives them.
read_source(src/ui/about_dialog.cpp about)
extract("${about}" "\"mailto:([^?\"]+)" src/ui/about_dialog.cpp email)
extract("${about}" "kWebLink\\[\\] = \"([^\"]+)\"" src/ui/about_dialog.cpp web)
extract("${rc}" "Version [0-9.]+\\\\n\\\\n([^\\\\]+)\\\\n" res/lichtaus.rc maker)
require_text("Lichtaus+ ${VERSION}" "the version")
require_text("${email}" "the e-mail address of the About dialog")
require_text("${web}" "the web page of the About dialog")
require_text("${maker}" "the maker named in the About dialog")

# --- The zip ------------------------------------------------------------------
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar tf "${ZIP}"
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${ZIP}")
endif()
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" listing "${listing}")
list(SORT listing)
if(NOT listing STREQUAL "Lichtaus+.exe;Lichtaus+.txt")
  message(SEND_ERROR "${ZIP} holds [${listing}], not exactly Lichtaus+.exe and Lichtaus+.txt")
endif()

set(unpacked "${WORK_DIR}/unpacked")
file(MAKE_DIRECTORY "${unpacked}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar xf "${ZIP}"
  WORKING_DIRECTORY "${unpacked}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${ZIP}")
endif()
foreach(pair "Lichtaus+.exe|${EXE}" "Lichtaus+.txt|${GUIDE}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 expected)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E compare_files "${unpacked}/${name}" "${expected}"
    RESULT_VARIABLE different)
  if(different)
    message(SEND_ERROR "${name} in ${ZIP} is not byte for byte ${expected}")
  endif()
endforeach()
