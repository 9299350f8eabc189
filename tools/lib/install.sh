# krv_install_into_prefix BINDIR: installs the programs and the stand-ins into the Wine prefix in
# $WINEPREFIX as the product's installer would: the files in a Program Files folder, the engine's
# install location in ServiceInfo "Location", and the manager's application path.
#
# A 64-bit prefix takes a 32-bit build as 64-bit Windows does: its files go to "Program Files
# (x86)" and its registry values to the 32-bit view (below Wow6432Node), the one its programs and
# the engine library loaded into them see.

# krv_pe_machine FILE: the machine field of a Windows program's header, "014c" (32-bit x86) or
# "8664" (x86-64).
krv_pe_machine() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}

krv_install_into_prefix() {
  local bin="$1" folder='Program Files' view=64
  if [ "$(krv_pe_machine "$bin/Korvane.exe")" = 014c ]; then
    folder='Program Files (x86)'
    view=32
  fi
  KRV_INSTALL_WIN="C:\\$folder\\Korvane"
  KRV_INSTALL_UNIX="$WINEPREFIX/drive_c/$folder/Korvane"
  mkdir -p "$KRV_INSTALL_UNIX"
  local file
  for file in Korvane.exe Quillon.exe KRVCopyCtrl.dll KRVCmd.exe KRVMonitor.exe Diagsnap.exe; do
    [ -f "$bin/$file" ] && cp "$bin/$file" "$KRV_INSTALL_UNIX/"
  done
  # The licence agreement where the manager's Help menu opens it in WordPad.
  mkdir -p "$WINEPREFIX/drive_c/\$KRV/\$APP"
  cp "$KRV_ROOT/resources/manager/license.rtf" "$WINEPREFIX/drive_c/\$KRV/\$APP/license.rtf"
  wine reg add 'HKLM\SOFTWARE\Pellora\Korvane\ServiceInfo' /v Location /t REG_SZ /d "$KRV_INSTALL_WIN" /f \
    "/reg:$view" >/dev/null 2>&1
  wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Korvane.exe' /v Path /t REG_SZ \
    /d "$KRV_INSTALL_WIN" /f "/reg:$view" >/dev/null 2>&1
  wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Korvane.exe' /ve /t REG_SZ \
    /d "$KRV_INSTALL_WIN\\Korvane.exe" /f "/reg:$view" >/dev/null 2>&1
  krv_log "installed into $KRV_INSTALL_WIN"
}
