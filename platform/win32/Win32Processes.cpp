// Other programs, the shell and the system's shutdown.
#include <windows.h>

#include <vector>

#include "platform/Processes.h"
#include "platform/Shell.h"
#include "platform/win32/Owned.h"
#include "platform/win32/ShellLibrary.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {
namespace {

class Win32Processes final : public Processes {
 public:
  ProcessHandle start(const std::string& commandLine, int showState) override {
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
      return {};
    }
    const OwnedHandle thread(info.hThread);
    OwnedHandle process(info.hProcess);
    return ProcessHandle(*this, reinterpret_cast<std::uintptr_t>(process.release()), info.dwProcessId);
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
    const OwnedHandle thread(info.hThread);
    const OwnedHandle process(info.hProcess);
    if (!wait) return 0;
    DWORD code = 0;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &code))
      return -1;
    return static_cast<std::int32_t>(code);
  }

  std::uint32_t exitCode(const ProcessHandle& process) override {
    DWORD code = 0;
    if (!GetExitCodeProcess(toHandle(process), &code)) return 0;
    return code;
  }

  bool running(const ProcessHandle& process) override {
    switch (WaitForSingleObject(toHandle(process), 0)) {
      case WAIT_OBJECT_0:
        return false;
      case WAIT_TIMEOUT:
        return true;
      default:  // the wait failed: the exit code is all there is
        return exitCode(process) == kStillActive;
    }
  }

  void sleep(std::uint32_t milliseconds) override { Sleep(milliseconds); }

 protected:
  void release(std::uintptr_t handle) override { HandleCloser()(reinterpret_cast<HANDLE>(handle)); }

 private:
  static HANDLE toHandle(const ProcessHandle& process) { return reinterpret_cast<HANDLE>(process.get()); }
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
  StepResult openProcessToken() override {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
      token_.reset(token);
      return {true, 0};
    }
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
    if (AdjustTokenPrivileges(token_.get(), FALSE, &wanted, sizeof(previous),
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
  OwnedHandle token_;
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
