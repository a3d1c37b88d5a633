# Which Windows build the Wine steps run. The product is the 32-bit build, and where the kernel
# can start 32-bit programs it is the one tested. A kernel without 32-bit support (no IA-32
# emulation) cannot start 32-bit Wine at all; there the same code, built for x86-64 Windows, runs
# under wine64 instead, and the 32-bit build is only compiled.

kernel_runs_32bit() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
# 32-bit Wine itself may be missing where the package registry could not provide it
# (scripts/bootstrap then says so); the 64-bit path serves there too.
wine32_installed() { [ -x /usr/lib/wine/wine ] && dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed'; }

# select_wine_build: sets WINDOWS_PRESET to win32 or win64. For win64 it puts wrappers first on
# PATH so that `wine` (and the tools Wine starts through it, wineboot among them) are wine64, and
# points DIST, HELPERS and REG_VIEW (unless already set) at that build and its registry view.
# MARLOWEN_WINDOWS_PRESET=win64 takes the 64-bit path where the 32-bit one could run too (to see
# both presets pass on one machine).
select_wine_build() {
  if [ "${MARLOWEN_WINDOWS_PRESET:-}" != win64 ] && kernel_runs_32bit && wine32_installed; then
    WINDOWS_PRESET=win32
    return 0
  fi
  WINDOWS_PRESET=win64
  local bin="$PWD/build/wine64-bin" name
  mkdir -p "$bin"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$bin/$name"
    chmod +x "$bin/$name"
  done
  export PATH="$bin:$PATH" WINEARCH=win64
  export DIST="${DIST:-$PWD/build/win64/dist}" HELPERS="${HELPERS:-$PWD/build/win64/tests/e2e}"
  export REG_VIEW="${REG_VIEW:-/reg:64}"
}
