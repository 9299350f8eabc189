#include <windows.h>

#include <vector>

#include "platform/win32/Owned.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {
namespace {

class Win32System final : public System {
 public:
  explicit Win32System(std::string instanceName) : instanceName_(std::move(instanceName)) {}

  OsVersion osVersion() override {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    OsVersion version;
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
      version.major = info.dwMajorVersion;
      version.minor = info.dwMinorVersion;
      version.build = info.dwBuildNumber;
      version.productType = info.wProductType;
    }
    return version;
  }

  ProgramVersion programVersion() override {
    ProgramVersion version;
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length >= std::size(path)) return version;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return version;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data())) return version;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixedSize < sizeof(VS_FIXEDFILEINFO)) {
      return version;
    }
    version.major = HIWORD(fixed->dwFileVersionMS);
    version.minor = LOWORD(fixed->dwFileVersionMS);
    version.revision = LOWORD(fixed->dwFileVersionLS);
    return version;
  }

  std::string commandLine() override {
    const wchar_t* line = GetCommandLineW();
    // Skip the program's own name, quoted or not, and the blanks after it.
    if (*line == L'"') {
      ++line;
      while (*line && *line != L'"') ++line;
      if (*line == L'"') ++line;
    } else {
      while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return narrow(line);
  }

  bool anotherInstanceRunning() override {
    if (!claimed_) {
      claimed_ = true;
      instanceMutex_.reset(CreateMutexW(nullptr, FALSE, wide(instanceName_).c_str()));
      earlierInstance_ = instanceMutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    }
    return earlierInstance_;
  }

 protected:
  void endProcess(int code) override { ExitProcess(static_cast<UINT>(code)); }

 private:
  std::string instanceName_;
  OwnedHandle instanceMutex_;  // held for the program's life
  bool claimed_ = false;
  bool earlierInstance_ = false;
};

}  // namespace

std::unique_ptr<System> createSystem(std::string instanceName) {
  return std::make_unique<Win32System>(std::move(instanceName));
}

}  // namespace platform::win32
