#pragma once
// The user's preferences: the manager's own in the registry, the boot-time ones in the engine's
// configuration. The process keeps the defaults, the current values (what the dialogs edit and the
// program uses) and the saved copy (as last loaded or saved), so that a save writes only changes.

#include <cstdint>
#include <string>

#include "manager/common/RegistryW.h"
#include "manager/common/SystemHelpers.h"
#include "manager/engine/KRVFunctions.h"
#include "platform/Types.h"

namespace krv {

struct PreferenceRecord {
  std::int32_t showPrompt = 1;       // ConfigSetting::ShowPrompt
  std::int32_t bootHotkey = 1;       // ConfigSetting::Hotkey
  std::int32_t bootSplashDelay = 2;  // ConfigSetting::KeyWait
  std::int32_t failedBoots = 0;      // ConfigSetting::MaxFailedBoots
  std::int32_t trayIconAppearance = 1;
  std::string exclusionList;
  std::int32_t excludeSystemRestore = 1;
  std::int32_t beepAfterTask = 1;
  std::int32_t logKeepDays = 30;  // ConfigSetting::KeepLogs
  std::int32_t copyPasswordEnabled = 0;
  std::string copyPassword;

  // Copy/Update, Remove, Boot, Options and storing the anchored list ask for the password first.
  // The engine's setting reads as 1 or 0, and the manager writes nothing else.
  bool passwordInForce() const { return copyPasswordEnabled != 0; }

  friend bool operator==(const PreferenceRecord&, const PreferenceRecord&) = default;
};

// Value names below kPreferencesKey.
inline constexpr const char* kTrayIconAppearanceValue = "TrayIconAppearance";
inline constexpr const char* kBeepAfterTaskValue = "BeepAfterTask";
inline constexpr const char* kExcludeSystemRestoreValue = "ExcludeSystemRestore";
inline constexpr const char* kDefaultExclusionListValue = "DefaultExclusionList";

class Preferences {
 public:
  Preferences(RegistryAccess& registry, KRVFunctions& engine, SystemHelpers& helpers)
      : registry_(registry), engine_(engine), helpers_(helpers) {}

  // Fills the current values from the registry and the engine, each falling back to its default,
  // and makes them the saved copy.
  void LoadPreferences();
  // Writes every current value that differs from the saved copy, tells the tray monitor (from
  // `sender`, the main window) when its appearance changed, and makes the current values the saved
  // copy whatever the writes gave. False when any write failed.
  bool SavePreferences(platform::WindowHandle sender);

  const PreferenceRecord& defaults() const { return defaults_; }
  PreferenceRecord& current() { return current_; }
  const PreferenceRecord& saved() const { return saved_; }

 private:
  RegistryAccess& registry_;
  KRVFunctions& engine_;
  SystemHelpers& helpers_;
  PreferenceRecord defaults_;
  PreferenceRecord current_;
  PreferenceRecord saved_;
};

}  // namespace krv
