// Number, text and date rules: rounding, number texts, leading-number reads, two-decimal formats,
// trimming, upper case and date arithmetic that carries.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "base/ClassicRuntime.h"

namespace {

using classic::DateTime;
using classic::makeDateTime;

TEST(ClassicRounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(classic::roundHalfEven(2.5), 2);
  EXPECT_EQ(classic::roundHalfEven(3.5), 4);
  EXPECT_EQ(classic::roundHalfEven(0.5), 0);
  EXPECT_EQ(classic::roundHalfEven(-2.5), -2);
  EXPECT_EQ(classic::roundHalfEven(-3.5), -4);
  EXPECT_EQ(classic::roundHalfEven(2.4999), 2);
  EXPECT_EQ(classic::roundHalfEven(2.5001), 3);
  EXPECT_EQ(classic::roundHalfEven(-2.6), -3);
}

TEST(ClassicRounding, ValuesWithoutAnIntegerSaturateInsteadOfOverflowing) {
  EXPECT_EQ(classic::roundHalfEven(std::nan("")), 0);
  EXPECT_EQ(classic::roundHalfEven(1e30), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(classic::roundHalfEven(-1e30), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(classic::roundHalfEven(std::numeric_limits<double>::infinity()),
            std::numeric_limits<std::int64_t>::max());
}

TEST(ClassicNumberText, PositiveNumbersKeepAPlaceForTheSign) {
  EXPECT_EQ(classic::signedNumberText(99), " 99");
  EXPECT_EQ(classic::signedNumberText(-99), "-99");
  EXPECT_EQ(classic::signedNumberText(0), " 0");
  EXPECT_EQ(classic::signedNumberText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

TEST(ClassicLeadingNumber, ReadsTheNumberAtTheStartAndStopsAtTheFirstOtherCharacter) {
  EXPECT_EQ(classic::leadingNumber("  12abc"), 12);
  EXPECT_EQ(classic::leadingNumber("\t\n-3.5 kB"), -3.5);
  EXPECT_EQ(classic::leadingNumber("+7"), 7);
  EXPECT_EQ(classic::leadingNumber(".5"), 0.5);
  EXPECT_EQ(classic::leadingNumber("5."), 5);
  EXPECT_EQ(classic::leadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(classic::leadingNumber("1e5"), 1);
  EXPECT_EQ(classic::leadingNumber("1 2"), 1);
  EXPECT_EQ(classic::leadingNumber("abc"), 0);
  EXPECT_EQ(classic::leadingNumber("-"), 0);
  EXPECT_EQ(classic::leadingNumber("-."), 0);
  EXPECT_EQ(classic::leadingNumber(""), 0);
  EXPECT_EQ(classic::leadingNumber("- 5"), 0);
}

TEST(ClassicLeadingNumber, ReadsOnlyTheGivenCharactersAndSurvivesEndlessDigits) {
  const std::string digits = "123456";
  EXPECT_EQ(classic::leadingNumber(std::string_view(digits.data(), 3)), 123);
  EXPECT_EQ(classic::leadingNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
  EXPECT_EQ(classic::leadingNumber("-" + std::string(400, '9')), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(classic::leadingNumber("0." + std::string(400, '0') + "1"), 0);
}

TEST(ClassicTwoDecimals, RoundsTheShownDecimalHalfAwayFromZero) {
  EXPECT_EQ(classic::formatTwoDecimals(0.975, "."), "0.98");
  EXPECT_EQ(classic::formatTwoDecimals(2.675, "."), "2.68");
  EXPECT_EQ(classic::formatTwoDecimals(1.005, "."), "1.01");
  EXPECT_EQ(classic::formatTwoDecimals(0.005, "."), "0.01");
  EXPECT_EQ(classic::formatTwoDecimals(0.0049, "."), "0.00");
  EXPECT_EQ(classic::formatTwoDecimals(0.0001, "."), "0.00");
  EXPECT_EQ(classic::formatTwoDecimals(9.995, "."), "10.00");
  EXPECT_EQ(classic::formatTwoDecimals(999.9990234375, "."), "1000.00");
  EXPECT_EQ(classic::formatTwoDecimals(-1.005, "."), "-1.01");
  EXPECT_EQ(classic::formatTwoDecimals(-0.001, "."), "0.00");
}

TEST(ClassicTwoDecimals, KeepsEveryIntegerDigitAndUsesTheGivenSeparator) {
  EXPECT_EQ(classic::formatTwoDecimals(0, "."), "0.00");
  EXPECT_EQ(classic::formatTwoDecimals(1000, "."), "1000.00");
  EXPECT_EQ(classic::formatTwoDecimals(1234567.891, "."), "1234567.89");
  EXPECT_EQ(classic::formatTwoDecimals(1e20, "."), "100000000000000000000.00");
  EXPECT_EQ(classic::formatTwoDecimals(0.9765625, ","), "0,98");
  EXPECT_EQ(classic::formatTwoDecimals(std::nan(""), "."), "");
}

TEST(ClassicText, TrimRemovesSpacesOnly) {
  EXPECT_EQ(classic::trimSpaces("  a b  "), "a b");
  EXPECT_EQ(classic::trimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(classic::trimSpaces(" \r\n "), "\r\n");
  EXPECT_EQ(classic::trimSpaces("   "), "");
  EXPECT_EQ(classic::trimSpaces(""), "");
}

TEST(ClassicText, UpperCaseCoversAsciiAndLatin1Letters) {
  EXPECT_EQ(classic::upperCase("korvane 3.1 - Log"), "KORVANE 3.1 - LOG");
  EXPECT_EQ(classic::upperCase("\xC3\xA9t\xC3\xA9 \xC3\xA0 \xC3\xB6\xC3\xB8\xC3\xBE"),
            "\xC3\x89T\xC3\x89 \xC3\x80 \xC3\x96\xC3\x98\xC3\x9E");               // été à öøþ
  EXPECT_EQ(classic::upperCase("\xC3\xBF"), "\xC5\xB8");                          // ÿ -> Ÿ
  EXPECT_EQ(classic::upperCase("\xC3\xB7\xC3\x9F"), "\xC3\xB7\xC3\x9F");          // ÷ and ß stay
  EXPECT_EQ(classic::upperCase("\xD0\xB6\xE2\x84\xA2"), "\xD0\xB6\xE2\x84\xA2");  // ж ™ stay
  // Malformed bytes are copied and do not swallow the letter after them.
  EXPECT_EQ(classic::upperCase("\xC3"
                               "a\xC3"),
            "\xC3"
            "A\xC3");
}

TEST(ClassicDate, TheZeroDateIsTheStartOfTheCount) {
  const DateTime zero;
  EXPECT_TRUE(zero.isZero());
  EXPECT_EQ(zero.serial(), 0);
  EXPECT_EQ(zero.totalSeconds(), 0);
  EXPECT_FALSE((DateTime{1899, 12, 30, 0, 0, 1}).isZero());
  EXPECT_EQ((DateTime{1900, 1, 1}).serial(), 2);
  EXPECT_EQ((DateTime{1899, 12, 31, 12, 0, 0}).serial(), 1.5);
  EXPECT_EQ((DateTime{2000, 1, 1}).serial(), 36526);
  EXPECT_EQ((DateTime{1899, 12, 30, 1, 2, 3}).totalSeconds(), 3723);
  EXPECT_EQ((DateTime{1899, 12, 29, 23, 59, 59}).totalSeconds(), -1);
  EXPECT_TRUE((DateTime{2026, 12, 8, 9, 59, 59}) < (DateTime{2026, 12, 8, 10, 0, 0}));
  EXPECT_FALSE((DateTime{2026, 12, 8}) < (DateTime{2026, 12, 8}));
}

TEST(ClassicDate, GregorianLeapYearsAndMonthLengths) {
  EXPECT_TRUE(classic::isLeapYear(2024));
  EXPECT_TRUE(classic::isLeapYear(2000));
  EXPECT_FALSE(classic::isLeapYear(2023));
  EXPECT_FALSE(classic::isLeapYear(1900));
  EXPECT_FALSE(classic::isLeapYear(2100));
  EXPECT_EQ(classic::daysInMonth(2024, 2), 29);
  EXPECT_EQ(classic::daysInMonth(2023, 2), 28);
  EXPECT_EQ(classic::daysInMonth(1900, 2), 28);
  EXPECT_EQ(classic::daysInMonth(2026, 4), 30);
  EXPECT_EQ(classic::daysInMonth(2026, 12), 31);
  EXPECT_EQ(classic::daysInMonth(2023, 14), 29);  // February 2024
  EXPECT_EQ(classic::daysInMonth(2026, 0), 31);   // December 2025
}

TEST(ClassicDate, OutOfRangePartsCarryIntoTheLargerUnits) {
  EXPECT_EQ(makeDateTime(2026, 13, 1), (DateTime{2027, 1, 1}));
  EXPECT_EQ(makeDateTime(2026, 0, 15), (DateTime{2025, 12, 15}));
  EXPECT_EQ(makeDateTime(2026, -13, 1), (DateTime{2024, 11, 1}));
  EXPECT_EQ(makeDateTime(2026, 25, 1), (DateTime{2028, 1, 1}));
  EXPECT_EQ(makeDateTime(2026, 3, 0), (DateTime{2026, 2, 28}));
  EXPECT_EQ(makeDateTime(2024, 3, 0), (DateTime{2024, 2, 29}));
  EXPECT_EQ(makeDateTime(2026, 1, 0), (DateTime{2025, 12, 31}));
  EXPECT_EQ(makeDateTime(2024, 1, 366), (DateTime{2024, 12, 31}));
  EXPECT_EQ(makeDateTime(2026, 2, 29), (DateTime{2026, 3, 1}));
  EXPECT_EQ(makeDateTime(2026, 12, 31, 24), (DateTime{2027, 1, 1, 0, 0, 0}));
  EXPECT_EQ(makeDateTime(2026, 1, 1, 0, -1), (DateTime{2025, 12, 31, 23, 59, 0}));
  EXPECT_EQ(makeDateTime(2026, 1, 1, 0, 0, -1), (DateTime{2025, 12, 31, 23, 59, 59}));
  EXPECT_EQ(makeDateTime(2026, 6, 15, 10, 90, 3600), (DateTime{2026, 6, 15, 12, 30, 0}));
  EXPECT_EQ(makeDateTime(2026, 6, 15, -25), (DateTime{2026, 6, 13, 23, 0, 0}));
  EXPECT_EQ(makeDateTime(1970, 1, 1, 0, 0, 1'000'000'000), (DateTime{2001, 9, 9, 1, 46, 40}));
}

TEST(ClassicDate, AbsurdPartsNeitherOverflowNorCrash) {
  const std::int64_t big = std::numeric_limits<std::int64_t>::max();
  const std::int64_t small = std::numeric_limits<std::int64_t>::min();
  const DateTime late = makeDateTime(big, big, big, big, big, big);
  const DateTime early = makeDateTime(small, small, small, small, small, small);
  EXPECT_TRUE(early < late);
  EXPECT_GE(late.month, 1);
  EXPECT_LE(late.month, 12);
  EXPECT_TRUE(classic::fromTotalSeconds(small) < classic::fromTotalSeconds(big));
}

TEST(ClassicDate, EveryDayFollowsTheLastAndConvertsBothWays) {
  DateTime previous = makeDateTime(1799, 12, 31, 23, 59, 59);
  for (int year = 1800; year <= 2400; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= classic::daysInMonth(year, month); ++day) {
        const DateTime date{year, month, day, 23, 59, 59};
        ASSERT_EQ(date.totalSeconds() - previous.totalSeconds(), 86400) << year << "-" << month << "-" << day;
        ASSERT_EQ(classic::fromTotalSeconds(date.totalSeconds()), date);
        ASSERT_EQ(makeDateTime(year, month, day - 1, 47, 59, 59), date);
        previous = date;
      }
    }
  }
}

}  // namespace
