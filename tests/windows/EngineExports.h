#pragma once
// The engine library loaded from a file, as the tests call its exports: each by its name, with the
// type engine/KRVCopyCtrlInterface.h declares for it.

#include <windows.h>

#include <string>

#include "engine/KRVCopyCtrlInterface.h"

namespace engine_exports {

using namespace krv::exports;

// The library loaded from a file; unloaded at the end.
class Library {
 public:
  explicit Library(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  bool loaded() const { return module_ != nullptr; }
  template <typename Fn>
  Fn get(const krv::exports::Export<Fn>& which) const {
    return reinterpret_cast<Fn>(address(which.name));
  }
  // The export of that name, whatever its type; nullptr when the library has none.
  void* address(const char* name) const { return reinterpret_cast<void*>(GetProcAddress(module_, name)); }

 private:
  HMODULE module_;
};

}  // namespace engine_exports
