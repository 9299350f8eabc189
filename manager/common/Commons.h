#pragma once
// Small routines every window of the manager uses: relative ages, area sizes, the product title,
// the two standard message boxes, the copy/boot password rules and the wrapping of long texts.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/ClassicRuntime.h"
#include "base/StringTable.h"
#include "platform/AnsiCodec.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/System.h"
#include "ui/Toolkit.h"

namespace krv {

// The product name in titles and captions; not a string-table text.
inline constexpr const char* kProductName = "Korvane";
// The trade mark sign that follows the product name in captions (U+2122, 0x99 in Windows-1252).
inline constexpr const char* kTradeMark = "\xE2\x84\xA2";

struct CommonsServices {
  ui::Toolkit& toolkit;
  platform::System& system;
  platform::Clock& clock;
  platform::Locale& locale;
  const platform::AnsiCodec& codec;
  const platform::StringTable& strings;
};

class Commons {
 public:
  explicit Commons(CommonsServices services) : s_(services) {}

  // "5m ago", "2hrs 5m ago", "3 days ago"; "" for the zero date or a date later than now.
  std::string FormatTimeAgo(const classic::DateTime& date);
  // The size in kilobytes as "0.00 KB", "0.00 MB" or "0.00 GB". The unit chooses the unit ("KB",
  // "MB", anything else gigabytes; empty picks by size) and is replaced by its trimmed upper-case
  // form. A negative size is "< N/A >" and leaves the unit as it was.
  std::string FormatSize(std::int32_t sizeKB, std::string& unit);
  // "Korvane™ 3.1" for version 3.1.
  std::string ProductTitle();
  // "3.1.0 Build 42": the program's own version numbers, the third always 0.
  std::string VersionText();
  // The critical box titled "Error - Korvane"; ends the process when it is closed.
  [[noreturn]] void ShowFatalError(const std::string& text);
  // The information box titled "Assistance - Korvane".
  void ShowAssistance(const std::string& text);
  // True when the text obeys the copy/boot password rules; a refusal is explained only when
  // showMessages is true, one box per refusal.
  bool ValidatePasswordText(const std::string& text, bool showMessages);
  // Replaces spaces by carriage returns so that lines hold at most 71 characters.
  static void WrapMessageText(std::string& text);
  // The system's version as major * 10 + minor (61 for 6.1).
  int WindowsVersion();
  // An engine date-time "MM/DD/YYYY hh:mm:ss": the parts are read by position (the separators
  // are not looked at), and parts out of range carry (month 13 is January of the next year).
  // The zero date when the text is shorter than 19 characters or a part is not a number.
  static classic::DateTime ParseEngineDateTime(std::string_view text);
  // The program in the folder, as the start of a command line: quoted when the path holds a space
  // or a tab, because the system reads an unquoted path up to each blank in turn and would start
  // "C:\Program.exe" for "C:\Program Files\Korvane\Quillon.exe" when such a file exists.
  static std::string ProgramPath(const std::string& folder, std::string_view program);

  const platform::StringTable& strings() const { return s_.strings; }

 private:
  CommonsServices s_;
};

// Exit code of a process ended by the fatal error box or a refused start-up check.
inline constexpr int kExitFailure = 1;

}  // namespace krv
