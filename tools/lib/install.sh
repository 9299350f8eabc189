# krv_install_into_prefix BINDIR: installs the programs and the stand-ins into the Wine prefix in
# $WINEPREFIX as the product's installer would: the files in a Program Files folder, the engine's
# install location in ServiceInfo "Location", and the manager's application path.

KRV_INSTALL_WIN='C:\Program Files\Korvane'

krv_install_into_prefix() {
  local bin="$1"
  KRV_INSTALL_UNIX="$WINEPREFIX/drive_c/Program Files/Korvane"
  mkdir -p "$KRV_INSTALL_UNIX"
  local file
  for file in Korvane.exe Quillon.exe KRVCopyCtrl.dll KRVCmd.exe KRVMonitor.exe Diagsnap.exe; do
    [ -f "$bin/$file" ] && cp "$bin/$file" "$KRV_INSTALL_UNIX/"
  done
  # The licence agreement where the manager's Help menu opens it in WordPad.
  mkdir -p "$WINEPREFIX/drive_c/\$KRV/\$APP"
  cp "$KRV_ROOT/resources/manager/license.rtf" "$WINEPREFIX/drive_c/\$KRV/\$APP/license.rtf"
  wine reg add 'HKLM\SOFTWARE\Pellora\Korvane\ServiceInfo' /v Location /t REG_SZ /d "$KRV_INSTALL_WIN" /f \
    >/dev/null 2>&1
  wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Korvane.exe' /v Path /t REG_SZ \
    /d "$KRV_INSTALL_WIN" /f >/dev/null 2>&1
  wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Korvane.exe' /ve /t REG_SZ \
    /d "$KRV_INSTALL_WIN\\Korvane.exe" /f >/dev/null 2>&1
  krv_log "installed into $KRV_INSTALL_WIN"
}
