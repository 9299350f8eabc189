// UTF-8 and UTF-16 conversions.

#include <gtest/gtest.h>

#include <string>

#include "base/Unicode.h"

namespace {

using platform::utf16ToUtf8;
using platform::utf8ToUtf16;

const std::string kMixed = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a é € 😀

TEST(Unicode, WellFormedTextConvertsBothWays) {
  const std::u16string wide = u"a\u00E9\u20AC\U0001F600";
  EXPECT_EQ(utf8ToUtf16(kMixed), wide);
  EXPECT_EQ(utf16ToUtf8(wide), kMixed);
  EXPECT_EQ(utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(utf8ToUtf16(""), u"");
  EXPECT_EQ(platform::characterCount(kMixed), 4u);
  EXPECT_EQ(platform::characterCount(""), 0u);
}

TEST(Unicode, MalformedUtf8BecomesReplacementCharacters) {
  // A stray continuation byte, a byte that never starts a sequence.
  EXPECT_EQ(utf8ToUtf16("\x80"
                        "a\xFF"),
            u"\uFFFDa\uFFFD");
  // A cut sequence is one replacement, and the byte that broke it is read again.
  EXPECT_EQ(utf8ToUtf16("\xE2\x82"), u"\uFFFD");
  EXPECT_EQ(utf8ToUtf16("\xE2\x82"
                        "A"),
            u"\uFFFDA");
  EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\xC3\xA9"), u"\uFFFD\u00E9");
  // Overlong forms, encoded surrogates and values above U+10FFFF are refused byte by byte.
  EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(utf8ToUtf16("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(utf8ToUtf16("\xF5"), u"\uFFFD");
  // The largest values that are allowed.
  EXPECT_EQ(utf8ToUtf16("\xED\x9F\xBF\xF4\x8F\xBF\xBF"), u"\uD7FF\U0010FFFF");
  EXPECT_EQ(platform::characterCount("\xE2\x82"
                                     "A"),
            2u);
}

TEST(Unicode, DecodingNeverReadsPastTheText) {
  // Exactly two bytes of a three-byte sequence on the heap: a read of a third byte would be caught.
  const auto bytes = std::make_unique<char[]>(2);
  bytes[0] = '\xE2';
  bytes[1] = '\x82';
  const std::string_view cut(bytes.get(), 2);
  std::size_t pos = 0;
  EXPECT_EQ(platform::nextCodePoint(cut, pos), U'\uFFFD');
  EXPECT_EQ(pos, 2u);
  EXPECT_EQ(platform::nextCodePoint(cut, pos), U'\uFFFD');
  EXPECT_EQ(pos, 2u);
  EXPECT_EQ(utf8ToUtf16(cut), u"\uFFFD");
  EXPECT_EQ(platform::characterCount(cut), 1u);
  std::size_t beyond = 7;
  EXPECT_EQ(platform::nextCodePoint(cut, beyond), U'\uFFFD');
  EXPECT_EQ(beyond, 2u);
}

TEST(Unicode, UnpairedSurrogatesInUtf16BecomeReplacementCharacters) {
  EXPECT_EQ(utf16ToUtf8(u"\xD83D"), "\xEF\xBF\xBD");
  EXPECT_EQ(utf16ToUtf8(u"\xDE00"
                        "a"),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(utf16ToUtf8(u"\xDE00\xD83D"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(utf16ToUtf8(u"\xD83D"
                        "a"),
            "\xEF\xBF\xBD"
            "a");
}

TEST(Unicode, EveryCodePointEncodesAndDecodesToItself) {
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string encoded;
    platform::appendUtf8(encoded, c);
    std::size_t pos = 0;
    ASSERT_EQ(platform::nextCodePoint(encoded, pos), c) << std::hex << static_cast<unsigned>(c);
    ASSERT_EQ(pos, encoded.size());
  }
  std::string invalid;
  platform::appendUtf8(invalid, 0xD800);
  platform::appendUtf8(invalid, 0x110000);
  EXPECT_EQ(invalid, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
