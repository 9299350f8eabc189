#include "manager/CommandLine.h"

#include "base/ClassicRuntime.h"
#include "manager/engine/EngineBuffers.h"
#include "resources/manager/Texts.h"

namespace krv {
namespace {

// The help lines, in the order they are shown.
constexpr text::Id kHelpLines[] = {text::HelpPreBoot, text::HelpBoot,   text::HelpCopy,
                                   text::HelpExclude, text::HelpAnchor, text::HelpBuildName};

constexpr const char* kHelp = "/?";
constexpr const char* kPreBootEnable = "/preboot enable";
constexpr const char* kPreBootDisable = "/preboot disable";
constexpr const char* kBoot = "/boot";
constexpr const char* kCopy = "/copy";
constexpr const char* kResetPassword = "/resetpassword";
constexpr const char* kExclude = "/exclude";
constexpr const char* kAnchor = "/anchor";
constexpr const char* kBuildName = "/buildname";

constexpr char kCarriageReturn = '\r';

std::string lowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

// The trimmed text after the switch at `at`.
std::string listAfter(const std::string& line, std::size_t at, std::string_view switchText) {
  return classic::trimSpaces(std::string_view(line).substr(at + switchText.size()));
}

}  // namespace

std::optional<std::size_t> CommandLine::FindSwitch(std::string_view line, std::string_view switchText) {
  const std::size_t at = lowerAscii(line).find(lowerAscii(switchText));
  if (at == std::string::npos) return std::nullopt;
  const std::size_t end = at + switchText.size();
  if (at > 0 && line[at - 1] != ' ') return std::nullopt;
  if (end < line.size() && line[end] != ' ') return std::nullopt;
  return at;
}

std::string CommandLine::PasswordArgument(std::string_view line) {
  std::size_t pos = line.find_first_not_of(' ');
  if (pos == std::string_view::npos) return {};
  pos = line.find(' ', pos);  // past the first token
  if (pos == std::string_view::npos) return {};
  pos = line.find_first_not_of(' ', pos);
  if (pos == std::string_view::npos) return {};
  return std::string(line.substr(pos, line.find(' ', pos) - pos));
}

std::optional<std::string> CommandLine::BuildNameLine(const std::string& name) {
  bool special = false;
  for (const char c : name) {
    // A line break or another control character would end the command or the file early, and a
    // quotation mark would end the quoting that keeps the specials harmless.
    if (static_cast<unsigned char>(c) < 0x20 || c == '"') return std::nullopt;
    if (std::string_view("&|<>^%").find(c) != std::string_view::npos) special = true;
  }
  const std::string assignment = std::string(kBuildNameVariable) + "=";
  if (!special) return "set " + assignment + name + "\r\n";
  // Inside the quotes & | < > and ^ stand for themselves; a percent sign is expanded before the
  // quotes are looked at, so it is doubled.
  std::string value;
  for (const char c : name) {
    value += c;
    if (c == '%') value += '%';
  }
  return "set \"" + assignment + value + "\"\r\n";
}

void CommandLine::log(const std::string& text) {
  AnsiBuffer line = AnsiBuffer::fitting(s_.codec, std::string(kProductName) + text);
  s_.engine.KRV_LogMessage(0, line.data());
}

bool CommandLine::passwordAccepted(const std::string& line) {
  const PreferenceRecord& prefs = s_.preferences.current();
  return !prefs.passwordInForce() || PasswordArgument(line) == prefs.copyPassword;
}

void CommandLine::showHelp() {
  const platform::StringTable& strings = s_.commons.strings();
  std::string text = strings.text(text::HelpHeading) + kCarriageReturn + kCarriageReturn;
  for (const text::Id id : kHelpLines) text += kCarriageReturn + strings.text(id);
  s_.commons.ShowAssistance(text);
}

std::int32_t CommandLine::boot(const std::string& line) {
  if (!passwordAccepted(line)) return kManagerFailure;
  log(" Commandline /boot");
  // The restart is asked for whatever the engine made of the request.
  std::int32_t next = s_.snapshots.table().other().number;
  s_.configuration.SetConfigValue(ConfigSetting::Active, next);
  s_.helpers.RestartComputer();
  return kResultOK;
}

std::int32_t CommandLine::copy(const std::string& line) {
  if (!passwordAccepted(line)) return kManagerFailure;
  // The tool stores its outcome over this mark; a tool that never gets that far leaves it.
  if (!s_.registry.WriteRegValue(kManagerRoot, kServiceInfoKey, kCopyResultValue, kManagerFailure))
    return kManagerFailure;
  log(" Commandline /copy");
  const SnapshotTable& table = s_.snapshots.table();
  std::string source = table.current().name;
  // Without a second area the copy creates it under its display name.
  std::string destination =
      table.count < 2 ? s_.commons.strings().text(text::RescueArea) : table.other().name;
  const std::int32_t started = s_.tasks.StartCopyTask(source, destination, "", false, true);
  if (started != kResultOK) return started;
  return s_.registry.ReadRegValue(kManagerRoot, kServiceInfoKey, kCopyResultValue, kManagerFailure);
}

std::int32_t CommandLine::resetPassword(const std::string& line) {
  const std::string password = PasswordArgument(line);
  PreferenceRecord& prefs = s_.preferences.current();
  if (!password.empty()) {
    // An unusable password changes nothing.
    if (!s_.commons.ValidatePasswordText(password, false)) return kResultOK;
    log(" Commandline /resetpassword <new password set>");
    prefs.copyPasswordEnabled = 1;
    prefs.copyPassword = password;
  } else {
    log(" Commandline /resetpassword");
    prefs.copyPasswordEnabled = 0;
  }
  return s_.preferences.SavePreferences(0) ? kResultOK : kManagerFailure;
}

std::int32_t CommandLine::buildName() {
  log(" Commandline /buildname");
  const std::optional<std::string> line = BuildNameLine(s_.snapshots.table().current().name);
  if (!line) return EngineTasks::kBlankName;
  return s_.files.writeFile(kBuildNameFile, s_.codec.toAnsi(*line)) ? kResultOK : EngineTasks::kBlankName;
}

std::int32_t CommandLine::Dispatch(const std::string& line) {
  if (line.empty()) return kResultOK;
  if (FindSwitch(line, kHelp)) {
    showHelp();
    return kResultOK;
  }
  if (FindSwitch(line, kPreBootEnable)) {
    log(" Commandline /boot enable");
    return s_.configuration.EnablePreBoot();
  }
  if (FindSwitch(line, kPreBootDisable)) {
    log(" Commandline /boot disable");
    return s_.configuration.DisablePreBoot();
  }
  if (FindSwitch(line, kBoot)) return boot(line);
  if (FindSwitch(line, kCopy)) return copy(line);
  if (FindSwitch(line, kResetPassword)) return resetPassword(line);
  if (const auto at = FindSwitch(line, kExclude)) {
    const std::string list = listAfter(line, *at, kExclude);
    log(" Commandline /exclude " + list);
    return s_.lists.SetExclusionList(list);
  }
  if (const auto at = FindSwitch(line, kAnchor)) {
    const std::string list = listAfter(line, *at, kAnchor);
    log(" Commandline /anchor " + list);
    return s_.lists.SetAnchoredList(list);
  }
  if (FindSwitch(line, kBuildName)) return buildName();
  return kManagerFailure;
}

}  // namespace krv
