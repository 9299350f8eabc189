#pragma once
// The engine-kept boot configuration: every setting is read and written as a short ANSI text
// request through KRV_Configuration, and its reply is turned into a number, a date or a text here.
// Nothing here shows a message; callers decide what a false result means.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/ClassicRuntime.h"
#include "manager/engine/KRVCopyAPI.h"
#include "platform/AnsiCodec.h"

namespace krv {

// The engine's configuration settings, by their numbers.
enum class ConfigSetting : std::uint16_t {
  KeepLogs = 1,              // "keeplogs": days before logs are purged; negative while purging is off
  PreBoot = 2,               // "preboot": 1 when the pre-boot screen is shown
  ShowPrompt = 3,            // "showprompt": 1 when the hotkey prompt and pause bar are shown
  Hotkey = 5,                // "hotkey": n of the boot hotkey Fn
  KeyWait = 6,               // "keywait": boot splash delay in seconds
  MaxFailedBoots = 7,        // "maxfailedboots": failed boots before booting the other area
  LastBoot = 10,             // "lastboot", read only
  LastSwap = 11,             // "lastswap", read only
  KeepLogsText = 12,         // "keeplogs" with a text, write only ("88888888" clears the log)
  Active = 18,               // "active": snapshot number of the area to boot next, write only
  CopyPasswordEnabled = 29,  // "CopyPasswordEnabled"
  CopyPassword = 30,         // "CopyPassword"
};

class KRVFunctions {
 public:
  // The caller value of every configuration call.
  static constexpr std::int32_t kConfigurationCaller = 8000;
  static constexpr std::size_t kReadReplyBytes = 300;
  static constexpr std::size_t kWriteReplyBytes = 100;

  KRVFunctions(KRVCopyAPI& engine, const platform::AnsiCodec& codec) : engine_(engine), codec_(codec) {}

  // Reads a setting; true when a value was produced, otherwise `value` is left as it was. Each
  // overload serves the settings of its kind that can be read; any other setting gives false
  // without asking the engine.
  bool GetConfigValue(ConfigSetting setting, std::int32_t& value);
  bool GetConfigValue(ConfigSetting setting, classic::DateTime& value);
  bool GetConfigValue(ConfigSetting setting, std::string& value);

  // Writes a setting; false when the call failed or the engine refused. For PreBoot and ShowPrompt
  // `value` then holds the state the engine reports. A setting that cannot be written with this
  // kind of value gives false without asking the engine.
  bool SetConfigValue(ConfigSetting setting, std::int32_t& value);
  bool SetConfigValue(ConfigSetting setting, const std::string& value);

  // Switches the pre-boot screen on or off: 0 when the engine reports the requested state,
  // kPreBootSwitchFailed otherwise.
  std::int32_t EnablePreBoot();
  std::int32_t DisablePreBoot();

 private:
  // Sends the request; the reply text (up to its first NUL, trimmed), or nothing when the call failed.
  std::optional<std::string> exchange(const std::string& request, std::size_t replyBytes);
  std::int32_t switchPreBoot(std::int32_t wanted);

  KRVCopyAPI& engine_;
  const platform::AnsiCodec& codec_;
};

}  // namespace krv
