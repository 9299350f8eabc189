#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/Registry.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {
namespace {

HKEY rootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users:
      return HKEY_USERS;
    case RegistryRoot::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
    case RegistryRoot::DynData:
      return HKEY_DYN_DATA;
  }
  return HKEY_LOCAL_MACHINE;
}

class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// Queries a value into a buffer of bufferBytes and keeps exactly the bytes the system reported.
template <typename QueryFn>
std::optional<RegistryData> query(std::size_t bufferBytes, QueryFn queryValue) {
  std::vector<BYTE> buffer(bufferBytes);
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(bufferBytes);
  if (queryValue(&type, buffer.data(), &size) != ERROR_SUCCESS) return std::nullopt;
  return RegistryData{type, std::string(reinterpret_cast<const char*>(buffer.data()),
                                        std::min<std::size_t>(size, bufferBytes))};
}

class Win32Registry final : public Registry {
 public:
  std::optional<RegistryData> queryNarrow(RegistryRoot root, const std::string& key, const std::string& value,
                                          std::size_t bufferBytes) override {
    Key opened;
    if (RegOpenKeyExA(rootKey(root), toAnsiCodePage(key).c_str(), 0, KEY_READ, opened.out()) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    return query(bufferBytes, [&](DWORD* type, BYTE* data, DWORD* size) {
      return RegQueryValueExA(opened.get(), toAnsiCodePage(value).c_str(), nullptr, type, data, size);
    });
  }

  std::optional<RegistryData> queryWide(RegistryRoot root, const std::string& key, const std::string& value,
                                        std::size_t bufferBytes) override {
    Key opened;
    if (RegOpenKeyExW(rootKey(root), wide(key).c_str(), 0, KEY_READ, opened.out()) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return query(bufferBytes, [&](DWORD* type, BYTE* data, DWORD* size) {
      return RegQueryValueExW(opened.get(), wide(value).c_str(), nullptr, type, data, size);
    });
  }

  bool setNarrow(RegistryRoot root, const std::string& key, const std::string& value, std::uint32_t type,
                 const std::string& bytes) override {
    Key opened;
    if (RegCreateKeyExA(rootKey(root), toAnsiCodePage(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, opened.out(), nullptr) != ERROR_SUCCESS) {
      return false;
    }
    return RegSetValueExA(opened.get(), toAnsiCodePage(value).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
  }

  bool setWide(RegistryRoot root, const std::string& key, const std::string& value, std::uint32_t type,
               const std::string& bytes) override {
    Key opened;
    if (RegCreateKeyExW(rootKey(root), wide(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, opened.out(), nullptr) != ERROR_SUCCESS) {
      return false;
    }
    return RegSetValueExW(opened.get(), wide(value).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
  }

  bool deleteValue(RegistryRoot root, const std::string& key, const std::string& value) override {
    Key opened;
    if (RegOpenKeyExA(rootKey(root), toAnsiCodePage(key).c_str(), 0, KEY_ALL_ACCESS, opened.out()) !=
        ERROR_SUCCESS) {
      return false;
    }
    return RegDeleteValueA(opened.get(), toAnsiCodePage(value).c_str()) == ERROR_SUCCESS;
  }
};

}  // namespace

std::unique_ptr<Registry> createRegistry() {
  return std::make_unique<Win32Registry>();
}

}  // namespace platform::win32
