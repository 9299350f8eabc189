// KRVCmd.exe, the engine command tool's stand-in. Takes the manager's task command lines:
//
//   KRVCmd.exe "<title>" COPY "<source>" "<destination>" [EXCLUDE <list>]
//   KRVCmd.exe "<title>" SIZE "<area>" [EXCLUDE <list>]
//   KRVCmd.exe "<title>" REMOVE "<area>"
//
// shows a progress window titled with the title (while copying, "N% " before it, N from 1 to 100),
// then changes the areas in the engine state: COPY creates or updates the destination (its size
// and last update), SIZE sets the area's size, REMOVE deletes it. Each task writes a detail log of
// its own and an entry naming it in the master log; a copy stores its outcome (0 or a negative
// engine code) in ServiceInfo "CopyResult". A title starting with "#" marks an unattended run: the
// "#" is not shown and nothing is asked; otherwise the outcome is shown in a box at the end.
//
// State keys read: "cmd.durationms" (how long the progress takes, 1000 by default) and
// "cmd.result" (a code every task ends with instead of doing its work); written:
// "cmd.commandline", the command line as the tool received it. The exit code is the outcome; 2
// when the command line is not one of the above.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "standins/common/Areas.h"
#include "standins/common/InstallFolder.h"
#include "standins/common/MasterLog.h"
#include "standins/common/StateFile.h"
#include "standins/common/Text.h"

namespace {

constexpr int kUsage = 2;
constexpr UINT_PTR kStepTimer = 1;
constexpr const wchar_t* kWindowClass = L"KRVCmdStandIn";
constexpr const char* kTag = " CMD ";

enum class Verb { Copy, Size, Remove };

struct Command {
  std::wstring title;  // without the unattended marker
  bool unattended = false;
  Verb verb = Verb::Copy;
  std::string source;       // ANSI
  std::string destination;  // ANSI; copy only
  std::string exclusions;   // ANSI, as given
};

using standin::ansi;

// Splits off one argument: a quoted one up to its closing quotation mark, a bare one up to a space.
std::optional<std::wstring> nextArgument(std::wstring_view& rest) {
  while (!rest.empty() && rest.front() == L' ') rest.remove_prefix(1);
  if (rest.empty()) return std::nullopt;
  if (rest.front() == L'"') {
    const std::size_t close = rest.find(L'"', 1);
    if (close == std::wstring_view::npos) return std::nullopt;
    std::wstring argument(rest.substr(1, close - 1));
    rest.remove_prefix(close + 1);
    return argument;
  }
  const std::size_t end = std::min(rest.find(L' '), rest.size());
  std::wstring argument(rest.substr(0, end));
  rest.remove_prefix(end);
  return argument;
}

std::optional<Command> parse(std::wstring_view line) {
  // The program itself comes first, quoted or not.
  if (!nextArgument(line)) return std::nullopt;
  Command command;
  const std::optional<std::wstring> title = nextArgument(line);
  const std::optional<std::wstring> verb = nextArgument(line);
  if (!title || !verb) return std::nullopt;
  command.unattended = !title->empty() && title->front() == L'#';
  command.title = command.unattended ? title->substr(1) : *title;
  std::size_t names = 1;
  if (_wcsicmp(verb->c_str(), L"COPY") == 0) {
    command.verb = Verb::Copy;
    names = 2;
  } else if (_wcsicmp(verb->c_str(), L"SIZE") == 0) {
    command.verb = Verb::Size;
  } else if (_wcsicmp(verb->c_str(), L"REMOVE") == 0) {
    command.verb = Verb::Remove;
  } else {
    return std::nullopt;
  }
  const std::optional<std::wstring> first = nextArgument(line);
  if (!first) return std::nullopt;
  command.source = ansi(*first);
  if (names == 2) {
    const std::optional<std::wstring> second = nextArgument(line);
    if (!second) return std::nullopt;
    command.destination = ansi(*second);
  }
  while (!line.empty() && line.front() == L' ') line.remove_prefix(1);
  if (line.empty()) return command;
  // The exclusion list is the rest of the line, unquoted, spaces and all.
  constexpr std::wstring_view kExclude = L"EXCLUDE ";
  if (command.verb == Verb::Remove || line.size() < kExclude.size() ||
      _wcsnicmp(line.data(), kExclude.data(), kExclude.size()) != 0)
    return std::nullopt;
  command.exclusions = ansi(std::wstring(line.substr(kExclude.size())));
  return command;
}

const char* verbName(Verb verb) {
  return verb == Verb::Copy ? "Copy/Update" : verb == Verb::Size ? "Size" : "Remove";
}

// The task's work on the areas; its outcome.
int perform(const Command& command, standin::StateFile& state, const std::wstring& location,
            std::vector<std::string>& details) {
  if (const std::optional<long> forced = state.number("cmd.result")) {
    details.push_back("The engine refused the task");
    return static_cast<int>(*forced);
  }
  std::vector<standin::Area> areas = standin::loadAreas(state);
  const std::optional<std::size_t> source = standin::findArea(areas, command.source);
  if (!source) {
    details.push_back("No area is named " + command.source);
    return standin::kNoSuchArea;
  }
  switch (command.verb) {
    case Verb::Copy: {
      if (!standin::validAreaName(command.destination)) {
        details.push_back("Not a valid area name: " + command.destination);
        return krv::kInvalidName;
      }
      std::optional<std::size_t> destination = standin::findArea(areas, command.destination);
      if (destination && (areas[*destination].number == 0 || *destination == *source)) {
        details.push_back("The destination area is in use: " + command.destination);
        return standin::kDestinationInUse;
      }
      if (!destination) {
        standin::Area created;
        created.name = command.destination;
        for (created.number = 1;; ++created.number) {
          bool used = false;
          for (const standin::Area& area : areas) used = used || area.number == created.number;
          if (!used) break;
        }
        areas.push_back(created);
        destination = areas.size() - 1;
        details.push_back("Created the area " + command.destination);
      }
      const std::int32_t size =
          areas[*source].sizeKB > 0 ? areas[*source].sizeKB : standin::usedKilobytes(location);
      areas[*destination].sizeKB = size;
      areas[*destination].lastUpdate = standin::engineTimeNow();
      if (!command.exclusions.empty()) details.push_back("Excluded: " + command.exclusions);
      details.push_back("Copied " + std::to_string(size) + " KB from " + command.source + " to " +
                        command.destination);
      break;
    }
    case Verb::Size:
      areas[*source].sizeKB = standin::usedKilobytes(location);
      details.push_back("The area " + command.source + " takes " + std::to_string(areas[*source].sizeKB) +
                        " KB");
      break;
    case Verb::Remove:
      if (areas[*source].number == 0) {
        details.push_back("The running area cannot be removed");
        return standin::kSourceInUse;
      }
      areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(*source));
      details.push_back("Removed the area " + command.source);
      break;
  }
  if (!standin::saveAreas(state, areas)) {
    details.push_back("The engine state could not be written");
    return -503;
  }
  return 0;
}

// The detail log's name: the task's letter and a running number, eight characters.
std::string nextDetailName(standin::StateFile& state, Verb verb) {
  const long number = state.number("log.sequence").value_or(0) + 1;
  state.set("log.sequence", std::to_string(number));
  char name[16];
  std::snprintf(name, sizeof(name), "%c%07ld",
                verb == Verb::Copy   ? 'C'
                : verb == Verb::Size ? 'S'
                                     : 'R',
                number % 10000000);
  return name;
}

void writeLogs(const Command& command, const std::wstring& location, standin::StateFile& state,
               const std::vector<std::string>& details, int outcome) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::string name = nextDetailName(state, command.verb);
  std::string what = std::string(verbName(command.verb)) + " " + command.source;
  if (command.verb == Verb::Copy) what += " to " + command.destination;
  std::string detail = standin::detailLine(now, kTag, what + ": started");
  for (const std::string& line : details) detail += standin::detailLine(now, kTag, line);
  detail += standin::detailLine(now, kTag,
                                outcome == 0 ? "Completed" : "Failed with code " + std::to_string(outcome));
  standin::appendLog(location, std::wstring(name.begin(), name.end()), detail);

  std::string master = standin::masterDetailLine(now, kTag, standin::kTaskMessage, name,
                                                 what + (outcome == 0 ? ": completed" : ": failed"));
  if (outcome != 0)
    master += standin::masterLine(now, kTag, standin::kTaskFailedMessage,
                                  what + " failed with code " + std::to_string(outcome));
  standin::appendMasterLog(location, master);
}

void storeCopyResult(int outcome) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, standin::kServiceInfoKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return;
  const DWORD value = static_cast<DWORD>(outcome);
  RegSetValueExW(key, L"CopyResult", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(key);
}

struct Task {
  Command command;
  std::wstring location;
  int percent = 0;
  int outcome = 0;
  HWND progress = nullptr;
};

void finish(HWND window, Task& task) {
  KillTimer(window, kStepTimer);
  standin::StateFile state = standin::StateFile::engine(task.location);
  std::vector<std::string> details;
  task.outcome = perform(task.command, state, task.location, details);
  writeLogs(task.command, task.location, state, details, task.outcome);
  if (task.command.verb == Verb::Copy) storeCopyResult(task.outcome);
  if (!task.command.unattended) {
    const std::wstring text = task.outcome == 0 ? task.command.title + L" completed."
                                                : task.command.title + L" failed: " +
                                                      standin::wideFromAnsi(details.back()) + L" (code " +
                                                      std::to_wstring(task.outcome) + L").";
    MessageBoxW(window, text.c_str(), task.command.title.c_str(),
                MB_OK | (task.outcome == 0 ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
  }
  DestroyWindow(window);
}

LRESULT CALLBACK taskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* task = reinterpret_cast<Task*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_TIMER:
      if (!task || wParam != kStepTimer) break;
      ++task->percent;
      SendMessageW(task->progress, PBM_SETPOS, static_cast<WPARAM>(task->percent), 0);
      if (task->command.verb == Verb::Copy) {
        const std::wstring title = std::to_wstring(task->percent) + L"% " + task->command.title;
        SetWindowTextW(window, title.c_str());
      }
      if (task->percent >= 100) finish(window, *task);
      return 0;
    case WM_CLOSE:
      return 0;  // a task runs to its end
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  const std::wstring location = standin::installLocation();
  standin::StateFile state = standin::StateFile::engine(location);
  // What the tool was given, exactly, for whoever wants to check its callers.
  state.set("cmd.commandline", ansi(GetCommandLineW()));
  const std::optional<Command> command = parse(GetCommandLineW());
  if (!command) {
    MessageBoxW(nullptr,
                L"Usage: KRVCmd \"title\" COPY \"source\" \"destination\" [EXCLUDE list]\n"
                L"       KRVCmd \"title\" SIZE \"area\" [EXCLUDE list]\n"
                L"       KRVCmd \"title\" REMOVE \"area\"",
                L"KRVCmd", MB_OK | MB_ICONEXCLAMATION);
    return kUsage;
  }
  Task task;
  task.command = *command;
  task.location = location;
  const long duration = std::max(100L, std::min(600000L, state.number("cmd.durationms").value_or(1000)));

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = taskProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);
  const HWND window =
      CreateWindowExW(0, kWindowClass, task.command.title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                      CW_USEDEFAULT, CW_USEDEFAULT, 420, 120, nullptr, nullptr, instance, nullptr);
  if (!window) return -503;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&task));
  task.progress = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 16, 24, 370, 22, window,
                                  nullptr, instance, nullptr);
  SendMessageW(task.progress, PBM_SETRANGE32, 0, 100);
  ShowWindow(window, show == SW_HIDE ? SW_HIDE : SW_SHOWNORMAL);
  SetTimer(window, kStepTimer, static_cast<UINT>(std::max(1L, duration / 100)), nullptr);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return task.outcome;
}
