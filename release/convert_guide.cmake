# Turns a text that ships (the user guide, the licence), kept in UTF-8 with LF
# line ends so that it is easy to edit, into the file that ships: code page
# 1252 with CRLF, as Notepad reads it.
#   cmake -DICONV=<iconv> -DSOURCE=<guide, UTF-8> -DTARGET=<file to write> -P convert_guide.cmake

foreach(var ICONV SOURCE TARGET)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "convert_guide.cmake: ${var} is not set")
  endif()
endforeach()

file(READ "${SOURCE}" source)
if(source MATCHES "\r")
  message(FATAL_ERROR "${SOURCE}: carriage return found; keep the guide with LF line ends")
endif()

# iconv stops with an error at the first character that code page 1252 lacks:
# such a character would show as a box or a question mark in Notepad.
set(converted "${TARGET}.cp1252")
get_filename_component(target_dir "${TARGET}" DIRECTORY)
file(MAKE_DIRECTORY "${target_dir}")
execute_process(
  COMMAND "${ICONV}" -f UTF-8 -t CP1252 "${SOURCE}"
  OUTPUT_FILE "${converted}"
  ERROR_VARIABLE error
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${converted}")
  set(where "")
  if(error MATCHES "position ([0-9]+)")
    file(READ "${SOURCE}" before LIMIT ${CMAKE_MATCH_1})
    string(REGEX MATCHALL "\n" newlines "${before}")
    list(LENGTH newlines line)
    math(EXPR line "${line} + 1")
    set(where " (line ${line})")
  endif()
  message(FATAL_ERROR "${SOURCE}${where}: not convertible to code page 1252: ${result} ${error}")
endif()

file(READ "${converted}" text)
file(REMOVE "${converted}")
if(NOT text MATCHES "\n$")
  string(APPEND text "\n")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${TARGET}" "${text}")
