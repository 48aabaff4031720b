# Checks the release package as a Windows user receives it: exactly the
# program and its guide, the guide in code page 1252 with CRLF line ends, no
# tab and no line wider than 78 characters (Notepad's window), reading back as
# the guide that was written.
#   cmake -DICONV=<iconv> -DGUIDE=<converted guide> -DGUIDE_SOURCE=<UTF-8 guide>
#         -DZIP=<zip> -DEXE=<built program> -DWORK_DIR=<scratch dir> -P check_release.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${ZIP}" WORKING_DIRECTORY "${WORK_DIR}" COMMAND_ERROR_IS_FATAL ANY)
file(GLOB unpacked RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
if(NOT unpacked STREQUAL "Lichtaus+.exe;Lichtaus+.txt")
  message(FATAL_ERROR "${ZIP} holds [${unpacked}], not exactly Lichtaus+.exe and Lichtaus+.txt")
endif()
foreach(pair "Lichtaus+.exe;${EXE}" "Lichtaus+.txt;${GUIDE}")
  list(GET pair 0 name)
  list(GET pair 1 built)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK_DIR}/${name}" "${built}" RESULT_VARIABLE different)
  if(different)
    message(SEND_ERROR "${name} in ${ZIP} is not byte for byte ${built}")
  endif()
endforeach()

# As hex bytes "xx;" (file(READ) as text would drop the carriage returns).
file(READ "${GUIDE}" hex HEX)
string(REGEX REPLACE "(..)" "\\1;" bytes "${hex}")
string(REPLACE "0d;0a;" "" joined "${bytes}")
if(joined MATCHES "(^|;)(0d|0a|09);" OR NOT bytes MATCHES "0d;0a;$")
  message(SEND_ERROR "${GUIDE}: a tab, or a line not ended by CRLF")
endif()
file(STRINGS "${GUIDE}" lines)
foreach(line IN LISTS lines)
  string(LENGTH "${line}" length)
  if(length GREATER 78)
    message(SEND_ERROR "${GUIDE}: longer than 78 characters: ${line}")
  endif()
endforeach()
execute_process(COMMAND "${ICONV}" -f CP1252 -t UTF-8 "${GUIDE}" OUTPUT_VARIABLE readback COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\r\n" "\n" readback "${readback}")
file(READ "${GUIDE_SOURCE}" source)
if(NOT readback STREQUAL source)
  message(SEND_ERROR "${GUIDE} read back through code page 1252 is not ${GUIDE_SOURCE}")
endif()
