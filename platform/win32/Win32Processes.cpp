// Other programs, the shell and the system's shutdown.
#include <windows.h>

#include <vector>

#include "platform/Processes.h"
#include "platform/Shell.h"
#include "platform/win32/ShellLibrary.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {
namespace {

class Win32Processes final : public Processes {
 public:
  std::uint32_t start(const std::string& commandLine, int showState) override {
    std::wstring line = wide(commandLine);  // CreateProcessW may write into the command line
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
      return 0;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return info.dwProcessId;
  }

  std::int32_t invoke(const std::string& commandLine, bool wait, const std::string& folder) override {
    std::wstring line = wide(commandLine);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    const std::wstring where = wide(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        folder.empty() ? nullptr : where.c_str(), &startup, &info))
      return -1;
    std::int32_t result = 0;
    if (wait) {
      DWORD code = 0;
      result = WaitForSingleObject(info.hProcess, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(info.hProcess, &code)
                   ? static_cast<std::int32_t>(code)
                   : -1;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return result;
  }

  std::uintptr_t openForQuery(std::uint32_t processId) override {
    // With the right to wait on it, when that is granted, so that its end can be told for sure.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, processId);
    if (!process) process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    return reinterpret_cast<std::uintptr_t>(process);
  }

  std::uint32_t exitCode(std::uintptr_t process) override {
    DWORD code = 0;
    if (!GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &code)) return 0;
    return code;
  }

  bool running(std::uintptr_t process) override {
    switch (WaitForSingleObject(reinterpret_cast<HANDLE>(process), 0)) {
      case WAIT_OBJECT_0:
        return false;
      case WAIT_TIMEOUT:
        return true;
      default:  // opened without the right to wait on it
        return exitCode(process) == kStillActive;
    }
  }

  void close(std::uintptr_t process) override {
    if (process) CloseHandle(reinterpret_cast<HANDLE>(process));
  }

  void sleep(std::uint32_t milliseconds) override { Sleep(milliseconds); }
};

class Win32Shell final : public Shell {
 public:
  std::intptr_t open(const std::string& target) override {
    using Execute = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    const auto execute = shellFunction<Execute>("ShellExecuteW");
    // The shell's own answer for a missing library: out of memory or resources.
    if (!execute) return 0;
    HINSTANCE result = execute(nullptr, L"open", wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<std::intptr_t>(result);
  }
};

class Win32Shutdown final : public Shutdown {
 public:
  ~Win32Shutdown() override {
    if (token_) CloseHandle(token_);
  }

  StepResult openProcessToken() override {
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token_))
      return {true, 0};
    token_ = nullptr;
    return {false, GetLastError()};
  }

  StepResult lookupPrivilege(const std::string& name) override {
    if (LookupPrivilegeValueW(nullptr, wide(name).c_str(), &privilege_)) return {true, 0};
    return {false, GetLastError()};
  }

  StepResult enablePrivilege() override {
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Luid = privilege_;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Room for the previous state of one privilege: 28 bytes on every system of this kind.
    alignas(TOKEN_PRIVILEGES) unsigned char previous[28] = {};
    DWORD returned = 0;
    if (AdjustTokenPrivileges(token_, FALSE, &wanted, sizeof(previous),
                              reinterpret_cast<TOKEN_PRIVILEGES*>(previous), &returned)) {
      return {true, 0};
    }
    return {false, GetLastError()};
  }

  StepResult exitWindows(std::uint32_t flags, std::uint32_t reason) override {
    if (ExitWindowsEx(flags, reason)) return {true, 0};
    return {false, GetLastError()};
  }

 private:
  HANDLE token_ = nullptr;
  LUID privilege_{};
};

}  // namespace

std::unique_ptr<Processes> createProcesses() {
  return std::make_unique<Win32Processes>();
}
std::unique_ptr<Shell> createShell() {
  return std::make_unique<Win32Shell>();
}
std::unique_ptr<Shutdown> createShutdown() {
  return std::make_unique<Win32Shutdown>();
}

}  // namespace platform::win32
