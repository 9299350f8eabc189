#include "base/ClassicRuntime.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace classic {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// The Gregorian rule: every fourth year, but of the century years only every fourth one.
constexpr bool leapYear(std::int64_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Division and remainder that round towards minus infinity, so that carrying works the same way
// for parts below their range as for parts above it (month 0 borrows a year, minute -1 an hour).
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
constexpr std::int64_t floorMod(std::int64_t a, std::int64_t b) {
  return a - floorDiv(a, b) * b;
}

// Days from 1 January 1970 to the given date of the proleptic Gregorian calendar; month 1..12.
constexpr std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = floorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct CivilDate {
  std::int64_t year;
  int month;
  int day;
};

// The date that lies this many days after 1 January 1970.
constexpr CivilDate civilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = floorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {era * 400 + yoe + (m <= 2 ? 1 : 0), m, d};
}

constexpr std::int64_t kZeroDateDays = daysFromCivil(1899, 12, 30);

// Seconds from the zero date to the given parts, each of which may lie outside its range. The parts
// must be small enough (within the range of int) for the sum to stay far inside 64 bits.
std::int64_t secondsOf(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                       std::int64_t minute, std::int64_t second) {
  const std::int64_t y = year + floorDiv(month - 1, 12);
  const std::int64_t m = floorMod(month - 1, 12) + 1;
  const std::int64_t days = daysFromCivil(y, m, 1) - kZeroDateDays + (day - 1);
  return days * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

std::int64_t clampToInt(std::int64_t v) {
  return std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

}  // namespace

std::int64_t roundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  // 2^63 is exactly representable; anything at or beyond it does not fit and saturates.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (value < -kLimit) return std::numeric_limits<std::int64_t>::min();
  const double below = std::floor(value);
  const double fraction = value - below;
  double result = below;
  if (fraction > 0.5) {
    result = below + 1;
  } else if (fraction == 0.5) {
    result = std::fmod(below, 2.0) == 0 ? below : below + 1;
  }
  if (result >= kLimit) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(result);
}

std::string signedNumberText(std::int64_t value) {
  std::string digits = std::to_string(value);
  return value < 0 ? digits : " " + digits;
}

double leadingNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const auto digitsFrom = [&](std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    return text.substr(from, end - from);
  };
  const std::string_view integer = digitsFrom(pos);
  pos += integer.size();
  std::string_view fraction;
  if (pos < text.size() && text[pos] == '.') fraction = digitsFrom(pos + 1);
  if (integer.empty() && fraction.empty()) return 0.0;

  std::string number(integer.empty() ? "0" : integer);
  if (!fraction.empty()) number.append(".").append(fraction);
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    // More than a double holds: huge when the integer part has a non-zero digit, else vanishing.
    const bool huge = integer.find_first_not_of('0') != std::string_view::npos;
    value = huge ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (error != std::errc()) {
    return 0.0;
  }
  return negative && value != 0.0 ? -value : value;
}

std::string formatTwoDecimals(double value, std::string_view decimalSeparator) {
  // Not numbers a size or a ratio can have; showing nothing is better than showing a wrong one.
  if (!std::isfinite(value)) return {};

  // The value is rounded as the decimal number it shows as (15 significant digits), not as its
  // binary approximation, so that 0.975 gives 0.98 and 2.675 gives 2.68.
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
  const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
  // sci is "d.dddddddddddddde[+-]xx".
  const std::size_t ePos = sci.find('e');
  std::string mantissa;
  for (char c : sci.substr(0, ePos)) {
    if (c != '.') mantissa.push_back(c);
  }
  int exponent = 0;
  std::string_view expText = sci.substr(ePos + 1);
  if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
  (void)std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

  // Digits of the value times 100, rounded half away from zero: the mantissa's first digit stands
  // for 10^exponent, so 10^(exponent + 2) in hundredths.
  const int integerDigits = exponent + 3;  // digits of mantissa before the hundredths' point
  std::string hundredths;                  // decimal digits of round(|value| * 100)
  if (integerDigits <= 0) {
    // Below 0.01: one hundredth when the first digit stands for thousandths and is 5 or more.
    hundredths.assign(1, (integerDigits == 0 && mantissa.front() >= '5') ? '1' : '0');
  } else {
    const std::size_t keep = static_cast<std::size_t>(integerDigits);
    if (keep >= mantissa.size()) {
      hundredths = mantissa;
      hundredths.append(keep - mantissa.size(), '0');
    } else {
      hundredths = mantissa.substr(0, keep);
      if (mantissa[keep] >= '5') {
        std::size_t i = hundredths.size();
        while (i > 0 && hundredths[i - 1] == '9') hundredths[--i] = '0';
        if (i == 0) {
          hundredths.insert(hundredths.begin(), '1');
        } else {
          ++hundredths[i - 1];
        }
      }
    }
  }
  if (hundredths.size() < 3) hundredths.insert(0, 3 - hundredths.size(), '0');

  const bool isZero = hundredths.find_first_not_of('0') == std::string::npos;
  std::string text;
  // A value that rounds to zero shows as "0.00", never "-0.00".
  if (value < 0 && !isZero) text.push_back('-');
  text.append(hundredths, 0, hundredths.size() - 2);
  text.append(decimalSeparator);
  text.append(hundredths, hundredths.size() - 2, 2);
  return text;
}

std::string trimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string upperCase(std::string_view utf8) {
  // Works on the bytes: the lower-case Latin-1 letters are U+00E0..U+00FE (without the division
  // sign U+00F7), encoded as 0xC3 0xA0..0xBE, and their capitals lie 0x20 below. U+00FF has its
  // capital, U+0178, outside Latin-1. Every other byte, malformed ones included, is copied.
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 'a' && c <= 'z') {
      out.push_back(static_cast<char>(c - 0x20));
    } else if (c == 0xC3 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0xA0 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0xBF) {
      const auto next = static_cast<unsigned char>(utf8[++i]);
      if (next == 0xBF) {
        out.append("\xC5\xB8");
      } else {
        out.push_back(static_cast<char>(c));
        out.push_back(static_cast<char>(next == 0xB7 ? next : next - 0x20));
      }
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

bool DateTime::isZero() const {
  return *this == DateTime{};
}

double DateTime::serial() const {
  return static_cast<double>(totalSeconds()) / kSecondsPerDay;
}

std::int64_t DateTime::totalSeconds() const {
  return secondsOf(year, month, day, hour, minute, second);
}

bool isLeapYear(int year) {
  return leapYear(year);
}

int daysInMonth(int year, int month) {
  const std::int64_t y = year + floorDiv(static_cast<std::int64_t>(month) - 1, 12);
  const int m = static_cast<int>(floorMod(static_cast<std::int64_t>(month) - 1, 12) + 1);
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && leapYear(y)) return 29;
  return kDays[m - 1];
}

DateTime makeDateTime(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                      std::int64_t minute, std::int64_t second) {
  // Parts beyond the range of int are no dates anyone means; clamping them keeps the arithmetic
  // exact for every sensible input and free of overflow for the rest.
  return fromTotalSeconds(secondsOf(clampToInt(year), clampToInt(month), clampToInt(day), clampToInt(hour),
                                    clampToInt(minute), clampToInt(second)));
}

DateTime fromTotalSeconds(std::int64_t seconds) {
  // Keeps the year inside the range of int (about a billion years either side of the zero date).
  constexpr std::int64_t kLimit = 1'000'000'000LL * 146097 / 400 * kSecondsPerDay;
  seconds = std::clamp(seconds, -kLimit, kLimit);
  const std::int64_t days = floorDiv(seconds, kSecondsPerDay);
  const std::int64_t timeOfDay = seconds - days * kSecondsPerDay;
  const CivilDate date = civilFromDays(days + kZeroDateDays);
  DateTime result;
  result.year = static_cast<int>(date.year);
  result.month = date.month;
  result.day = date.day;
  result.hour = static_cast<int>(timeOfDay / 3600);
  result.minute = static_cast<int>(timeOfDay / 60 % 60);
  result.second = static_cast<int>(timeOfDay % 60);
  return result;
}

DateOrder dateOrderOfPicture(std::string_view picture) {
  // The position at which each of day, month and year first appears; npos when it does not.
  std::size_t day = std::string_view::npos, month = day, year = day;
  bool quoted = false;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    const char c = picture[i];
    if (c == '\'') quoted = !quoted;
    if (quoted) continue;
    if (c == 'd') {
      day = std::min(day, i);
    } else if (c == 'M') {
      month = std::min(month, i);
    } else if (c == 'y') {
      year = std::min(year, i);
    }
  }
  if (day == std::string_view::npos || month == std::string_view::npos || year == std::string_view::npos)
    return DateOrder::MonthDayYear;
  if (year < month && year < day) return DateOrder::YearMonthDay;
  return day < month ? DateOrder::DayMonthYear : DateOrder::MonthDayYear;
}

}  // namespace classic
