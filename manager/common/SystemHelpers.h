#pragma once
// Where the manager touches the system outside its own windows: starting a program and waiting for
// it, passing a short text to the tray monitor, restarting the computer and opening a web page.

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/StringTable.h"
#include "platform/AnsiCodec.h"
#include "platform/Processes.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/Types.h"
#include "platform/WindowManager.h"
#include "ui/Toolkit.h"

namespace krv {

struct SystemHelperServices {
  platform::Processes& processes;
  ui::Toolkit& toolkit;
  platform::WindowManager& windows;
  platform::Shell& shell;
  platform::Shutdown& shutdown;
  platform::System& system;
  const platform::AnsiCodec& codec;
  const platform::StringTable& strings;
};

class SystemHelpers {
 public:
  // The tray monitor's window and message.
  static constexpr const char* kMonitorTitle = "OVS_KRV_Monitor";
  static constexpr std::uintptr_t kMonitorDataKind = 2;
  static constexpr std::size_t kMonitorMessageBytes = 80;
  // A waiting RunTool looks at the program this often, letting the user interface run in between.
  static constexpr std::uint32_t kWaitStepMilliseconds = 200;
  static constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";
  static constexpr std::uint32_t kRebootFlags = 2;             // EWX_REBOOT, not forced
  static constexpr std::uint32_t kRebootReason = 0xFFFFFFFFu;  // all bits set

  explicit SystemHelpers(SystemHelperServices services) : s_(services) {}

  // Starts the command line with the show state (0 hidden, 1 normal); with `wait`, returns only
  // when the program has ended, handling the user interface's events meanwhile. The process
  // identifier, or 0 when the program could not be started.
  std::uint32_t RunTool(const std::string& commandLine, std::int16_t windowStyle, bool wait);
  // Sends the text to the tray monitor as its 80-byte message; the monitor's window, or 0 when
  // there is none or the text (with its NUL) does not fit the message. Nothing is sent then.
  platform::WindowHandle NotifyMonitor(platform::WindowHandle sender, const std::string& text);
  // Restarts the computer and ends the process; when the system refuses, returns after showing
  // a box for each step that failed.
  void RestartComputer();
  // Opens "http://" and the address in the user's browser; a box when the shell cannot.
  void OpenWebAddress(const std::string& address);

 private:
  void showSystemError(const std::string& what, std::uint32_t code);

  SystemHelperServices s_;
};

}  // namespace krv
