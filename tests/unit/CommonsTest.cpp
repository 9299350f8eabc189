// The manager's common routines: relative ages, sizes, the product title, the standard boxes,
// the copy/boot password rules and the wrapping of long confirmation texts.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "unit/CommonsFixture.h"

namespace {

using classic::DateTime;
using classic::makeDateTime;

class FormatTimeAgoTest : public CommonsFixture {
 protected:
  // The age of a date this many seconds before "now".
  std::string ago(std::int64_t seconds) {
    return commons.FormatTimeAgo(classic::fromTotalSeconds(clock.now.totalSeconds() - seconds));
  }
};

TEST_F(FormatTimeAgoTest, MinutesAndHours) {
  clock.now = {2026, 12, 8, 10, 0, 40};
  EXPECT_EQ(ago(30), "1m ago");  // within the same minute
  EXPECT_EQ(ago(0), "1m ago");
  EXPECT_EQ(ago(45 * 60), "45m ago");
  EXPECT_EQ(ago(60 * 60), "1hr ago");
  EXPECT_EQ(ago(61 * 60), "1hr 1m ago");
  EXPECT_EQ(ago(120 * 60), "2hrs ago");
  EXPECT_EQ(ago(125 * 60), "2hrs 5m ago");
  EXPECT_EQ(ago(1439 * 60), "23hrs 59m ago");
}

TEST_F(FormatTimeAgoTest, CountsMinutesWithTheSecondsDropped) {
  clock.now = {2026, 12, 8, 10, 2, 0};
  EXPECT_EQ(commons.FormatTimeAgo({2026, 12, 8, 10, 0, 59}), "2m ago");  // 61 seconds, two minute marks
  clock.now = {2026, 12, 8, 10, 1, 59};
  EXPECT_EQ(commons.FormatTimeAgo({2026, 12, 8, 10, 0, 0}), "1m ago");  // 119 seconds, one mark
  clock.now = {2027, 3, 1, 0, 30, 0};
  EXPECT_EQ(commons.FormatTimeAgo({2027, 2, 28, 23, 45, 0}), "45m ago");
}

TEST_F(FormatTimeAgoTest, DaysHideHoursAndMinutes) {
  EXPECT_EQ(ago(86400), "1 day ago");
  EXPECT_EQ(ago(25 * 3600), "1 day ago");
  EXPECT_EQ(ago(2 * 86400 - 60), "1 day ago");
  EXPECT_EQ(ago(2 * 86400), "2 days ago");
  EXPECT_EQ(ago(12 * 86400 + 5 * 3600), "12 days ago");
  EXPECT_EQ(commons.FormatTimeAgo({1900, 1, 1}),
            std::to_string(clock.now.totalSeconds() / 86400 - 2) + " days ago");
}

TEST_F(FormatTimeAgoTest, FutureAndZeroDatesHaveNoAge) {
  EXPECT_EQ(ago(-1), "");
  EXPECT_EQ(ago(-86400), "");
  EXPECT_EQ(commons.FormatTimeAgo(DateTime{}), "");
}

TEST_F(CommonsFixture, FormatSizeStepsUpAtAThousandAndDividesBy1024) {
  std::string unit;
  EXPECT_EQ(commons.FormatSize(0, unit), "0.00 KB");
  EXPECT_EQ(commons.FormatSize(999, unit), "999.00 KB");
  EXPECT_EQ(commons.FormatSize(1000, unit), "0.98 MB");
  EXPECT_EQ(commons.FormatSize(1023999, unit), "1000.00 MB");
  EXPECT_EQ(commons.FormatSize(1024000, unit), "0.98 GB");
  EXPECT_EQ(commons.FormatSize(std::numeric_limits<std::int32_t>::max(), unit), "2048.00 GB");
  EXPECT_EQ(unit, "");
}

TEST_F(CommonsFixture, FormatSizeFollowsTheCallersUnitAndNormalisesIt) {
  std::string unit = " kb ";
  EXPECT_EQ(commons.FormatSize(5, unit), "5.00 KB");
  EXPECT_EQ(unit, "KB");
  EXPECT_EQ(commons.FormatSize(5000, unit), "5000.00 KB");
  unit = "mb";
  EXPECT_EQ(commons.FormatSize(512, unit), "0.50 MB");
  EXPECT_EQ(unit, "MB");
  unit = "0.00 GB";
  EXPECT_EQ(commons.FormatSize(2097152, unit), "2.00 GB");
  EXPECT_EQ(commons.FormatSize(5, unit), "0.00 GB");
  EXPECT_EQ(unit, "0.00 GB");
  unit = "\tkb";  // only spaces are trimmed: neither KB nor empty, so gigabytes
  EXPECT_EQ(commons.FormatSize(1048576, unit), "1.00 GB");
}

TEST_F(CommonsFixture, FormatSizeOfANegativeSizeIsNotAvailableAndKeepsTheUnit) {
  std::string unit = " kb ";
  EXPECT_EQ(commons.FormatSize(-1, unit), "< N/A >");
  EXPECT_EQ(commons.FormatSize(std::numeric_limits<std::int32_t>::min(), unit), "< N/A >");
  EXPECT_EQ(unit, " kb ");
}

TEST_F(CommonsFixture, FormatSizeUsesTheLocalesDecimalSeparator) {
  locale.decimal = ",";
  std::string unit;
  EXPECT_EQ(commons.FormatSize(1000, unit), "0,98 MB");
  EXPECT_EQ(commons.FormatSize(999, unit), "999,00 KB");
  unit = "0.00 GB";
  EXPECT_EQ(commons.FormatSize(3670016, unit), "3,50 GB");
}

TEST_F(CommonsFixture, ProductTitleCarriesTheTradeMarkAndTheVersion) {
  system.version = {3, 1, 42};
  EXPECT_EQ(commons.ProductTitle(), "Korvane\xE2\x84\xA2 3.1");
  EXPECT_EQ(codec.toAnsi(commons.ProductTitle()), "Korvane\x99 3.1");
  system.version = {10, 12, 0};
  EXPECT_EQ(commons.ProductTitle(), "Korvane\xE2\x84\xA2 10.12");
}

TEST_F(CommonsFixture, FatalErrorShowsTheCriticalBoxAndEndsTheProcess) {
  toolkit.expectBox();
  bool returned = false;
  EXPECT_EQ(exitCodeOf([&] {
              commons.ShowFatalError("Unable to go on.");
              returned = true;
            }),
            krv::kExitFailure);
  EXPECT_FALSE(returned);
  EXPECT_TRUE(fakes::showedOneBox(
      toolkit.shown, {"Unable to go on.", "Error - Korvane", ui::Buttons::OK, ui::Icon::Critical}));
}

TEST_F(CommonsFixture, AssistanceShowsTheInformationBoxAndReturns) {
  toolkit.expectBox();
  commons.ShowAssistance("Pick an area first.");
  EXPECT_TRUE(fakes::showedOneBox(toolkit.shown, {"Pick an area first.", "Assistance - Korvane",
                                                  ui::Buttons::OK, ui::Icon::Information}));
}

class PasswordRulesTest : public CommonsFixture {
 protected:
  // The text of the one box a refusal showed, or "accepted".
  std::string verdict(const std::string& password) {
    const std::size_t before = toolkit.shown.size();
    toolkit.expectBox();
    const bool accepted = commons.ValidatePasswordText(password, true);
    if (accepted) {
      toolkit.answers.clear();
      EXPECT_EQ(toolkit.shown.size(), before);
      return "accepted";
    }
    EXPECT_EQ(toolkit.shown.size(), before + 1) << "one box per refusal";
    EXPECT_EQ(toolkit.shown.back().title, "Assistance - Korvane");
    return toolkit.shown.back().text;
  }
};

TEST_F(PasswordRulesTest, AcceptsOneToTwentyFivePrintableAsciiCharacters) {
  EXPECT_EQ(verdict("!~"), "accepted");
  EXPECT_EQ(verdict(std::string(25, 'a')), "accepted");
  EXPECT_EQ(verdict("x"), "accepted");
  EXPECT_EQ(verdict(">@[\\]^_`{|}"), "accepted");
  EXPECT_EQ(verdict("Pa55w0rd#$%&'()*+,-./:;<="), "accepted");
}

TEST_F(PasswordRulesTest, RefusalsComeInOrderOneMessageEach) {
  EXPECT_EQ(verdict(""), "Blank passwords not allowed");
  EXPECT_EQ(verdict(std::string(26, 'a')), "Password length must not exceed 25 chars");
  // Too long is found before the characters are looked at.
  EXPECT_EQ(verdict(std::string(21, 'a') + " ? \xC3\xA9 "), "Password length must not exceed 25 chars");
  EXPECT_EQ(verdict("pass word"), "Invalid characters in password entry");
  EXPECT_EQ(verdict("what?"), "Invalid characters in password entry");
  EXPECT_EQ(verdict("caf\xC3\xA9"), "Invalid characters in password entry");  // é is 0xE9
  EXPECT_EQ(verdict("\xC4\x80"
                    "bc"),
            "Invalid characters in password entry");                           // Ā has no code
  EXPECT_EQ(verdict("\xE2\x84\xA2"), "Invalid characters in password entry");  // ™ is 0x99
  EXPECT_EQ(verdict("tab\there"), "Invalid characters in password entry");
  EXPECT_EQ(verdict(std::string("nul\0x", 5)), "Invalid characters in password entry");
  EXPECT_EQ(verdict("bad\xFF"), "Invalid characters in password entry");  // malformed UTF-8
}

TEST_F(PasswordRulesTest, LengthIsCountedInCharactersNotBytes) {
  // 25 characters but 50 bytes: refused for the characters, not for the length.
  EXPECT_EQ(verdict("\xC3\xA9" + std::string(24, 'x')), "Invalid characters in password entry");
  std::string accented;
  for (int i = 0; i < 25; ++i) accented += "\xC3\xA9";
  EXPECT_EQ(verdict(accented), "Invalid characters in password entry");
  EXPECT_EQ(verdict(accented + "\xC3\xA9"), "Password length must not exceed 25 chars");
}

TEST_F(CommonsFixture, PasswordRefusalsAreSilentWhenAsked) {
  EXPECT_FALSE(commons.ValidatePasswordText("", false));
  EXPECT_FALSE(commons.ValidatePasswordText(std::string(26, 'a'), false));
  EXPECT_FALSE(commons.ValidatePasswordText("a b", false));
  EXPECT_TRUE(commons.ValidatePasswordText("secret", false));
  EXPECT_TRUE(toolkit.shown.empty());
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\r') {
      lines.emplace_back();
    } else {
      lines.back().push_back(c);
    }
  }
  return lines;
}

// Words of nine letters, each followed by a space.
std::string nineLetterWords(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(9, static_cast<char>('a' + i % 26)) + " ";
  return text;
}

TEST(WrapMessageText, ShortTextsStayAsTheyAre) {
  std::string text = nineLetterWords(7) + std::string(1, 'z');  // 71 characters
  const std::string before = text;
  krv::Commons::WrapMessageText(text);
  EXPECT_EQ(text, before);
  std::string empty;
  krv::Commons::WrapMessageText(empty);
  EXPECT_EQ(empty, "");
}

TEST(WrapMessageText, ReplacesTheLastSpaceBeforeTheLimitByACarriageReturn) {
  std::string text = nineLetterWords(10);  // 100 characters
  std::string expected = text;
  expected[69] = '\r';  // the space at position 70
  krv::Commons::WrapMessageText(text);
  EXPECT_EQ(text, expected);

  std::string longer = nineLetterWords(40);
  krv::Commons::WrapMessageText(longer);
  EXPECT_EQ(longer.size(), 400u);
  const std::vector<std::string> lines = linesOf(longer);
  EXPECT_EQ(lines.size(), 6u);
  for (const std::string& line : lines) EXPECT_LE(line.size(), 71u) << line;
}

TEST(WrapMessageText, AWordLongerThanALineBreaksAtTheSpaceAfterIt) {
  std::string text = std::string(80, 'w') + " tail";
  krv::Commons::WrapMessageText(text);
  EXPECT_EQ(text, std::string(80, 'w') + "\rtail");

  std::string solid(150, 'w');
  krv::Commons::WrapMessageText(solid);
  EXPECT_EQ(solid, std::string(150, 'w'));
}

TEST(WrapMessageText, CountsCharactersNotBytes) {
  // Words of eight two-byte letters and a space: 72 characters are 136 bytes.
  std::string word;
  for (int i = 0; i < 8; ++i) word += "\xC3\xA9";
  std::string text;
  for (int i = 0; i < 10; ++i) text += word + " ";
  const std::size_t bytes = text.size();
  krv::Commons::WrapMessageText(text);
  EXPECT_EQ(text.size(), bytes);
  const std::vector<std::string> lines = linesOf(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(platform::characterCount(lines[0]), 71u);  // the space at character 72 was replaced
}

TEST_F(CommonsFixture, WindowsVersionIsMajorTimesTenPlusMinor) {
  system.os = {6, 1, 7601, platform::kProductTypeWorkstation};
  EXPECT_EQ(commons.WindowsVersion(), 61);
  system.os = {5, 1, 2600, platform::kProductTypeWorkstation};
  EXPECT_EQ(commons.WindowsVersion(), 51);
  system.os = {10, 0, 19045, platform::kProductTypeWorkstation};
  EXPECT_EQ(commons.WindowsVersion(), 100);
}

}  // namespace
