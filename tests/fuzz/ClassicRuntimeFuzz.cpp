// The number, text and date rules of base/. Input: a double, a 64-bit number, six date parts of
// 64 bits, a choice of decimal separator, then a text.

#include <cmath>
#include <limits>

#include "base/ClassicRuntime.h"
#include "fuzz/FuzzInput.h"

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

void checkRounding(double value) {
  const std::int64_t rounded = classic::roundHalfEven(value);
  if (std::isnan(value)) return FUZZ_CHECK(rounded == 0);
  if (std::fabs(value) >= 4e18) return;  // saturates; no half-steps exist there
  const double distance = std::fabs(static_cast<double>(rounded) - value);
  FUZZ_CHECK(distance <= 0.5);
  if (distance == 0.5) FUZZ_CHECK(rounded % 2 == 0);
}

void checkTwoDecimals(double value, std::string_view separator) {
  const std::string text = classic::formatTwoDecimals(value, separator);
  if (!std::isfinite(value)) return FUZZ_CHECK(text.empty());
  // [-]digits, the separator, two digits.
  const std::size_t at = text.rfind(separator);
  FUZZ_CHECK(at != std::string::npos && at + separator.size() + 2 == text.size());
  const std::size_t digitsFrom = text[0] == '-' ? 1 : 0;
  FUZZ_CHECK(at > digitsFrom);
  for (std::size_t i = digitsFrom; i < at; ++i) FUZZ_CHECK(isDigit(text[i]));
  FUZZ_CHECK(isDigit(text[at + separator.size()]) && isDigit(text[at + separator.size() + 1]));
  if (std::fabs(value) < 1e12) {
    const std::string plain = text.substr(0, at) + "." + text.substr(at + separator.size());
    FUZZ_CHECK(std::fabs(classic::leadingNumber(plain) - value) <= 0.005 + 1e-9 * std::fabs(value) + 1e-12);
  }
}

void checkTexts(std::string_view text) {
  const std::string trimmed = classic::trimSpaces(text);
  const std::size_t lead = text.find_first_not_of(' ');
  if (lead == std::string_view::npos) {
    FUZZ_CHECK(trimmed.empty());
  } else {
    // Only the spaces around the text go.
    FUZZ_CHECK(text.substr(lead, trimmed.size()) == trimmed);
    FUZZ_CHECK(text.find_first_not_of(' ', lead + trimmed.size()) == std::string_view::npos);
    FUZZ_CHECK(trimmed.front() != ' ' && trimmed.back() != ' ');
  }

  const std::string upper = classic::upperCase(text);
  FUZZ_CHECK(classic::upperCase(upper) == upper);
  FUZZ_CHECK(upper.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos);
  FUZZ_CHECK(upper.size() == text.size());

  const double number = classic::leadingNumber(text);
  FUZZ_CHECK(!std::isnan(number));
}

void checkDates(const std::int64_t (&parts)[6]) {
  const classic::DateTime date =
      classic::makeDateTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
  FUZZ_CHECK(fuzz::calendarDate(date));
  FUZZ_CHECK(classic::fromTotalSeconds(date.totalSeconds()) == date);
  // Parts carry into the larger units: a second, a minute, a day or a month more moves the date on.
  for (const std::int64_t part : parts)
    if (part < -1'000'000 || part > 1'000'000) return;
  const auto seconds = [&](std::int64_t dMonth, std::int64_t dDay, std::int64_t dMinute,
                           std::int64_t dSecond) {
    return classic::makeDateTime(parts[0], parts[1] + dMonth, parts[2] + dDay, parts[3], parts[4] + dMinute,
                                 parts[5] + dSecond)
        .totalSeconds();
  };
  const std::int64_t base = date.totalSeconds();
  FUZZ_CHECK(seconds(0, 0, 0, 1) == base + 1);
  FUZZ_CHECK(seconds(0, 0, 1, 0) == base + 60);
  FUZZ_CHECK(seconds(0, 1, 0, 0) == base + 86400);
  const classic::DateTime monthLater = classic::makeDateTime(parts[0], parts[1] + 1, 1);
  const classic::DateTime monthStart = classic::makeDateTime(parts[0], parts[1], 1);
  FUZZ_CHECK(monthLater.totalSeconds() - monthStart.totalSeconds() ==
             86400 * classic::daysInMonth(monthStart.year, monthStart.month));
  FUZZ_CHECK((classic::daysInMonth(date.year, 2) == 29) == classic::isLeapYear(date.year));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const auto value = in.number<double>();
  const auto whole = in.number<std::int64_t>();
  std::int64_t parts[6];
  for (std::int64_t& part : parts) part = in.number<std::int64_t>();
  static constexpr std::string_view kSeparators[] = {".", ",", "\xC2\xA0", "::"};
  const std::string_view separator = kSeparators[in.byte() % 4];
  const std::string_view text = in.rest();

  checkRounding(value);
  checkTwoDecimals(value, separator);
  checkTexts(text);
  checkDates(parts);

  // Number texts keep the place of the sign and read back as the number.
  const std::string signedText = classic::signedNumberText(whole);
  FUZZ_CHECK(signedText[0] == (whole < 0 ? '-' : ' '));
  if (whole > -(std::int64_t{1} << 53) && whole < (std::int64_t{1} << 53))
    FUZZ_CHECK(classic::leadingNumber(signedText) == static_cast<double>(whole));
  return 0;
}
