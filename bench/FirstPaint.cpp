// Times how long a program takes from its start to its first window shown and painted: the window
// with the title is visible, holds no region waiting to be painted, and its thread answers
// messages again (its start-up is over). Then closes the window as its close box would and waits
// for the end. Rounds alternate between the programs so that both see the same state of the system.
//
//   first_paint ROUNDS EXE1 TITLE1 [EXE2 TITLE2 ...]
//
// Prints, per program, every round's time and the median of all but the first (the first start of
// a program is the cold one: its files are not yet in Wine's caches).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double elapsedMs(LARGE_INTEGER since) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - since.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

HWND windowOf(DWORD processId, const std::wstring& title) {
  for (HWND w = FindWindowW(nullptr, title.c_str()); w;
       w = FindWindowExW(nullptr, w, nullptr, title.c_str())) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == processId) return w;
  }
  return nullptr;
}

// Milliseconds to the first painted window, or -1 when it did not come within a minute.
double timeOne(const std::wstring& exe, const std::wstring& title) {
  std::wstring command = L"\"" + exe + L"\"";
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process))
    return -1;
  double painted = -1;
  HWND window = nullptr;
  while (elapsedMs(start) < 60000) {
    window = windowOf(process.dwProcessId, title);
    DWORD_PTR answer = 0;
    if (window && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE) &&
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) {
      painted = elapsedMs(start);
      break;
    }
    Sleep(1);
  }
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return painted;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: first_paint ROUNDS EXE1 TITLE1 [EXE2 TITLE2 ...]\n");
    return 2;
  }
  const int rounds = std::max(2, _wtoi(argv[1]));
  const int programs = (argc - 2) / 2;
  std::vector<std::vector<double>> times(static_cast<std::size_t>(programs));
  for (int round = 0; round < rounds; ++round)
    for (int p = 0; p < programs; ++p) times[p].push_back(timeOne(argv[2 + 2 * p], argv[3 + 2 * p]));
  for (int p = 0; p < programs; ++p) {
    std::vector<double> warm(times[p].begin() + 1, times[p].end());
    std::sort(warm.begin(), warm.end());
    std::printf("%ls: cold %.0f ms, warm median %.0f ms (min %.0f, max %.0f; rounds:", argv[2 + 2 * p],
                times[p][0], warm[warm.size() / 2], warm.front(), warm.back());
    for (double t : times[p]) std::printf(" %.0f", t);
    std::printf(")\n");
  }
  return 0;
}
