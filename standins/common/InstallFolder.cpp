#include "standins/common/InstallFolder.h"

#include <vector>

namespace standin {
namespace {

// Removes outer spaces and trailing backslashes: the names below the folder are appended with a
// backslash of their own (a drive root "C:\" becomes "C:", and "C:\$LOGS" follows from it).
std::wstring tidyFolder(std::wstring folder) {
  const std::size_t first = folder.find_first_not_of(L' ');
  if (first == std::wstring::npos) return {};
  folder.erase(0, first);
  folder.erase(folder.find_last_not_of(L' ') + 1);
  while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}

std::wstring registeredLocation() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServiceInfoKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return {};
  std::wstring value;
  DWORD type = 0;
  DWORD sizeBytes = 0;
  if (RegQueryValueExW(key, kLocationValue, nullptr, &type, nullptr, &sizeBytes) == ERROR_SUCCESS &&
      type == REG_SZ && sizeBytes > 0) {
    // One spare character, since a stored value need not end in a NUL.
    std::vector<wchar_t> buffer(sizeBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key, kLocationValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
      value.assign(buffer.data());  // up to the first NUL
    }
  }
  RegCloseKey(key);
  return value;
}

}  // namespace

std::wstring moduleFolder() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&moduleFolder), &self)) {
    return {};
  }
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      std::wstring file(path.data(), length);
      const std::size_t slash = file.find_last_of(L"\\/");
      return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
    }
    path.resize(path.size() * 2);
  }
}

std::wstring installLocation() {
  std::wstring location = tidyFolder(registeredLocation());
  return location.empty() ? moduleFolder() : location;
}

bool createFolders(const std::wstring& folder) {
  if (folder.empty()) return false;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::size_t slash = folder.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0) {
    const std::wstring parent = folder.substr(0, slash);
    // A drive ("C:") or a share root is not created; it exists or the creation below fails.
    if (parent.back() != L':' && parent.find_first_not_of(L"\\/") != std::wstring::npos)
      createFolders(parent);
  }
  return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace standin
