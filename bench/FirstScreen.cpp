// Times one start of a program under Wine, for bench/run's paired rounds. Two kinds of start:
//
//   quillon_first_screen viewer <Quillon.exe> <expected entries> <last description>
//     From the start of the real Quillon.exe to its first screen: the window shown with the log's
//     last entries, the last one selected (its description the one given), nothing left to paint
//     and start-up over. Then to the whole log shown (every entry listed, the last selected,
//     painted). Then re-sorts by clicks on the column headers right after that and once more, each
//     timed from the click to the list repainted, and last the viewer's peak memory.
//   quillon_first_screen trivial <program.exe> <title> [list]
//     From the start of a trivial program to its first window shown and painted, the same way;
//     with "list", the window's list view painted too.
//
// Prints one "name value" line per figure, for the script to gather.

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const wchar_t kCaption[] = L"Korvane\x2122 Logs";

double elapsedMs(LARGE_INTEGER since) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - since.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

HWND windowOf(DWORD processId, const wchar_t* title) {
  for (HWND w = FindWindowW(nullptr, title); w; w = FindWindowExW(nullptr, w, nullptr, title)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == processId) return w;
  }
  return nullptr;
}

// The window and the list (when given) hold no region waiting to be painted, and the window's
// thread answers messages again: what the user sees is drawn.
bool painted(HWND window, HWND list) {
  DWORD_PTR answer = 0;
  return IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE) &&
         !(list && GetUpdateRect(list, nullptr, FALSE)) &&
         SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer) &&
         !GetUpdateRect(window, nullptr, FALSE) && !(list && GetUpdateRect(list, nullptr, FALSE));
}

// The text of a list's cell in another process: the text goes through a buffer in that process.
std::wstring itemText(HWND list, int row, int column) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return L"";
  constexpr std::size_t kChars = 1024;
  char* remote = static_cast<char*>(VirtualAllocEx(
      process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  std::wstring text;
  if (remote) {
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
    const auto length =
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
    text.resize(static_cast<std::size_t>(length));
    ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

struct Started {
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start{};
};

bool startProgram(const std::wstring& exe, Started& started, const std::wstring& arguments = L"") {
  std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  QueryPerformanceCounter(&started.start);
  return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started.process);
}

void endProgram(Started& started, HWND window) {
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(started.process.hProcess, 20000) != WAIT_OBJECT_0)
    TerminateProcess(started.process.hProcess, 1);
  CloseHandle(started.process.hThread);
  CloseHandle(started.process.hProcess);
}

int timeTrivial(const std::wstring& exe, const wchar_t* title, bool withList) {
  Started started;
  if (!startProgram(exe, started, withList ? L"list" : L"")) return 1;
  HWND window = nullptr;
  double firstPaint = -1;
  while (elapsedMs(started.start) < 60000) {
    window = windowOf(started.process.dwProcessId, title);
    HWND list = window && withList ? FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
    if (window && (list || !withList) && painted(window, list)) {
      firstPaint = elapsedMs(started.start);
      break;
    }
    Sleep(1);
  }
  endProgram(started, window);
  if (firstPaint < 0) return 1;
  std::printf("first_paint_ms %.1f\n", firstPaint);
  return 0;
}

// Clicks a header of the list as the mouse would, and waits for the list to be repainted.
double clickToRepaint(HWND window, HWND list, int x) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  // The sort runs inside the button-up message the header handles; it invalidates the list.
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
  SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
  while (!painted(window, list) && elapsedMs(start) < 60000) Sleep(0);
  return elapsedMs(start);
}

int timeViewer(const std::wstring& exe, long expected, const std::wstring& lastDescription) {
  Started started;
  if (!startProgram(exe, started)) {
    std::fprintf(stderr, "cannot start Quillon.exe\n");
    return 1;
  }
  HWND window = nullptr, list = nullptr;
  double firstScreen = -1, wholeLog = -1;
  while (elapsedMs(started.start) < 60000) {
    window = windowOf(started.process.dwProcessId, kCaption);
    list = window ? FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
    if (list && IsWindowVisible(window)) {
      const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
      const LRESULT selected = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
      // An empty log shows an empty list.
      const bool lastSelected = expected == 0 ? count == 0 : count > 0 && selected == count - 1;
      if (lastSelected && painted(window, list)) {
        if (firstScreen < 0 &&
            (expected == 0 || itemText(list, static_cast<int>(selected), 2) == lastDescription))
          firstScreen = elapsedMs(started.start);
        if (firstScreen >= 0 && count == expected) {
          wholeLog = elapsedMs(started.start);
          break;
        }
      }
    }
    Sleep(1);
  }
  if (wholeLog < 0) {
    std::fprintf(stderr, "no first screen within a minute\n");
    endProgram(started, window);
    return 1;
  }
  std::printf("first_screen_ms %.1f\n", firstScreen);
  std::printf("whole_log_ms %.1f\n", wholeLog);
  // Right after the whole log is shown, as an impatient user would: every column, each way.
  const int dateWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
  const int typeWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
  struct Click {
    const char* what;
    int x;
  };
  const Click clicks[] = {{"date_descending", 10},
                          {"type_ascending", dateWidth + 10},
                          {"type_descending", dateWidth + 10},
                          {"description_ascending", dateWidth + typeWidth + 10},
                          {"description_descending", dateWidth + typeWidth + 10},
                          {"date_ascending", 10}};
  for (const Click& click : clicks)
    std::printf("resort_%s_ms %.1f\n", click.what, clickToRepaint(window, list, click.x));
  // The same clicks again, every order sorted before.
  for (const Click& click : clicks)
    std::printf("resort_again_%s_ms %.1f\n", click.what, clickToRepaint(window, list, click.x));
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(started.process.hProcess, &memory, sizeof(memory))) {
    std::printf("peak_working_set %llu\n", static_cast<unsigned long long>(memory.PeakWorkingSetSize));
    std::printf("peak_private %llu\n", static_cast<unsigned long long>(memory.PeakPagefileUsage));
  }
  endProgram(started, window);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring kind = argc > 1 ? argv[1] : L"";
  if (argc == 5 && kind == L"viewer") return timeViewer(argv[2], std::wcstol(argv[3], nullptr, 10), argv[4]);
  if ((argc == 4 || argc == 5) && kind == L"trivial")
    return timeTrivial(argv[2], argv[3], argc == 5 && std::wstring(argv[4]) == L"list");
  std::fprintf(stderr,
               "usage: quillon_first_screen viewer QUILLON_EXE ENTRIES LAST_DESCRIPTION\n"
               "       quillon_first_screen trivial PROGRAM_EXE TITLE [list]\n");
  return 2;
}
