#pragma once
// The manager's main window: which area runs, when each was last booted, how large each is, when
// the last update happened, whether the service, the pre-boot screen and the password are in
// force; and every operation of the product in its menus and buttons.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "manager/anchoring/FmAnchor.h"
#include "manager/common/Commons.h"
#include "manager/common/Preferences.h"
#include "manager/common/SystemHelpers.h"
#include "manager/engine/EngineTasks.h"
#include "manager/engine/KRVCopyAPI.h"
#include "manager/engine/KRVFunctions.h"
#include "manager/engine/SnapshotTable.h"
#include "manager/mainwindow/FmDisable.h"
#include "manager/mainwindow/FmPassword.h"
#include "manager/options/FmOptions.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Processes.h"
#include "platform/WindowManager.h"
#include "ui/Form.h"
#include "ui/FormToolkit.h"

namespace krv {

struct MainWindowServices {
  ui::FormToolkit& toolkit;
  Commons& commons;
  platform::Locale& locale;
  const platform::AnsiCodec& codec;
  KRVCopyAPI& engine;
  KRVFunctions& configuration;
  Snapshots& snapshots;
  Preferences& preferences;
  EngineTasks& tasks;
  SystemHelpers& helpers;
  platform::WindowManager& windows;
  platform::FileSystem& files;
  platform::Processes& processes;
};

class FmMain final : public ui::Form {
 public:
  static constexpr int kRefreshMilliseconds = 10000;
  static constexpr int kMonitorAttempts = 5;
  static constexpr std::uint32_t kMonitorWaitMilliseconds = 100;
  static constexpr std::size_t kMaxAnchoredChecked = 32;
  // The log viewer's program (its window is found by the viewer's own caption).
  static constexpr const char* kViewerProgram = "Quillon.exe";
  static constexpr const char* kMonitorProgram = "KRVMonitor.exe";

  explicit FmMain(const MainWindowServices& services);

  // Recomputes every value, icon, highlight and menu state; with reload, reads the engine first.
  void RefreshStatus(bool reload);
  // "3/5/24 2:07p (2 days ago)", with the system's date and time separators.
  std::string FormatAreaTime(const classic::DateTime& date);
  // At start: anchored entries that no longer exist may be taken off the list.
  void CheckAnchoredFiles();

  // The actions of the menus and buttons.
  void CopyUpdate();
  void CalculateSize();
  void RemoveRescueArea();
  void BootToOtherArea();
  void EnablePreBoot();
  void DisablePreBoot();
  void ViewLog();
  void ClearLog();
  // Options (the password first when one is in force), then the status refreshed in every case.
  void ShowOptions();
  // The licence agreement in WordPad; the about box (and from it the support information).
  void ShowLicense();
  void ShowAnchoring();
  void ShowAbout();
  // Asks for the copy/boot password when it is in force; false when the user cancelled.
  bool PasswordStep();

  bool autoCopy() const { return bAutoCopy_; }
  bool areaRemoved() const { return bAreaRemoved_; }

  // Controls, as the window's design names them.
  ui::Control& Frame1_0;
  ui::Control& Picture1_0;
  ui::Control& imgService;
  ui::Control& lblService_0;
  ui::Control& lblService_1;
  ui::Control& imgPreBoot;
  ui::Control& lblPreBoot_0;
  ui::Control& lblPreBoot_1;
  ui::Control& imgPassword;
  ui::Control& lblPassword_0;
  ui::Control& lblPassword_1;
  ui::Control& imgIcon_0;
  ui::Control& Picture1_1;
  ui::Control& Frame1_1;
  ui::Control& Picture1_2;
  ui::Control& imgIcon_1;
  ui::Control& shpBooted;
  ui::Control& lblBooted_0;
  ui::Control& lblBooted_1;
  ui::Control& lblUpdate_0;
  ui::Control& lblUpdate_1;
  ui::Control& Frame1_2;
  ui::Control& Picture1_4;
  ui::Control& lblOriginalBoot_0;
  ui::Control& lblOriginalBoot_1;
  ui::Control& lblOriginalSize_0;
  ui::Control& lblOriginalSize_1;
  ui::Control& Frame1_3;
  ui::Control& Picture1_5;
  ui::Control& lblRescueBoot_0;
  ui::Control& lblRescueBoot_1;
  ui::Control& lblRescueSize_0;
  ui::Control& lblRescueSize_1;
  ui::Control& cmdCalculate;
  ui::Control& cmdCopy;
  ui::Control& cmdExit;
  ui::ImageList& img16;
  ui::ImageList& Img32;
  ui::Timer& tmrRefresh;

 private:
  void buildMenus();
  void Form_Load();
  // The captions of the controls and menus, and the items that are never offered.
  void setCaptions();
  void Form_Shown();
  void Form_Unload();
  void alignLabels();
  void registerWithMonitor();
  void showAvailable();
  void showUnavailable();
  void fitToWidth(ui::Control& value);
  void setMenusAvailable(const std::vector<const char*>& names, bool on);
  void firstRunCopy();
  std::string text(int id) const { return s_.commons.strings().text(id); }
  ui::Answer ask(const std::string& body, const std::string& title, ui::Icon icon, int defaultButton);
  std::string wrapped(std::string body);

  MainWindowServices s_;
  bool bAutoCopy_ = false;
  bool bAreaRemoved_ = false;
  // Set while RefreshStatus runs, boxes it raises included: the timer's ticks skip it meanwhile.
  bool refreshing_ = false;
  std::unique_ptr<FmPassword> password_;
  std::unique_ptr<FmDisable> disable_;
  std::unique_ptr<FmAnchor> anchor_;
};

}  // namespace krv
