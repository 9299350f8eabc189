// The Windows-1252 code page used for engine buffers, registry values and log files.

#include <gtest/gtest.h>

#include <string>

#include "base/Unicode.h"
#include "base/Windows1252.h"

namespace {

using platform::windows1252::fromUtf8;
using platform::windows1252::toUtf8;

TEST(Windows1252, MapsTheHighControlRangeAsWindowsDoes) {
  EXPECT_EQ(toUtf8("\x99"), "\xE2\x84\xA2");  // ™
  EXPECT_EQ(toUtf8("\x80"), "\xE2\x82\xAC");  // €
  EXPECT_EQ(toUtf8("\x9F\x8A"), "\xC5\xB8\xC5\xA0");
  EXPECT_EQ(toUtf8("\xE9\xFF"), "\xC3\xA9\xC3\xBF");
  EXPECT_EQ(toUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
  EXPECT_EQ(fromUtf8("Korvane\xE2\x84\xA2 3.1 \xE2\x82\xAC \xC3\xA9"), "Korvane\x99 3.1 \x80 \xE9");
  EXPECT_EQ(fromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = toUtf8(all);
  EXPECT_EQ(platform::characterCount(utf8), 256u);
  EXPECT_EQ(fromUtf8(utf8), all);
}

TEST(Windows1252, CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(fromUtf8("\xC4\x80"), "?");                   // Ā: no best-fit "A"
  EXPECT_EQ(fromUtf8("\xD0\xB6\xF0\x9F\x98\x80"), "??");  // ж 😀
  EXPECT_EQ(fromUtf8("\xC2\x80"), "?");                   // U+0080: byte 0x80 is the euro sign
  EXPECT_EQ(fromUtf8("\xE2\x82"
                     "A\xFF"),
            "?A?");  // malformed UTF-8
}

}  // namespace
