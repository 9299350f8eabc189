#include "manager/common/Preferences.h"

namespace krv {
namespace {

// Tells the tray monitor to look at its appearance preference again.
constexpr const char* kMonitorReloadAppearance = "!";

}  // namespace

void Preferences::LoadPreferences() {
  defaults_ = PreferenceRecord{};
  PreferenceRecord& now = current_;
  now = defaults_;
  // A read that fails leaves the field at its default.
  now.trayIconAppearance = registry_.ReadRegValue(kManagerRoot, kPreferencesKey, kTrayIconAppearanceValue,
                                                  defaults_.trayIconAppearance);
  engine_.GetConfigValue(ConfigSetting::ShowPrompt, now.showPrompt);
  engine_.GetConfigValue(ConfigSetting::Hotkey, now.bootHotkey);
  engine_.GetConfigValue(ConfigSetting::KeyWait, now.bootSplashDelay);
  engine_.GetConfigValue(ConfigSetting::MaxFailedBoots, now.failedBoots);
  now.beepAfterTask =
      registry_.ReadRegValue(kManagerRoot, kPreferencesKey, kBeepAfterTaskValue, defaults_.beepAfterTask);
  registry_.ReadRegTextW(kManagerRoot, kPreferencesKey, kDefaultExclusionListValue, now.exclusionList);
  now.excludeSystemRestore = registry_.ReadRegValue(kManagerRoot, kPreferencesKey, kExcludeSystemRestoreValue,
                                                    defaults_.excludeSystemRestore);
  // No day count ("Forever" included) offers the default.
  engine_.GetConfigValue(ConfigSetting::KeepLogs, now.logKeepDays);
  if (now.logKeepDays == 0) now.logKeepDays = defaults_.logKeepDays;
  engine_.GetConfigValue(ConfigSetting::CopyPasswordEnabled, now.copyPasswordEnabled);
  engine_.GetConfigValue(ConfigSetting::CopyPassword, now.copyPassword);
  saved_ = current_;
}

bool Preferences::SavePreferences(platform::WindowHandle sender) {
  bool ok = true;
  PreferenceRecord& now = current_;
  const PreferenceRecord& was = saved_;
  const auto note = [&ok](bool written) { ok = ok && written; };

  if (now.trayIconAppearance != was.trayIconAppearance) {
    note(registry_.WriteRegValue(kManagerRoot, kPreferencesKey, kTrayIconAppearanceValue,
                                 now.trayIconAppearance));
    helpers_.NotifyMonitor(sender, kMonitorReloadAppearance);
  }
  // The engine may answer the prompt's write with another state; the current value then holds it.
  if (now.showPrompt != was.showPrompt)
    note(engine_.SetConfigValue(ConfigSetting::ShowPrompt, now.showPrompt));
  if (now.bootHotkey != was.bootHotkey) note(engine_.SetConfigValue(ConfigSetting::Hotkey, now.bootHotkey));
  if (now.bootSplashDelay != was.bootSplashDelay)
    note(engine_.SetConfigValue(ConfigSetting::KeyWait, now.bootSplashDelay));
  if (now.failedBoots != was.failedBoots)
    note(engine_.SetConfigValue(ConfigSetting::MaxFailedBoots, now.failedBoots));
  if (now.beepAfterTask != was.beepAfterTask)
    note(registry_.WriteRegValue(kManagerRoot, kPreferencesKey, kBeepAfterTaskValue, now.beepAfterTask));
  if (now.exclusionList != was.exclusionList)
    note(registry_.WriteRegTextW(kManagerRoot, kPreferencesKey, kDefaultExclusionListValue,
                                 now.exclusionList));
  if (now.excludeSystemRestore != was.excludeSystemRestore)
    note(registry_.WriteRegValue(kManagerRoot, kPreferencesKey, kExcludeSystemRestoreValue,
                                 now.excludeSystemRestore));
  if (now.logKeepDays != was.logKeepDays)
    note(engine_.SetConfigValue(ConfigSetting::KeepLogs, now.logKeepDays));
  if (now.copyPasswordEnabled != was.copyPasswordEnabled)
    note(engine_.SetConfigValue(ConfigSetting::CopyPasswordEnabled, now.copyPasswordEnabled));
  if (now.copyPassword != was.copyPassword)
    note(engine_.SetConfigValue(ConfigSetting::CopyPassword, now.copyPassword));

  // A failed write is not retried until the value changes again.
  saved_ = current_;
  return ok;
}

}  // namespace krv
