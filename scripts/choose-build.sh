# Sourced by run.sh, test.sh and benchmark/footprint.sh once scripts/setup.sh
# has run: chooses which build of Lichtaus+ runs under Wine on this machine.
# The program that ships is 32-bit (build/). A kernel without 32-bit support
# (WSL 1, some sandboxes, ia32_emulation=0) starts no 32-bit program, Wine's
# 32-bit loader included; there the 64-bit twin of the same sources
# (build-x64/) runs under 64-bit Wine instead. LICHTAUS_TEST_ARCH=x86 or x64
# forces the choice. Sets wine_arch (x86|x64), wine_build and WINEARCH, and
# defines configure_wine_build and say_which_build.
wine_arch=${LICHTAUS_TEST_ARCH:-}
if [ -z "$wine_arch" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then wine_arch=x86; else wine_arch=x64; fi
fi
case $wine_arch in
  x86) wine_build=build; export WINEARCH=win32 ;;
  x64) wine_build=build-x64; export WINEARCH=win64; scripts/setup.sh x64 ;;
  *) echo "LICHTAUS_TEST_ARCH is x86 or x64, not '$wine_arch'" >&2; exit 2 ;;
esac

# Configures and builds the chosen build folder, after the shipped program.
configure_wine_build() {
  cmake -S . -B build >/dev/null
  cmake --build build -j"$(nproc)" "$@"
  if [ "$wine_arch" = x64 ]; then
    cmake -S . -B build-x64 -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-x86_64.cmake" \
      -DLICHTAUS_SHIPPED_EXE="$PWD/build/Lichtaus+.exe" >/dev/null
    cmake --build build-x64 -j"$(nproc)" "$@"
  fi
}

# One line on what runs under Wine here, and how.
say_which_build() {
  if [ "$wine_arch" = x86 ]; then
    echo "$1 the shipped 32-bit build/Lichtaus+.exe under 32-bit Wine"
  else
    echo "$1 the 64-bit twin build-x64/Lichtaus+.exe under 64-bit Wine, as this machine runs no 32-bit program" \
      "(or LICHTAUS_TEST_ARCH=x64 says so); the 32-bit build/Lichtaus+.exe is what ships${2:-}"
  fi
}
