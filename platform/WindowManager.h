#pragma once
// Top-level windows of every process on the desktop.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform {

class WindowManager {
 public:
  virtual ~WindowManager() = default;

  // Every top-level window, in the window manager's order (topmost first).
  virtual std::vector<WindowHandle> topLevelWindows() = 0;
  // At most maxChars characters of the window's text (UTF-8).
  virtual std::string windowText(WindowHandle window, std::size_t maxChars) = 0;
  virtual void activate(WindowHandle window) = 0;
  virtual bool isMinimised(WindowHandle window) = 0;
  // Returns a minimised or maximised window to its normal place and size.
  virtual void restore(WindowHandle window) = 0;
  virtual void bringToForeground(WindowHandle window) = 0;
  // The top-level window whose title is exactly this text, or 0.
  virtual WindowHandle findByTitle(const std::string& exactTitle) = 0;
  // Sends WM_COPYDATA synchronously: wParam the sender, the record {dwData, size, bytes}.
  // Returns the receiver's answer.
  virtual std::intptr_t sendCopyData(WindowHandle target, WindowHandle sender, std::uintptr_t dwData,
                                     const std::string& bytes) = 0;
};

}  // namespace platform
