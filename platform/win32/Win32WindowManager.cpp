#include <windows.h>

#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {
namespace {

HWND toHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

BOOL CALLBACK collect(HWND window, LPARAM into) {
  reinterpret_cast<std::vector<WindowHandle>*>(into)->push_back(reinterpret_cast<WindowHandle>(window));
  return TRUE;
}

class Win32WindowManager final : public WindowManager {
 public:
  std::vector<WindowHandle> topLevelWindows() override {
    std::vector<WindowHandle> windows;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
  }

  std::string windowText(WindowHandle window, std::size_t maxChars) override {
    std::wstring buffer(maxChars + 1, L'\0');
    const int length = GetWindowTextW(toHwnd(window), buffer.data(), static_cast<int>(buffer.size()));
    buffer.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return narrow(buffer);
  }

  void activate(WindowHandle window) override { SetActiveWindow(toHwnd(window)); }
  bool isMinimised(WindowHandle window) override { return IsIconic(toHwnd(window)) != FALSE; }
  void restore(WindowHandle window) override {
    const HWND h = toHwnd(window);
    // A window minimised from maximised comes back maximised first: restored once more.
    if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
    if (IsZoomed(h)) ShowWindow(h, SW_RESTORE);
  }
  void bringToForeground(WindowHandle window) override { SetForegroundWindow(toHwnd(window)); }

  WindowHandle findByTitle(const std::string& exactTitle) override {
    return reinterpret_cast<WindowHandle>(FindWindowW(nullptr, wide(exactTitle).c_str()));
  }

  std::intptr_t sendCopyData(WindowHandle target, WindowHandle sender, std::uintptr_t dwData,
                             const std::string& bytes) override {
    std::string data = bytes;  // the record points at writable memory, as the message expects
    COPYDATASTRUCT record{};
    record.dwData = dwData;
    record.cbData = static_cast<DWORD>(data.size());
    record.lpData = data.data();
    return SendMessageW(toHwnd(target), WM_COPYDATA, static_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&record));
  }
};

}  // namespace

std::unique_ptr<WindowManager> createWindowManager() { return std::make_unique<Win32WindowManager>(); }

}  // namespace platform::win32
