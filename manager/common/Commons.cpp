#include "manager/common/Commons.h"

#include <optional>

#include "base/Unicode.h"
#include "resources/manager/Texts.h"

namespace krv {

namespace {

// String-table ids of the texts these routines show.

constexpr std::size_t kMaxPasswordChars = 25;
// A line of a wrapped text holds fewer characters than this.
constexpr std::size_t kWrapCount = 72;

std::int64_t wholeMinutes(const classic::DateTime& date) {
  const std::int64_t seconds = date.totalSeconds();
  return seconds / 60 - (seconds % 60 < 0 ? 1 : 0);
}

// A part of an engine date-time: digits, possibly padded with spaces.
std::optional<std::int64_t> dateTimePart(std::u32string_view part) {
  while (!part.empty() && part.front() == U' ') part.remove_prefix(1);
  while (!part.empty() && part.back() == U' ') part.remove_suffix(1);
  if (part.empty()) return std::nullopt;
  std::int64_t number = 0;
  for (char32_t c : part) {
    if (c < U'0' || c > U'9') return std::nullopt;
    number = number * 10 + (c - U'0');
  }
  return number;
}

std::string boxTitle(const std::string& first) {
  return first + " - " + kProductName;
}

}  // namespace

std::string Commons::FormatTimeAgo(const classic::DateTime& date) {
  const classic::DateTime now = s_.clock.localNow();
  if (date.isZero() || now < date) return {};
  // Whole minutes between the two times with their seconds dropped: 10:00:59 to 10:01:00 is 1.
  const std::int64_t minutes = wholeMinutes(now) - wholeMinutes(date);
  if (minutes == 0) return s_.strings.text(text::OneMinuteAgo);

  const std::string plural = s_.strings.text(text::Plural);
  const std::int64_t days = minutes / 1440;
  std::string text;
  if (days > 0) {
    text = std::to_string(days) + s_.strings.text(text::Day);
    if (days > 1) text += plural;
  } else {
    const std::int64_t hours = minutes / 60;
    const std::int64_t rest = minutes - 60 * hours;
    if (hours > 0) {
      text += " " + std::to_string(hours) + s_.strings.text(text::Hour);
      if (hours > 1) text += plural;
    }
    if (rest > 0) text += " " + std::to_string(rest) + s_.strings.text(text::Minute);
  }
  return classic::trimSpaces(text) + s_.strings.text(text::Ago);
}

std::string Commons::FormatSize(std::int32_t sizeKB, std::string& unit) {
  if (sizeKB < 0) return s_.strings.text(text::SizeNotAvailable);
  unit = classic::upperCase(classic::trimSpaces(unit));
  const std::string separator = s_.locale.decimalSeparator();
  // Each step up divides by 1024 but happens at 1000 of the current unit.
  double value = sizeKB;
  if (unit == "KB" || (unit.empty() && value < 1000))
    return classic::formatTwoDecimals(value, separator) + " KB";
  value /= 1024;
  if (unit == "MB" || (unit.empty() && value < 1000))
    return classic::formatTwoDecimals(value, separator) + " MB";
  value /= 1024;
  return classic::formatTwoDecimals(value, separator) + " GB";
}

std::string Commons::ProductTitle() {
  const platform::ProgramVersion version = s_.system.programVersion();
  return std::string(kProductName) + kTradeMark + " " + std::to_string(version.major) + "." +
         std::to_string(version.minor);
}

std::string Commons::VersionText() {
  const platform::ProgramVersion version = s_.system.programVersion();
  return std::to_string(version.major) + "." + std::to_string(version.minor) + ".0 Build " +
         std::to_string(version.revision);
}

void Commons::ShowFatalError(const std::string& text) {
  s_.toolkit.messageBox(
      {text, boxTitle(s_.strings.text(text::Error)), ui::Buttons::OK, ui::Icon::Critical, 1});
  s_.system.exitProcess(kExitFailure);
}

void Commons::ShowAssistance(const std::string& text) {
  s_.toolkit.messageBox(
      {text, boxTitle(s_.strings.text(text::Assistance)), ui::Buttons::OK, ui::Icon::Information, 1});
}

bool Commons::ValidatePasswordText(const std::string& text, bool showMessages) {
  int refusal = 0;
  if (text.empty()) {
    refusal = text::BlankPassword;
  } else if (platform::characterCount(text) > kMaxPasswordChars) {
    refusal = text::PasswordTooLong;
  } else {
    // Judged by the ANSI code: a character the code page lacks arrives as "?" and is refused too.
    for (char c : s_.codec.toAnsi(text)) {
      const auto code = static_cast<unsigned char>(c);
      if (code < 33 || code > 126 || code == '?') {
        refusal = text::PasswordInvalid;
        break;
      }
    }
  }
  if (refusal == 0) return true;
  if (showMessages) ShowAssistance(s_.strings.text(refusal));
  return false;
}

void Commons::WrapMessageText(std::string& text) {
  std::size_t count = 0;       // characters since the start or the last break
  std::size_t index = 0;       // number of the current character
  bool haveSpace = false;      // a space has been seen since the last break
  std::size_t spaceAt = 0;     // its byte position
  std::size_t spaceIndex = 0;  // and its character number
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    platform::nextCodePoint(text, pos);
    if (text[start] == ' ') {
      haveSpace = true;
      spaceAt = start;
      spaceIndex = index;
    }
    ++count;
    if (count >= kWrapCount && haveSpace) {
      text[spaceAt] = '\r';
      count = index - spaceIndex;
      haveSpace = false;
    }
    ++index;
  }
}

int Commons::WindowsVersion() {
  const platform::OsVersion version = s_.system.osVersion();
  return static_cast<int>(version.major * 10 + version.minor);
}

classic::DateTime Commons::ParseEngineDateTime(std::string_view text) {
  // Positions count characters, not bytes.
  std::u32string characters;
  for (std::size_t pos = 0; pos < text.size();) characters.push_back(platform::nextCodePoint(text, pos));
  if (characters.size() < 19) return {};
  const std::u32string_view all(characters);
  const auto part = [&](std::size_t first, std::size_t count) {
    return dateTimePart(all.substr(first - 1, count));
  };
  const auto month = part(1, 2), day = part(4, 2), year = part(7, 4);
  const auto hour = part(12, 2), minute = part(15, 2), second = part(18, 2);
  if (!month || !day || !year || !hour || !minute || !second) return {};
  return classic::makeDateTime(*year, *month, *day, *hour, *minute, *second);
}

std::string Commons::ProgramPath(const std::string& folder, std::string_view program) {
  std::string path = folder + std::string(program);
  if (path.find_first_of(" \t") != std::string::npos) path = "\"" + path + "\"";
  return path;
}

}  // namespace krv
