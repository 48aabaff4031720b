cmake_policy(SET CMP0057 NEW)
# Fails the build when the executable or its libraries carry what the program
# must not have: static constructors (nothing runs them without a runtime),
# cmov instructions (486 and Pentium lack them) or imports from DLLs other
# than the system ones. Prints the size on success.
#   cmake -DEXE=... -DOBJDUMP=... -DLIBRARIES=a;b -P check_executable.cmake

set(allowed_dlls kernel32.dll user32.dll shell32.dll advapi32.dll comctl32.dll)

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
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${import}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST allowed_dlls)
    message(FATAL_ERROR "${EXE} imports from ${dll}; only system DLLs are allowed")
  endif()
endforeach()
if(NOT headers MATCHES "MajorSubsystemVersion[ \t]+4\n[^\n]*MinorSubsystemVersion[ \t]+0")
  message(FATAL_ERROR "${EXE} is not marked for subsystem version 4.0")
endif()

file(SIZE ${EXE} size)
message(STATUS "Lichtaus+.exe: ${size} bytes")
