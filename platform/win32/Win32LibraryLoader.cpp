#include <windows.h>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {
namespace {

class Win32Library final : public DynamicLibrary {
 public:
  explicit Win32Library(HMODULE module) : module_(module) {}
  ~Win32Library() override { FreeLibrary(module_); }
  ExportedFunction resolve(const char* exportName) override {
    return reinterpret_cast<ExportedFunction>(GetProcAddress(module_, exportName));
  }

 private:
  HMODULE module_;
};

class Win32LibraryLoader final : public LibraryLoader {
 public:
  std::unique_ptr<DynamicLibrary> load(const std::string& name) override {
    HMODULE module = LoadLibraryW(wide(name).c_str());
    if (!module) return nullptr;
    return std::make_unique<Win32Library>(module);
  }
};

}  // namespace

std::unique_ptr<LibraryLoader> createLibraryLoader() { return std::make_unique<Win32LibraryLoader>(); }

}  // namespace platform::win32
