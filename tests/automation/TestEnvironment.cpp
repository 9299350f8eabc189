#include "automation/TestEnvironment.h"

#include <atomic>
#include <stdexcept>

#include "automation/Automation.h"
#include "standins/common/Text.h"

namespace automation {
namespace {

constexpr const wchar_t* kServiceInfoKey = L"SOFTWARE\\Pellora\\Korvane\\ServiceInfo";
constexpr const wchar_t* kLocationValue = L"Location";
constexpr DWORD kPollMs = 50;
constexpr UINT kKilledExitCode = 0xDEAD;

void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

void createFolders(const std::wstring& folder) {
  const std::size_t slash = folder.find_last_of(L'\\');
  if (slash != std::wstring::npos && slash > 2) createFolders(folder.substr(0, slash));
  CreateDirectoryW(folder.c_str(), nullptr);
}

std::optional<std::wstring> readText(const wchar_t* keyName, const wchar_t* valueName,
                                     HKEY root = HKEY_LOCAL_MACHINE) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  std::optional<std::wstring> value;
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
          ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    value = buffer;
  }
  RegCloseKey(key);
  return value;
}

void writeText(const wchar_t* keyName, const wchar_t* valueName, const std::optional<std::wstring>& text,
               HKEY root = HKEY_LOCAL_MACHINE, DWORD type = REG_SZ) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot open a registry key");
  }
  LSTATUS status;
  if (text) {
    status = RegSetValueExW(key, valueName, 0, type, reinterpret_cast<const BYTE*>(text->c_str()),
                            static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t)));
  } else {
    status = RegDeleteValueW(key, valueName);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) throw std::runtime_error("cannot write a registry value");
}

std::optional<std::wstring> readLocation() {
  return readText(kServiceInfoKey, kLocationValue);
}

void writeLocation(const std::optional<std::wstring>& location) {
  writeText(kServiceInfoKey, kLocationValue, location);
}

}  // namespace

std::wstring binFolder() {
  wchar_t path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring file(path, length);
  return file.substr(0, file.find_last_of(L"\\/"));
}

std::wstring besideTests(const std::wstring& name) {
  return binFolder() + L"\\" + name;
}

bool fileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring screenshotFile(const std::wstring& name) {
  const std::wstring bin = binFolder();
  const std::wstring folder = bin.substr(0, bin.find_last_of(L"\\/")) + L"\\screenshots";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\" + name;
}

TempFolder::TempFolder(const std::wstring& below) {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(static_cast<DWORD>(std::size(temp)), temp);
  std::wstring base = below.empty() ? std::wstring(temp) : below;
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  for (;;) {
    path_ = base + L"\\krv-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(path_.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create a temporary folder");
  }
}

TempFolder::~TempFolder() {
  removeTree(path_);
}

std::wstring TempFolder::make(const std::wstring& relative) const {
  const std::wstring full = path_ + L"\\" + relative;
  const std::size_t slash = full.find_last_of(L'\\');
  createFolders(full.substr(0, slash));
  return full;
}

ServiceInfoLocation::ServiceInfoLocation(const std::optional<std::wstring>& location)
    : previous_(readLocation()) {
  writeLocation(location);
}

ServiceInfoLocation::~ServiceInfoLocation() {
  try {
    writeLocation(previous_);
  } catch (const std::exception&) {
    // Nothing more can be done at the end of a test; the next one sets its own location.
  }
}

ApplicationPath::ApplicationPath(const std::optional<std::wstring>& folder)
    : previous_(readText(kAppPathsKey, L"Path")) {
  writeText(kAppPathsKey, L"Path", folder);
}

ApplicationPath::~ApplicationPath() {
  try {
    writeText(kAppPathsKey, L"Path", previous_);
  } catch (const std::exception&) {
    // Nothing more can be done at the end of a test.
  }
}

UserDesktop::UserDesktop() : previous_(readText(kUserShellFoldersKey, L"Desktop", HKEY_CURRENT_USER)) {
  writeText(kUserShellFoldersKey, L"Desktop", folder_.path(), HKEY_CURRENT_USER, REG_EXPAND_SZ);
}

UserDesktop::~UserDesktop() {
  try {
    writeText(kUserShellFoldersKey, L"Desktop", previous_, HKEY_CURRENT_USER, REG_EXPAND_SZ);
  } catch (const std::exception&) {
    // Nothing more can be done at the end of a test.
  }
}

void Installation::setEngineState(const std::vector<std::string>& lines) const {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  HANDLE file = CreateFileW(folder_.make(L"$ENGINE\\state.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write the engine state");
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::optional<std::string> readFile(const std::wstring& path) {
  return standin::readWholeFile(path);
}

std::vector<std::string> splitLines(const std::string& text) {
  return standin::splitLines(text);
}

Program::Program(const std::wstring& executable, const std::wstring& arguments,
                 const std::wstring& workingFolder) {
  std::wstring commandLine = L"\"" + executable + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

Program::~Program() {
  if (!process_) return;
  if (running()) {
    TerminateProcess(process_, kKilledExitCode);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

bool Program::running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Program::waitForExit(DWORD timeoutMs) {
  if (!process_) return std::nullopt;
  const DWORD start = GetTickCount();
  for (;;) {
    if (!visibleWindowsOf(id_).empty()) showedWindow_ = true;
    if (WaitForSingleObject(process_, kPollMs) == WAIT_OBJECT_0) break;
    if (GetTickCount() - start >= timeoutMs) {
      TerminateProcess(process_, kKilledExitCode);
      WaitForSingleObject(process_, 5000);
      return std::nullopt;
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::optional<DWORD> closeManager(Program& program, DWORD timeoutMs, std::vector<std::string>* answered) {
  const DWORD start = GetTickCount();
  DWORD quietSince = 0;  // when the main window was first seen with no box over it
  for (;;) {
    if (GetTickCount() - start >= timeoutMs) return program.waitForExit(0);
    HWND main = nullptr;
    bool box = false;
    for (HWND window : visibleWindowsOf(program.id())) {
      wchar_t className[16] = {};
      GetClassNameW(window, className, 16);
      if (std::wstring(className) == L"#32770") {
        box = true;
        const std::string title = windowText(window);
        if (pressButton(window, title == "Data Anchoring" ? "No" : "OK") && answered)
          answered->push_back(title);
        waitUntilGone(window, 2000);
      } else if (GetMenu(window)) {
        main = window;
      }
    }
    if (box || !main) {
      quietSince = 0;
    } else if (quietSince == 0) {
      quietSince = GetTickCount();
    } else if (GetTickCount() - quietSince >= 500) {
      PostMessageW(main, WM_CLOSE, 0, 0);
      break;
    }
    Sleep(kPollMs);
  }
  const DWORD spent = GetTickCount() - start;
  const std::optional<DWORD> code = program.waitForExit(spent < timeoutMs ? timeoutMs - spent : 0);
  // The tray monitor the manager started goes with it.
  if (HWND monitor = FindWindowW(nullptr, L"OVS_KRV_Monitor")) {
    DWORD monitorId = 0;
    GetWindowThreadProcessId(monitor, &monitorId);
    PostMessageW(monitor, WM_CLOSE, 0, 0);
    if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, monitorId)) {
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
  return code;
}

}  // namespace automation
