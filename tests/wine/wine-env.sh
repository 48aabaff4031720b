# Sourced by the Wine helpers: the environment every Wine run of the tests
# uses. Expects WINEPREFIX, and WINEARCH=win64 for a 64-bit prefix.
export WINEARCH=${WINEARCH:-win32}
if [ "$WINEARCH" = win64 ]; then
  # Debian's wine script tries the 32-bit loader first: a kernel without
  # 32-bit support cannot start it, and others would run 32-bit programs.
  export WINELOADER=/usr/lib/wine/wine64
  wine() { "$WINELOADER" "$@"; }
fi
# Wine takes the ANSI code page from the locale: C.UTF-8 gives code page 1252.
export LANG=C.UTF-8
export LC_ALL=C.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts, and nothing written into the user's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
