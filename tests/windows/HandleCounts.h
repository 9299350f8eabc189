#pragma once
// The GDI and USER objects this process holds, for the tests that refresh a window many times and
// expect the counts to stay flat.

#include <windows.h>

namespace testsupport {

// The objects this process holds. The system's own count where it keeps one; where it reports
// none (Wine answers 0), the live handles of each kind are counted by probing the handle tables.
struct HandleCounts {
  DWORD gdi = 0;
  DWORD user = 0;
  bool probed = false;
};

inline DWORD probeGdiObjects() {
  DWORD count = 0;
  for (UINT_PTR h = 1; h < 0x10000; ++h)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(h))) ++count;
  return count;
}
inline DWORD probeUserObjects() {
  // Windows of this process, menus, and icons and cursors share one handle table.
  DWORD count = 0;
  HDC dc = CreateCompatibleDC(nullptr);
  for (UINT_PTR value = 0x20; value < 0x10000; value += 2) {
    DWORD process = 0;
    HWND window = reinterpret_cast<HWND>(value);
    if (IsWindow(window)) {
      if (GetWindowThreadProcessId(window, &process) && process == GetCurrentProcessId()) ++count;
    } else if (IsMenu(reinterpret_cast<HMENU>(value)) ||
               DrawIconEx(dc, 0, 0, reinterpret_cast<HICON>(value), 1, 1, 0, nullptr, DI_NORMAL)) {
      ++count;
    }
  }
  DeleteDC(dc);
  return count;
}
inline HandleCounts handleCounts() {
  HandleCounts counts{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                      GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), false};
  if (counts.gdi == 0 || counts.user == 0) counts = {probeGdiObjects(), probeUserObjects(), true};
  return counts;
}

// Asserts in the caller that the counting sees one object more of each kind; true when it does.
inline bool countingSeesOneMore(const HandleCounts& before) {
  if (!before.probed) return true;
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HMENU menu = CreateMenu();
  const HandleCounts more = handleCounts();
  DeleteObject(brush);
  DestroyMenu(menu);
  return more.gdi == before.gdi + 1 && more.user == before.user + 1;
}

}  // namespace testsupport
