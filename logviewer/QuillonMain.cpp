// The log viewer's process entry: builds the real platform services, sets up frmMain, shows it and
// runs until it closes. The viewer takes no arguments.

#include "logviewer/FrmMain.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32FormToolkit.h"

namespace win32 = platform::win32;

int win32::programMain() {
  auto toolkit = ui::win32::createFormToolkit();
  auto registry = win32::createRegistry();
  auto files = win32::createFileReader();
  auto codec = win32::createAnsiCodec();
  auto locale = win32::createLocale();
  auto strings = win32::createResourceStringTable();

  quillon::FrmMain window({*toolkit, *registry, *files, *codec, *locale, *strings});
  window.Form_Initialize();
  window.show();
  return toolkit->run();
}
