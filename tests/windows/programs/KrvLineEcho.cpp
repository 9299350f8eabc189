// KrvLineEcho: a GUI program, started as the manager is, that writes the command line the platform
// layer reads for it (System::commandLine, in UTF-8) to "commandline.txt" in its own folder. Exit
// code 0 when written, 1 otherwise.

#include <windows.h>

#include <string>

#include "platform/win32/Win32Platform.h"

int platform::win32::programMain() {
  const std::string line = createSystem("Pellora.Korvane.Test.LineEcho")->commandLine();
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  if (length == 0 || length >= MAX_PATH * 2) return 1;
  std::wstring file(path, length);
  file = file.substr(0, file.find_last_of(L'\\') + 1) + L"commandline.txt";
  const HANDLE out =
      CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const bool done = WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
                    written == line.size();
  CloseHandle(out);
  return done ? 0 : 1;
}
