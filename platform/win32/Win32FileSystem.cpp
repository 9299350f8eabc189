// The user's folders, file attributes and plain file writes.
#include <shlobj.h>
#include <windows.h>

#include "platform/FileSystem.h"
#include "platform/win32/ShellLibrary.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {
namespace {

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<std::string> userFolder(int csidl) override {
    wchar_t path[MAX_PATH + 1] = {};
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    const auto getFolderPath = shellFunction<GetFolderPath>("SHGetFolderPathW");
    if (!getFolderPath || getFolderPath(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
      return std::nullopt;
    path[MAX_PATH] = L'\0';  // the answer is cut at its first NUL, which this one guarantees
    return narrow(path);
  }

  std::optional<std::uint32_t> attributes(const std::string& path) override {
    const DWORD found = GetFileAttributesW(wide(path).c_str());
    if (found == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return static_cast<std::uint32_t>(found);
  }

  bool writeFile(const std::string& path, const std::string& bytes) override {
    const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const BOOL closed = CloseHandle(file);
    return ok && closed && written == bytes.size();
  }
};

}  // namespace

std::unique_ptr<FileSystem> createFileSystem() {
  return std::make_unique<Win32FileSystem>();
}

}  // namespace platform::win32
