// The entry of the Windows GUI programs: the system starts them here, and they run their
// programMain. Nothing is taken from the arguments of the entry: the programs read their command
// line through System::commandLine, and their windows follow the show state the system gives the
// first window of a process.

#include <windows.h>

#include "platform/win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
  return platform::win32::programMain();
}
