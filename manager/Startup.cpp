#include "manager/Startup.h"

#include "base/ClassicRuntime.h"
#include "manager/engine/EngineBuffers.h"
#include "resources/manager/Texts.h"

namespace krv {

int Startup::Main() {
  s_.toolkit.initCommonControls();

  // Only one manager runs: a second start brings the first one forward and ends.
  if (s_.system.anotherInstanceRunning()) {
    activatePreviousInstance();
    return kExitFailure;
  }

  readInstallLocation();
  checkAdministrator();
  logVersion();
  checkWorkstation();

  // A table that cannot be loaded is no reason to stop: its status tells the main window.
  s_.snapshots.LoadSnapshotTable();
  s_.snapshots.DetermineActiveBackup();
  s_.preferences.LoadPreferences();
  s_.snapshots.NameAreas([this] { s_.lists.AnchorDefaultFolders(); });

  const std::string line = effectiveCommandLine(s_.system.commandLine());
  s_.lists.ApplyInitialLists();
  // The empty line loads the main window, which lives on after Main returns.
  if (line.empty() && showMainWindow_) {
    showMainWindow_();
    runResult_ = 0;
  } else {
    runResult_ = s_.commandLine.Dispatch(line);
  }

  return runResult_ < 0 ? kExitFailure : 0;
}

bool Startup::activatePreviousInstance() {
  const std::string wanted = classic::upperCase(applicationTitle_);
  // Our own windows must not match the search.
  applicationTitle_ = "...duplicate";

  platform::WindowHandle found = 0;
  for (platform::WindowHandle window : s_.windows.topLevelWindows()) {
    const std::string text = classic::upperCase(s_.windows.windowText(window, kTitleSearchChars));
    if (!text.empty() && text.find(wanted) != std::string::npos) {
      found = window;
      break;
    }
  }
  if (found == 0) return false;
  s_.windows.activate(found);
  if (s_.windows.isMinimised(found)) s_.windows.restore(found);
  s_.windows.bringToForeground(found);
  return true;
}

void Startup::readInstallLocation() {
  // Without it nothing of the engine can be found: the program cannot run.
  installLocation_ = s_.registry.ReadRegValue(kManagerRoot, kServiceInfoKey, "Location", "");
  if (installLocation_.empty()) s_.commons.ShowFatalError(s_.commons.strings().text(text::NoServiceInfo));
}

void Startup::checkAdministrator() {
  const std::int32_t opened = s_.engine.KRV_OpenSnapshots(kAdminCheckCaller);
  s_.engine.KRV_CloseSnapshots(kAdminCheckCaller);
  if (opened == kNotAdministrator)
    s_.commons.ShowFatalError(s_.commons.strings().text(text::NotAdministrator));
}

std::string Startup::effectiveCommandLine(const std::string& arguments) {
  const std::string line = classic::trimSpaces(arguments);
  // The word INSTALL alone opens the manager as the empty line does.
  return line == "INSTALL" ? std::string() : line;
}

std::string Startup::versionLine(const platform::ProgramVersion& version) {
  return std::string(kProductName) + " Manager [Version " + std::to_string(version.major) + "." +
         std::to_string(version.minor) + ".0." + std::to_string(version.revision) + "]";
}

void Startup::logVersion() {
  AnsiBuffer line = AnsiBuffer::fitting(s_.codec, versionLine(s_.system.programVersion()));
  s_.engine.KRV_LogMessage(0, line.data());
}

void Startup::checkWorkstation() {
  if (s_.system.osVersion().productType == platform::kProductTypeWorkstation) return;
  ui::MessageBoxRequest box;
  box.text = s_.commons.strings().text(text::NotWorkstation);
  box.title = applicationTitle_;
  box.buttons = ui::Buttons::OK;
  box.icon = ui::Icon::Critical;
  s_.toolkit.messageBox(box);
  s_.system.exitProcess(kExitFailure);
}

}  // namespace krv
