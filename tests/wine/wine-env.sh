# Sourced by the Wine helpers: the environment every Wine run of the tests
# uses. Expects WINEPREFIX to be set by the caller.
export WINEARCH=win32
# Wine takes the ANSI code page from the locale: C.UTF-8 gives code page 1252.
export LANG=C.UTF-8
export LC_ALL=C.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts, and nothing written into the user's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
