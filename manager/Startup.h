#pragma once
// The manager's entry procedure: decides whether the program may run at all, fills the state every
// other part reads, and hands over to the command line or the main window.

#include <cstdint>
#include <functional>
#include <string>

#include "manager/CommandLine.h"
#include "manager/FirstRunLists.h"
#include "manager/common/Commons.h"
#include "manager/common/Preferences.h"
#include "manager/common/RegistryW.h"
#include "manager/engine/KRVCopyAPI.h"
#include "manager/engine/SnapshotTable.h"
#include "platform/AnsiCodec.h"
#include "platform/System.h"
#include "platform/WindowManager.h"
#include "ui/Toolkit.h"

namespace krv {

struct StartupServices {
  ui::Toolkit& toolkit;
  platform::System& system;
  platform::WindowManager& windows;
  KRVCopyAPI& engine;
  Commons& commons;
  const platform::AnsiCodec& codec;
  RegistryAccess& registry;
  Preferences& preferences;
  Snapshots& snapshots;
  FirstRunLists& lists;
  CommandLine& commandLine;
};

class Startup {
 public:
  // The engine's caller value for the administrator check's open and close.
  static constexpr std::int32_t kAdminCheckCaller = 2500;
  // Characters of each window text the search for an earlier instance reads (a 40-character buffer).
  static constexpr std::size_t kTitleSearchChars = 39;

  explicit Startup(StartupServices services) : s_(services) {}

  // What an empty command line does: load and show the main window, which then runs the program.
  void setMainWindow(std::function<void()> show) { showMainWindow_ = std::move(show); }

  // Runs start-up and returns the process exit code. The checks that refuse a start end the
  // process themselves, through the fatal error box.
  int Main();

  // The program's application title: the product name, and "...duplicate" in a second instance.
  const std::string& applicationTitle() const { return applicationTitle_; }
  // The engine's install folder, as ServiceInfo "Location" gives it.
  const std::string& installLocation() const { return installLocation_; }
  // The signed run result; negative at the end of Main gives exit code 1.
  std::int32_t runResult() const { return runResult_; }

  // The command line as start-up hands it on: trimmed of spaces, and "INSTALL" alone taken as empty.
  static std::string effectiveCommandLine(const std::string& arguments);

  // "Korvane Manager [Version 3.1.0.42]".
  static std::string versionLine(const platform::ProgramVersion& version);

 private:
  // Brings the earlier instance's window forward; true when one was found.
  bool activatePreviousInstance();
  void readInstallLocation();
  void checkAdministrator();
  void logVersion();
  void checkWorkstation();

  StartupServices s_;
  std::function<void()> showMainWindow_;
  std::string applicationTitle_ = kProductName;
  std::string installLocation_;
  std::int32_t runResult_ = 0;
};

}  // namespace krv
