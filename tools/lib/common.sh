# Shared by tools/test and tools/demo: installing what the build needs, and starting the X server
# and the Wine server the Windows programs run under.

KRV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

krv_log() { printf '== %s\n' "$*" >&2; }

# krv_require_packages PKG...: installs the Debian packages that are missing (needs root).
krv_require_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    krv_log "missing packages: ${missing[*]} (run as root, or install them)"
    return 1
  fi
  krv_log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq </dev/null >/dev/null
  apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
}

KRV_BUILD_PACKAGES=(cmake make g++ googletest python3 g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  binutils-mingw-w64-x86-64 g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 wine wine64
  xvfb xauth locales-all)
# The fuzz targets: clang and its runtime libraries, libFuzzer among them.
KRV_FUZZ_PACKAGES=(cmake make clang libclang-rt-dev googletest python3)

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
