// KRVMonitor.exe, the tray monitor's stand-in: owns the top-level window "OVS_KRV_Monitor" that the
// manager sends its short texts to, and records every copy-data message it receives in
// "<location>\$ENGINE\monitor.txt", one line per message:
//
//   sender=<window handle, decimal> kind=<dwData> size=<cbData> bytes=<every byte, two hex digits>
//
// so that tests can read back exactly what arrived. The window is never shown; WM_CLOSE ends the
// program. A second start finds the first one's window and ends at once with exit code 1.

#include <windows.h>

#include <cstdio>
#include <string>

#include "standins/common/InstallFolder.h"
#include "standins/common/Text.h"

namespace {

constexpr const wchar_t* kWindowTitle = L"OVS_KRV_Monitor";
constexpr const wchar_t* kWindowClass = L"KRVMonitorStandIn";

std::wstring recordPath() {
  return standin::installLocation() + L"\\$ENGINE\\monitor.txt";
}

std::string recordLine(WPARAM sender, const COPYDATASTRUCT& data) {
  char head[96];
  std::snprintf(head, sizeof(head),
                "sender=%llu kind=%llu size=%lu bytes=", static_cast<unsigned long long>(sender),
                static_cast<unsigned long long>(data.dwData), static_cast<unsigned long>(data.cbData));
  std::string line = head;
  static constexpr char kHex[] = "0123456789abcdef";
  const auto* bytes = static_cast<const unsigned char*>(data.lpData);
  for (DWORD i = 0; bytes && i < data.cbData; ++i) {
    line.push_back(kHex[bytes[i] >> 4]);
    line.push_back(kHex[bytes[i] & 0x0F]);
  }
  line += "\r\n";
  return line;
}

bool appendRecord(const std::string& line) {
  return standin::appendToFile(recordPath(), line);
}

LRESULT CALLBACK monitorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!data) return FALSE;
      return appendRecord(recordLine(wParam, *data)) ? TRUE : FALSE;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (FindWindowW(nullptr, kWindowTitle)) return 1;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = monitorProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassW(&windowClass)) return 1;
  // A top-level window (not message-only), so that a search among the top-level windows finds it.
  const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, kWindowTitle, WS_OVERLAPPED, 0, 0, 0, 0,
                                      nullptr, nullptr, instance, nullptr);
  if (!window) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
