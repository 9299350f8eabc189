#pragma once
// The number, text and date rules the programs' texts and stored values follow, in one place:
// rounding halves to even, number texts that keep a place for the sign, leading-number reads,
// "0.00" formats, trimming of spaces only, and date arithmetic that carries (month 13 is January
// of the next year, hour 24 is midnight of the next day).

#include <cstdint>
#include <string>
#include <string_view>

namespace classic {

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
std::int64_t roundHalfEven(double value);

// The number in plain decimal with a leading space where a positive number's sign would stand:
// 99 -> " 99", -99 -> "-99", 0 -> " 0".
std::string signedNumberText(std::int64_t value);

// The number at the start of the text: leading blanks (spaces, tabs, line feeds) are skipped, then
// an optional sign, digits and an optional "." fraction are read up to the first other character.
// No digits gives 0.
double leadingNumber(std::string_view text);

// The value with at least one integer digit, no thousands separator and exactly two decimals,
// rounded half away from zero, with the given decimal separator: 0.975 -> "0.98", 1000 -> "1000.00".
std::string formatTwoDecimals(double value, std::string_view decimalSeparator);

// Removes leading and trailing spaces (only spaces: tabs and other blanks stay).
std::string trimSpaces(std::string_view text);

// Upper case of ASCII letters and of the Latin-1 letters; every other character is kept.
std::string upperCase(std::string_view utf8);

// A local date and time to the second. The zero date is 30 December 1899, 00:00:00.
struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool isZero() const;
  // Days since the zero date, with the time of day as the fraction.
  double serial() const;
  // Whole seconds since the zero date.
  std::int64_t totalSeconds() const;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// Builds a date from parts that may lie outside their ranges, carrying into the larger units:
// (2026, 13, 1) is 1 January 2027, (2026, 3, 0) is 28 February 2026, hour 24 is the next day.
DateTime makeDateTime(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour = 0,
                      std::int64_t minute = 0, std::int64_t second = 0);

// The date and time that lies this many seconds after the zero date.
DateTime fromTotalSeconds(std::int64_t seconds);

inline bool operator<(const DateTime& a, const DateTime& b) {
  return a.totalSeconds() < b.totalSeconds();
}

// The order of day, month and year in the user's short dates.
enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// The order in which a short-date picture ("M/d/yyyy", "dd.MM.yyyy", "yyyy/MM/dd") names the day
// ("d"), the month ("M") and the year ("y"); text in single quotes is literal, and an era ("g")
// or other letters are passed over. Month, day, year when the picture names them in no order.
DateOrder dateOrderOfPicture(std::string_view picture);

}  // namespace classic
