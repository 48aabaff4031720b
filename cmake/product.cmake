# Compiler and linker settings for the product: code that runs without any C
# runtime on every 32-bit Windows from Windows 95 and NT 4 on.

# Program texts are written in UTF-8 and stored as code page 1252 bytes.
set(LICHTAUS_CHARSET_FLAGS -finput-charset=UTF-8 -fexec-charset=CP1252)

# -march=i486: the default emits cmov, which 486 and Pentium processors lack.
# No exceptions, RTTI, unwind tables or guarded statics: all need a runtime.
# -fdata-sections is left out on purpose: zeroed data would leave .bss.
set(LICHTAUS_PRODUCT_FLAGS
  -Os -march=i486 -ffreestanding -fno-exceptions -fno-rtti
  -fno-asynchronous-unwind-tables -fno-threadsafe-statics -ffunction-sections
  -Wall -Wextra ${LICHTAUS_CHARSET_FLAGS})

# A static library of product code, linked into the executable and the tests.
function(lichtaus_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${LICHTAUS_PRODUCT_FLAGS})
endfunction()

# The entry symbol must be named with its stdcall decoration; a wrong name
# would only warn and silently make the first function in .text the entry,
# hence --fatal-warnings.
# --dynamicbase and --nxcompat let Vista and later load the program at a random
# address and keep its data from being executed; both need the base
# relocations. Windows 95 to 98 and NT 4 ignore the flags.
set(LICHTAUS_EXE_LINK_OPTIONS
  -nostdlib -mwindows -s
  -Wl,-e,_LichtausEntry@0,--fatal-warnings,--gc-sections
  -Wl,--dynamicbase,--nxcompat,--enable-reloc-section,--no-insert-timestamp
  -Wl,--subsystem,windows:4.0,--major-os-version,4,--minor-os-version,0)
set(LICHTAUS_SYSTEM_LIBRARIES gcc kernel32 user32 gdi32 shell32 advapi32 ole32)
