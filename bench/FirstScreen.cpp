// Times the real Quillon.exe under Wine: from its start to the first screen (the window shown with
// its master list filled and the last entry selected), then a re-sort by a column click.
//
//   quillon_first_screen <Quillon.exe> <expected entries>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const wchar_t kCaption[] = L"Korvane\x2122 Logs";

HWND masterList(HWND window) {
  return FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
}

double elapsedMs(LARGE_INTEGER since) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - since.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: quillon_first_screen QUILLON_EXE ENTRIES\n");
    return 2;
  }
  const long expected = std::wcstol(argv[2], nullptr, 10);
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "cannot start Quillon.exe\n");
    return 1;
  }
  HWND window = nullptr, list = nullptr;
  double firstScreen = -1;
  while (elapsedMs(start) < 60000) {
    window = FindWindowW(nullptr, kCaption);
    list = window ? masterList(window) : nullptr;
    if (list && IsWindowVisible(window)) {
      const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
      const LRESULT selected = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
      if (count == expected && selected == count - 1) {
        firstScreen = elapsedMs(start);
        break;
      }
    }
    Sleep(5);
  }
  int code = 0;
  if (firstScreen < 0) {
    std::fprintf(stderr, "no first screen within a minute\n");
    code = 1;
  } else {
    std::printf("first screen under Wine (start to window with %ld entries, last selected): %.0f ms\n",
                expected, firstScreen);
    // Clicks on the headers: each sort runs inside the button-up message the header handles.
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int dateWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    const int typeWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
    struct Click {
      const char* what;
      int x;
    };
    const Click clicks[] = {{"by date, newest first", 10},
                            {"by type ascending", dateWidth + 10},
                            {"by type descending", dateWidth + 10},
                            {"by description ascending", dateWidth + typeWidth + 10}};
    for (const Click& click : clicks) {
      LARGE_INTEGER sortStart;
      QueryPerformanceCounter(&sortStart);
      SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(click.x, 5));
      SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(click.x, 5));
      std::printf("re-sort under Wine, %s: %.0f ms\n", click.what, elapsedMs(sortStart));
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}
