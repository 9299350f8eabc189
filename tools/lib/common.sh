# Shared by tools/test and tools/demo: installing what the build needs, and starting the X server
# and the Wine server the Windows programs run under.

KRV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

krv_log() { printf '== %s\n' "$*" >&2; }

# krv_require_packages PKG...: installs the Debian packages that are missing (needs root). A package
# of another architecture (wine32:i386) needs that architecture in dpkg's list first: it is added,
# and the package lists read again, before anything is installed.
krv_require_packages() {
  local missing=() architectures=() pkg arch
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  for pkg in "${missing[@]}"; do
    [[ "$pkg" == *:* ]] || continue
    arch=${pkg##*:}
    [ "$arch" = "$(dpkg --print-architecture)" ] && continue
    dpkg --print-foreign-architectures | grep -qx "$arch" || architectures+=("$arch")
  done
  if [ "$(id -u)" -ne 0 ]; then
    krv_log "missing packages: ${missing[*]} (run as root, or install them)"
    [ ${#architectures[@]} -eq 0 ] || krv_log "they need: dpkg --add-architecture ${architectures[*]}"
    return 1
  fi
  for arch in "${architectures[@]}"; do
    krv_log "adding the architecture $arch to dpkg"
    dpkg --add-architecture "$arch"
  done
  krv_log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq </dev/null >/dev/null
  apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
}

KRV_BUILD_PACKAGES=(cmake make g++ googletest python3 g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  binutils-mingw-w64-x86-64 g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 wine wine64
  xvfb xauth locales-all)
# Wine's 32-bit side, for the 32-bit build's tests (from Debian's i386 architecture). Only where the
# kernel runs 32-bit x86 programs (krv_runs_32bit_programs): elsewhere its loader cannot start, and
# as the "wine" command prefers it once installed, every Windows program would then fail to start.
KRV_WINE32_PACKAGES=(wine32:i386)
# The fuzz targets: clang and its runtime libraries, libFuzzer among them.
KRV_FUZZ_PACKAGES=(cmake make clang libclang-rt-dev googletest python3)

# Whether the kernel runs 32-bit x86 programs: some virtual machines run 64-bit code only. Tried
# with the smallest such program, one that only exits with 0 (xor ebx,ebx; xor eax,eax; inc eax;
# int 0x80 after its ELF header and one program header).
krv_runs_32bit_programs() {
  local probe status
  mkdir -p "$KRV_ROOT/build"
  probe=$(mktemp "$KRV_ROOT/build/.exit32.XXXXXX")
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08' >"$probe"
  printf '\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$probe"
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5b\x00\x00\x00\x5b\x00\x00\x00' >>"$probe"
  printf '\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\x31\xc0\x40\xcd\x80' >>"$probe"
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1 </dev/null
  status=$?
  rm -f "$probe"
  return $status
}

# Starts an X server of our own on a free display and exports DISPLAY; stopped by krv_stop_servers.
# KRV_DISPLAY_NUMBER, when set, names the one display to use.
krv_start_xvfb() {
  local n
  for n in ${KRV_DISPLAY_NUMBER:-$(seq 91 119)}; do
    [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] && continue
    Xvfb ":${n}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    KRV_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X${n}" ] && break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X${n}" ]; then
      export DISPLAY=":${n}"
      return 0
    fi
    kill "$KRV_XVFB_PID" 2>/dev/null || true
  done
  krv_log "could not start Xvfb"
  return 1
}

# krv_wine_env PREFIX: the environment the Windows programs run in, with a persistent wineserver.
krv_wine_env() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    krv_log "preparing the Wine prefix ${WINEPREFIX#"$KRV_ROOT"/}"
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wineserver -w
    # No window manager runs under Xvfb: unmanaged windows close and restore at once instead of
    # waiting for one.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
    wineserver -w
  fi
  # One server for the whole run: each program start then costs milliseconds, not seconds.
  wineserver -p >/dev/null 2>&1 </dev/null || true  # already running for this prefix is fine
  # Start the prefix's own services now, with no terminal or pipe: services started by a later
  # program would inherit its output and hold the reading end (ctest, a pipe) open for the run.
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

# The short-date order number (0 month first, 1 day first, 2 year first) and the date separator of
# the user's regional settings as the programs in the current Wine prefix see them, e.g. "1 .".
krv_wine_date_form() {
  local values order separator
  values=$(wine reg query 'HKCU\Control Panel\International' 2>/dev/null </dev/null | tr -d '\r')
  order=$(awk '$1 == "iDate" { print $3 }' <<<"$values")
  separator=$(awk '$1 == "sDate" { print $3 }' <<<"$values")
  printf '%s %s\n' "${order:-0}" "${separator:-/}"
}

krv_stop_servers() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${KRV_XVFB_PID:-}" ]; then kill "$KRV_XVFB_PID" 2>/dev/null || true; fi
}
