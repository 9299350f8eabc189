#pragma once
#include <cstdint>

namespace platform {

// A window of the system, as an opaque number (an HWND on Windows); 0 is no window.
using WindowHandle = std::uintptr_t;

}  // namespace platform
