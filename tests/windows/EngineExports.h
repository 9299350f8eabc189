#pragma once
// The engine stand-in's exports as the tests call them: their function types, and the library
// loaded from a file.

#include <windows.h>

#include <string>

#include "standins/engine/KRVCopyCtrl.h"

namespace engine_exports {

using OpenFn = int(WINAPI*)(int);
using FindFirstFn = int(WINAPI*)(int, char*, _SNAPSHOTINFO*);
using FindNextFn = int(WINAPI*)(int, _SNAPSHOTINFO*);
using SetNameFn = int(WINAPI*)(int, int, char*);
using AnchoredFn = int(WINAPI*)(int, char*);
using CheckAnchorFn = int(WINAPI*)(int, char*, char*);
using CheckExcludedFn = int(WINAPI*)(wchar_t*, char*);
using ConfigurationFn = int(WINAPI*)(int, char*, char*);
using LogFn = int(WINAPI*)(unsigned long, char*);
using ConvertTimeFn = int(WINAPI*)(long, int*, int*, int*, int*, int*, int*);
using BrowseFn = int(WINAPI*)(wchar_t*, HWND, wchar_t*);
using EditFn = int(WINAPI*)(wchar_t*, HWND, wchar_t*, int);

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
  Fn get(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

}  // namespace engine_exports
