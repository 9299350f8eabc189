// Diagsnap.exe, the support tool's stand-in. The manager's support dialog starts it as
//
//   Diagsnap.exe [REG $KRV] [SYS] [SETUP MAIN] [DETAIL:<days>]
//
// and waits for it. It writes a short report of what the switches ask for to "Diagsnap.txt" in the
// user's desktop folder (UTF-8 with its byte order mark, CR LF lines), which the dialog then opens in
// Notepad:
//
//   - always: when it was written, the switches, and the manager's version ("Korvane.exe" beside
//     this program, read from its version resource);
//   - REG $KRV: every value below HKLM\SOFTWARE\Pellora\Korvane, a password's value left out;
//   - SYS: the system's version, the install location, and the areas as the engine keeps them;
//   - SETUP MAIN: the last lines of the engine's master log;
//   - DETAIL:<days>: the detail logs changed in the last <days> days (1 to 999), each whole.
//
// The report replaces the previous one only once it is written whole (it is written to a file of
// its own first), so a failed run never leaves half a report for Notepad to show.
//
// Exit codes: 0 written; -1 a switch this tool does not know (nothing written); -2 the report could
// not be written.

#include <windows.h>
// After windows.h, which they need.
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "standins/common/Areas.h"
#include "standins/common/InstallFolder.h"
#include "standins/common/MasterLog.h"
#include "standins/common/StateFile.h"
#include "standins/common/Text.h"

namespace {

constexpr int kUnknownSwitch = -1;
constexpr int kWriteFailed = -2;
constexpr int kMaxDays = 999;
constexpr std::size_t kMasterLogLines = 40;
constexpr const wchar_t* kReportName = L"Diagsnap.txt";
constexpr const wchar_t* kPartialName = L"Diagsnap.tmp";
constexpr const wchar_t* kProductKey = L"SOFTWARE\\Pellora\\Korvane";

struct Request {
  bool registry = false;
  bool system = false;
  bool masterLog = false;
  int detailDays = 0;  // 0: no detail logs
  std::string asked;   // the switches as understood, for the report's head
};

// The switches, separated by spaces; false for anything this tool does not know.
bool parseSwitches(std::wstring_view line, Request& request) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && line[at] == L' ') ++at;
    const std::size_t end = std::min(line.find(L' ', at), line.size());
    if (end > at) words.push_back(standin::ansi(line.substr(at, end - at)));
    at = end;
  }
  if (words.empty()) return false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string word = standin::lowerAscii(words[i]);
    if (word == "reg" && i + 1 < words.size() && standin::equalIgnoringCase(words[i + 1], "$KRV")) {
      request.registry = true;
      request.asked += " REG $KRV";
      ++i;
    } else if (word == "sys") {
      request.system = true;
      request.asked += " SYS";
    } else if (word == "setup" && i + 1 < words.size() && standin::equalIgnoringCase(words[i + 1], "MAIN")) {
      request.masterLog = true;
      request.asked += " SETUP MAIN";
      ++i;
    } else if (word.rfind("detail:", 0) == 0) {
      const std::string digits = word.substr(7);
      if (digits.empty() || digits.size() > 3 ||
          !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
      }
      request.detailDays = std::stoi(digits);
      if (request.detailDays < 1 || request.detailDays > kMaxDays) return false;
      request.asked += " DETAIL:" + std::to_string(request.detailDays);
    } else {
      return false;
    }
  }
  return true;
}

// The command line after the program's own name, quoted or not.
std::wstring_view switchesOf(const wchar_t* line) {
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"') ++line;
    if (*line == L'"') ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  return line;
}

class Report {
 public:
  void line(std::string_view text = {}) {
    text_ += text;
    text_ += "\r\n";
  }
  void lineFromAnsi(std::string_view text) { line(standin::utf8(standin::wideFromAnsi(text))); }
  void lineFromWide(std::wstring_view text) { line(standin::utf8(text)); }
  void heading(std::string_view text) {
    line();
    line("== " + std::string(text) + " ==");
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_ = "\xef\xbb\xbf";
};

std::string localTimeText(const SYSTEMTIME& t) {
  char text[32];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond);
  return text;
}

std::string engineTimeText(std::int32_t time) {
  if (time == 0) return "never";
  int year, month, day, hour, minute, second;
  if (!standin::engineTimeToLocal(time, year, month, day, hour, minute, second)) return "not a date";
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  t.wSecond = static_cast<WORD>(second);
  return localTimeText(t);
}

void managerVersion(Report& report) {
  const std::wstring manager = standin::moduleFolder() + L"\\Korvane.exe";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(manager.c_str(), &ignored);
  std::vector<unsigned char> data(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (size == 0 || !GetFileVersionInfoW(manager.c_str(), 0, size, data.data()) ||
      !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
      fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    report.lineFromWide(L"Manager: no version found in " + manager);
    return;
  }
  report.line("Manager: Korvane.exe " + std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
              std::to_string(LOWORD(fixed->dwFileVersionMS)) + ".0 Build " +
              std::to_string(LOWORD(fixed->dwFileVersionLS)));
}

std::string valueText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
  switch (type) {
    case REG_DWORD: {
      DWORD number = 0;
      std::memcpy(&number, data.data(), std::min<DWORD>(size, sizeof(number)));
      return std::to_string(number) + " (REG_DWORD)";
    }
    case REG_SZ:
    case REG_EXPAND_SZ: {
      std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
      text.resize(std::wcslen(text.c_str()));
      return "\"" + standin::utf8(text) + "\"";
    }
    default:
      return std::to_string(size) + " bytes of type " + std::to_string(type);
  }
}

// Every value of the key and of the keys below it, a value whose name speaks of a password left out.
void registryKey(Report& report, HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    report.lineFromWide(L"HKEY_LOCAL_MACHINE\\" + path + L": cannot be opened");
    return;
  }
  report.lineFromWide(L"HKEY_LOCAL_MACHINE\\" + path);
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256;
    DWORD type = 0;
    DWORD size = 0;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size + sizeof(wchar_t));
    nameLength = 256;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
      continue;
    }
    const std::string shownName = nameLength == 0 ? "(default)" : standin::utf8(name);
    if (standin::lowerAscii(shownName).find("password") != std::string::npos) {
      report.line("  " + shownName + " = (left out)");
    } else {
      report.line("  " + shownName + " = " + valueText(type, data, size));
    }
  }
  std::vector<std::wstring> subkeys;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    subkeys.emplace_back(name, nameLength);
  }
  RegCloseKey(key);
  for (const std::wstring& subkey : subkeys) registryKey(report, root, path + L"\\" + subkey);
}

void systemPart(Report& report, const std::wstring& location) {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  // The version the system reports to this program, as the manager sees it too.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&version);
#pragma GCC diagnostic pop
  report.line("Windows " + std::to_string(version.dwMajorVersion) + "." +
              std::to_string(version.dwMinorVersion) + " build " + std::to_string(version.dwBuildNumber));
  wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD computerLength = MAX_COMPUTERNAME_LENGTH + 1;
  if (GetComputerNameW(computer, &computerLength))
    report.lineFromWide(L"Computer: " + std::wstring(computer));
  report.lineFromWide(L"Install location: " + location);
  const std::vector<standin::Area> areas = standin::loadAreas(standin::StateFile::engine(location));
  report.line("Areas: " + std::to_string(areas.size()));
  for (const standin::Area& area : areas) {
    report.lineFromAnsi("  " + area.name + (area.number == 0 ? " (running)" : "") + ", size " +
                        std::to_string(area.sizeKB) + " KB, last update " + engineTimeText(area.lastUpdate) +
                        ", last boot " + engineTimeText(area.lastBoot));
  }
}

void masterLogPart(Report& report, const std::wstring& location) {
  const std::wstring path = standin::logFolder(location) + L"\\KRV.log";
  const std::optional<std::string> text = standin::readWholeFile(path);
  if (!text) {
    report.lineFromWide(L"No master log at " + path);
    return;
  }
  const std::vector<std::string> lines = standin::splitLines(*text);
  const std::size_t first = lines.size() > kMasterLogLines ? lines.size() - kMasterLogLines : 0;
  report.line("The last " + std::to_string(lines.size() - first) + " of " + std::to_string(lines.size()) +
              " lines of the master log:");
  for (std::size_t i = first; i < lines.size(); ++i) report.lineFromAnsi(lines[i]);
}

void detailLogsPart(Report& report, const std::wstring& location, int days) {
  const std::wstring folder = standin::logFolder(location);
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG nowTicks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const ULONGLONG span = static_cast<ULONGLONG>(days) * 24 * 3600 * 10000000ULL;
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*.log").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      if (standin::equalIgnoringCase(standin::ansi(found.cFileName), "KRV.log")) continue;
      const ULONGLONG written = (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                found.ftLastWriteTime.dwLowDateTime;
      if (written + span >= nowTicks) names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  std::sort(names.begin(), names.end());
  report.line("Detail logs changed in the last " + std::to_string(days) +
              " days: " + std::to_string(names.size()));
  for (const std::wstring& name : names) {
    report.lineFromWide(L"--- " + name);
    const std::optional<std::string> text = standin::readWholeFile(folder + L"\\" + name);
    for (const std::string& line : standin::splitLines(text.value_or(""))) report.lineFromAnsi(line);
  }
}

// Writes the report beside its final place and then puts it there in one step.
bool writeReport(const std::string& text) {
  wchar_t desktop[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop) != S_OK) {
    return false;
  }
  const std::wstring partial = std::wstring(desktop) + L"\\" + kPartialName;
  const std::wstring report = std::wstring(desktop) + L"\\" + kReportName;
  HANDLE file =
      CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                     written == text.size();
  const bool closed = CloseHandle(file) != 0;
  if (!whole || !closed || !MoveFileExW(partial.c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(partial.c_str());
    return false;
  }
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Request request;
  if (!parseSwitches(switchesOf(GetCommandLineW()), request)) return kUnknownSwitch;

  const std::wstring location = standin::installLocation();
  SYSTEMTIME now{};
  GetLocalTime(&now);
  Report report;
  report.line("Diagsnap report, written " + localTimeText(now));
  report.line("Asked for:" + request.asked);
  managerVersion(report);
  if (request.registry) {
    report.heading("REG $KRV");
    registryKey(report, HKEY_LOCAL_MACHINE, kProductKey);
  }
  if (request.system) {
    report.heading("SYS");
    systemPart(report, location);
  }
  if (request.masterLog) {
    report.heading("SETUP MAIN");
    masterLogPart(report, location);
  }
  if (request.detailDays > 0) {
    report.heading("DETAIL:" + std::to_string(request.detailDays));
    detailLogsPart(report, location, request.detailDays);
  }
  return writeReport(report.text()) ? 0 : kWriteFailed;
}
