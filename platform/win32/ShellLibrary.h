#pragma once
// The shell's library is large, and loading it with the program costs every start (and most starts
// never use it): the few shell functions the programs call are looked up when first called.

#include <windows.h>

namespace platform::win32 {

// The shell's library, loaded on the first call and kept; nullptr when it cannot be loaded.
inline HMODULE shellLibrary() {
  static const HMODULE shell = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return shell;
}

// The shell function of that name, or nullptr when the library or the function cannot be had.
template <typename Function>
Function shellFunction(const char* name) {
  const HMODULE shell = shellLibrary();
  const FARPROC found = shell ? GetProcAddress(shell, name) : nullptr;
  // Through a plain function pointer, as the compiler asks for casts between function types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace platform::win32
