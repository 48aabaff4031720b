# Proves after every link that the program's base relocations are complete.
# Vista and later may load Lichtaus+.exe at any address, but Wine only starts
# it at its preferred base, so running it cannot show a missing relocation.
# Instead the same objects are linked a second time at another base, and
# tools/relocheck checks that applying the first image's relocations to it
# gives exactly the second image. Included after the Lichtaus+ target.

# The second link: same objects, libraries and options, only the base moved.
# It lives in its own folder so that nothing takes it for the product; it is
# not checked by check_executable.cmake and not packed in the release zip.
add_executable(Lichtaus+_rebased WIN32 $<TARGET_OBJECTS:lichtaus_main>)
set_target_properties(Lichtaus+_rebased PROPERTIES
  LINKER_LANGUAGE CXX
  OUTPUT_NAME Lichtaus+
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/rebased)
target_link_options(Lichtaus+_rebased PRIVATE ${LICHTAUS_EXE_LINK_OPTIONS} -Wl,--image-base=0x20000000)
target_link_libraries(Lichtaus+_rebased PRIVATE ${LICHTAUS_LIBRARIES} ${LICHTAUS_SYSTEM_LIBRARIES})

# relocheck runs on the build machine, so it is built with the host compiler
# like artgen (see res/art/CMakeLists.txt).
find_program(HOST_CXX NAMES g++ c++ REQUIRED)
set(RELOCHECK_SOURCE ${CMAKE_SOURCE_DIR}/tools/relocheck/relocheck.cpp)
set(RELOCHECK ${CMAKE_BINARY_DIR}/tools/relocheck)
add_custom_command(
  OUTPUT ${RELOCHECK}
  COMMAND ${HOST_CXX} -std=c++17 -O2 -Wall -Wextra -o ${RELOCHECK} ${RELOCHECK_SOURCE}
  DEPENDS ${RELOCHECK_SOURCE}
  COMMENT "Building the host tool relocheck"
  VERBATIM)

# The stamp is only written when the check passes; naming both targets in
# DEPENDS reruns it whenever either executable is linked again.
set(RELOCATIONS_CHECKED ${CMAKE_BINARY_DIR}/rebased/relocations.checked)
add_custom_command(
  OUTPUT ${RELOCATIONS_CHECKED}
  COMMAND ${RELOCHECK} $<TARGET_FILE:Lichtaus+> $<TARGET_FILE:Lichtaus+_rebased>
  COMMAND ${CMAKE_COMMAND} -E touch ${RELOCATIONS_CHECKED}
  DEPENDS Lichtaus+ Lichtaus+_rebased ${RELOCHECK}
  COMMENT "Checking the base relocations of Lichtaus+.exe"
  VERBATIM)
add_custom_target(relocations ALL DEPENDS ${RELOCATIONS_CHECKED})
