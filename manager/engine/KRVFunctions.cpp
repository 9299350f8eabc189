#include "manager/engine/KRVFunctions.h"

#include <limits>
#include <string_view>

#include "base/Unicode.h"
#include "manager/common/Commons.h"
#include "manager/engine/EngineBuffers.h"

namespace krv {
namespace {

enum class Kind { None, Number, Date, Text };

struct SettingInfo {
  ConfigSetting setting;
  const char* key;
  Kind read;   // the kind of value a read produces, None when it cannot be read
  Kind write;  // the kind of value a write takes, None when it cannot be written
};

constexpr SettingInfo kSettings[] = {
    {ConfigSetting::KeepLogs, "keeplogs", Kind::Number, Kind::Number},
    {ConfigSetting::PreBoot, "preboot", Kind::Number, Kind::Number},
    {ConfigSetting::ShowPrompt, "showprompt", Kind::Number, Kind::Number},
    {ConfigSetting::Hotkey, "hotkey", Kind::Number, Kind::Number},
    {ConfigSetting::KeyWait, "keywait", Kind::Number, Kind::Number},
    {ConfigSetting::MaxFailedBoots, "maxfailedboots", Kind::Number, Kind::Number},
    {ConfigSetting::LastBoot, "lastboot", Kind::Date, Kind::None},
    {ConfigSetting::LastSwap, "lastswap", Kind::Date, Kind::None},
    {ConfigSetting::KeepLogsText, "keeplogs", Kind::None, Kind::Text},
    {ConfigSetting::Active, "active", Kind::None, Kind::Number},
    {ConfigSetting::CopyPasswordEnabled, "CopyPasswordEnabled", Kind::Number, Kind::Number},
    {ConfigSetting::CopyPassword, "CopyPassword", Kind::Text, Kind::Text},
};

// The setting's entry when it can be read (or written) with a value of this kind.
const SettingInfo* readable(ConfigSetting setting, Kind kind) {
  for (const SettingInfo& info : kSettings)
    if (info.setting == setting) return info.read == kind ? &info : nullptr;
  return nullptr;
}

const SettingInfo* writable(ConfigSetting setting, Kind kind) {
  for (const SettingInfo& info : kSettings)
    if (info.setting == setting) return info.write == kind ? &info : nullptr;
  return nullptr;
}

// The engine's replies; compared exactly, case included.
constexpr std::string_view kError = "Error";
constexpr std::string_view kForever = "Forever";
constexpr std::string_view kEnabled = "Enabled";
constexpr std::string_view kYes = "Yes";
constexpr std::string_view kTrue = "True";
constexpr std::string_view kNoSwap = "0 0";

// The number, rounded halves to even, when it fits the caller's 32-bit field.
std::optional<std::int32_t> fieldValue(double number) {
  const std::int64_t rounded = classic::roundHalfEven(number);
  if (rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

// The number a text spells as a whole: an optional sign, then digits with an optional "." fraction,
// nothing else. Nothing for any other text.
std::optional<double> spelledNumber(std::string_view text) {
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  bool digits = false;
  bool point = false;
  for (; pos < text.size(); ++pos) {
    if (text[pos] >= '0' && text[pos] <= '9') {
      digits = true;
    } else if (text[pos] == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return classic::leadingNumber(text);
}

// The text without its first character.
std::string_view withoutFirstCharacter(std::string_view text) {
  std::size_t pos = 0;
  if (!text.empty()) platform::nextCodePoint(text, pos);
  return text.substr(pos);
}

}  // namespace

std::optional<std::string> KRVFunctions::exchange(const std::string& request, std::size_t replyBytes) {
  AnsiBuffer requestBuffer = AnsiBuffer::fitting(codec_, request);
  AnsiBuffer reply(replyBytes);
  if (engine_.KRV_Configuration(kConfigurationCaller, requestBuffer.data(), reply.data()) != kResultOK)
    return std::nullopt;
  return reply.text(codec_);
}

bool KRVFunctions::GetConfigValue(ConfigSetting setting, std::int32_t& value) {
  const SettingInfo* info = readable(setting, Kind::Number);
  if (!info) return false;
  const std::optional<std::string> reply = exchange(info->key, kReadReplyBytes);
  if (!reply) return false;

  std::optional<double> number;
  switch (setting) {
    case ConfigSetting::KeepLogs:
      if (*reply == kError) return false;
      number = *reply == kForever ? 0.0 : classic::leadingNumber(*reply);
      break;
    case ConfigSetting::PreBoot:
      number = *reply == kEnabled ? 1 : 0;
      break;
    case ConfigSetting::ShowPrompt:
      number = *reply == kYes ? 1 : 0;
      break;
    case ConfigSetting::Hotkey:
      // "F5": the key's letter, then its number.
      if (*reply == kError) return false;
      number = classic::leadingNumber(withoutFirstCharacter(*reply));
      break;
    case ConfigSetting::KeyWait:
    case ConfigSetting::MaxFailedBoots:
      if (*reply == kError) return false;
      number = spelledNumber(*reply);  // a reply that is no number gives no value
      break;
    case ConfigSetting::CopyPasswordEnabled:
      number = *reply == kTrue ? 1 : 0;
      break;
    default:
      return false;
  }
  if (!number) return false;
  const std::optional<std::int32_t> field = fieldValue(*number);
  if (!field) return false;
  value = *field;
  return true;
}

bool KRVFunctions::GetConfigValue(ConfigSetting setting, classic::DateTime& value) {
  const SettingInfo* info = readable(setting, Kind::Date);
  if (!info) return false;
  const std::optional<std::string> reply = exchange(info->key, kReadReplyBytes);
  if (!reply || *reply == kError) return false;
  // A swap that never happened.
  if (setting == ConfigSetting::LastSwap && *reply == kNoSwap) {
    value = classic::DateTime{};
  } else {
    value = Commons::ParseEngineDateTime(*reply);
  }
  return true;
}

bool KRVFunctions::GetConfigValue(ConfigSetting setting, std::string& value) {
  const SettingInfo* info = readable(setting, Kind::Text);
  if (!info) return false;
  const std::optional<std::string> reply = exchange(info->key, kReadReplyBytes);
  if (!reply) return false;
  // The password itself: any reply is the text, "Error" included (a valid password).
  value = *reply;
  return true;
}

bool KRVFunctions::SetConfigValue(ConfigSetting setting, std::int32_t& value) {
  const SettingInfo* info = writable(setting, Kind::Number);
  if (!info) return false;
  const std::string key = info->key;
  std::string request;
  switch (setting) {
    case ConfigSetting::KeepLogs:
      request = key + " " + classic::signedNumberText(value);
      break;
    case ConfigSetting::PreBoot:
      request = key + (value == 1 ? " enable" : " disable");
      break;
    case ConfigSetting::ShowPrompt:
      request = key + (value == 1 ? " yes" : " no");
      break;
    case ConfigSetting::Hotkey:
      request = key + " f" + std::to_string(value);
      break;
    case ConfigSetting::KeyWait:
    case ConfigSetting::MaxFailedBoots:
      request = key + classic::signedNumberText(value);
      break;
    case ConfigSetting::Active:
      request = key + " " + std::to_string(value);
      break;
    case ConfigSetting::CopyPasswordEnabled:
      request = key + (value == 0 ? " False" : " True");
      break;
    default:
      return false;
  }

  const std::optional<std::string> reply = exchange(request, kWriteReplyBytes);
  if (!reply) return false;
  if (setting == ConfigSetting::CopyPasswordEnabled) return true;  // the reply says nothing here
  if (*reply == kError) return false;  // refused: the caller's value stays what it asked for
  if (setting == ConfigSetting::PreBoot) value = *reply == kEnabled ? 1 : 0;
  if (setting == ConfigSetting::ShowPrompt) value = *reply == kYes ? 1 : 0;
  return true;
}

bool KRVFunctions::SetConfigValue(ConfigSetting setting, const std::string& value) {
  const SettingInfo* info = writable(setting, Kind::Text);
  if (!info) return false;
  // The text goes unchanged after the key and one space, an empty one too.
  return exchange(std::string(info->key) + " " + value, kWriteReplyBytes).has_value();
}

std::int32_t KRVFunctions::switchPreBoot(std::int32_t wanted) {
  std::int32_t state = wanted;
  return SetConfigValue(ConfigSetting::PreBoot, state) && state == wanted ? kResultOK : kPreBootSwitchFailed;
}

std::int32_t KRVFunctions::EnablePreBoot() {
  return switchPreBoot(1);
}
std::int32_t KRVFunctions::DisablePreBoot() {
  return switchPreBoot(0);
}

}  // namespace krv
