cmake_policy(SET CMP0057 NEW)
set(import_count 0)
# Fails the build on what the program must not have: static constructors
# (nothing runs them without a runtime), cmov (486 and Pentium lack it), an
# import Windows 95 and NT 4.0 lack (classic_imports.txt names known DLLs
# only, which Windows never looks for in the program's folder), or no
# address-space randomisation, no-execute data or relocations.
#   cmake -DEXE=... -DOBJDUMP=... -DLIBRARIES=a;b -P check_executable.cmake

foreach(library IN LISTS LIBRARIES)
  execute_process(COMMAND ${OBJDUMP} -h ${library} OUTPUT_VARIABLE sections COMMAND_ERROR_IS_FATAL ANY)
  if(sections MATCHES "[. ](ctors|init_array)")
    message(FATAL_ERROR "${library} has static constructors: declare globals constinit")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -d ${EXE} OUTPUT_VARIABLE code COMMAND_ERROR_IS_FATAL ANY)
if(code MATCHES "\tcmov")
  message(FATAL_ERROR "${EXE} contains a cmov instruction")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/classic_imports.txt classic REGEX "^[^#]")
set(dll "")
string(REPLACE "\n" ";" header_lines "${headers}")
foreach(line IN LISTS header_lines)
  if(line MATCHES "DLL Name: (.+)$")
    string(TOLOWER "${CMAKE_MATCH_1}" dll)
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z_0-9]+)$")
    if(NOT "${dll} ${CMAKE_MATCH_1}" IN_LIST classic)
      message(FATAL_ERROR "${EXE} imports ${dll} ${CMAKE_MATCH_1}, which is not in classic_imports.txt")
    endif()
    math(EXPR import_count "${import_count} + 1")
  elseif(line STREQUAL "")
    set(dll "")
  endif()
endforeach()
if(NOT import_count GREATER 0)
  message(FATAL_ERROR "no imports found in ${EXE}: the import check cannot read objdump's output")
endif()

if(NOT headers MATCHES "MajorSubsystemVersion[ \t]+4\n[^\n]*MinorSubsystemVersion[ \t]+0")
  message(FATAL_ERROR "${EXE} is not marked for subsystem version 4.0")
endif()

string(REGEX MATCH "DllCharacteristics[ \t]+([0-9a-fA-F]+)" ignored "${headers}")
math(EXPR hardening "0x0${CMAKE_MATCH_1} & 0x140")
if(NOT hardening EQUAL 320 OR NOT headers MATCHES "Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory")
  message(FATAL_ERROR "${EXE} lacks --dynamicbase, --nxcompat or its base relocations")
endif()

file(SIZE ${EXE} size)
message(STATUS "Lichtaus+.exe: ${size} bytes, ${import_count} imported functions")
