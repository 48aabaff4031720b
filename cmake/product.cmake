# Compiler and linker settings for the product: code that runs without any C
# runtime on every 32-bit Windows from Windows 95 and NT 4 on.

# Program texts are written in UTF-8 and stored as code page 1252 bytes.
set(LICHTAUS_CHARSET_FLAGS -finput-charset=UTF-8 -fexec-charset=CP1252)

# The 64-bit twin (cmake/mingw-x86_64.cmake) is the same sources built for
# testing on machines that run no 32-bit program; it never ships.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(LICHTAUS_TWIN ON)
  set(LICHTAUS_WINEARCH win64)   # the Wine prefix its tests run in
  set(LICHTAUS_ARCH_FLAGS)
  set(LICHTAUS_ENTRY LichtausEntry)
else()
  set(LICHTAUS_TWIN OFF)
  set(LICHTAUS_WINEARCH win32)
  # -march=i486: the default emits cmov, which 486 and Pentium processors lack.
  # MinGW keeps the frame pointer on i686 even at -Os; nothing here walks
  # frames, and without it the code is 3 % smaller.
  set(LICHTAUS_ARCH_FLAGS -march=i486 -fomit-frame-pointer)
  # The entry symbol must be named with its stdcall decoration.
  set(LICHTAUS_ENTRY _LichtausEntry@0)
endif()

# No exceptions, RTTI, unwind tables or guarded statics: all need a runtime.
# -fdata-sections is left out on purpose: zeroed data would leave .bss.
set(LICHTAUS_PRODUCT_FLAGS
  -Os ${LICHTAUS_ARCH_FLAGS} -ffreestanding -fno-exceptions -fno-rtti
  -fno-asynchronous-unwind-tables -fno-threadsafe-statics -ffunction-sections
  -Wall -Wextra ${LICHTAUS_CHARSET_FLAGS})

# A static library of product code, linked into the executable and the tests.
function(lichtaus_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${LICHTAUS_PRODUCT_FLAGS})
endfunction()

# A wrong entry name would only warn and silently make the first function in
# .text the entry, hence --fatal-warnings.
# --dynamicbase and --nxcompat let Vista and later load the program at a random
# address and keep its data from being executed; both need the base
# relocations. Windows 95 to 98 and NT 4 ignore the flags.
set(LICHTAUS_EXE_LINK_OPTIONS
  -nostdlib -mwindows -s
  -Wl,-e,${LICHTAUS_ENTRY},--fatal-warnings,--gc-sections
  -Wl,--dynamicbase,--nxcompat,--enable-reloc-section,--no-insert-timestamp
  -Wl,--subsystem,windows:4.0,--major-os-version,4,--minor-os-version,0)
set(LICHTAUS_SYSTEM_LIBRARIES gcc kernel32 user32 gdi32 shell32 advapi32)
