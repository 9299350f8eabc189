// The manager's registry values through the narrow and the wide families, against an in-memory
// registry that refuses values larger than the caller's buffer.

#include <gtest/gtest.h>

#include <string>

#include "fakes/FakeRegistry.h"
#include "manager/common/RegistryW.h"

namespace {

using platform::RegistryRoot;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
constexpr const char* kKey = "SOFTWARE\\Pellora\\Korvane\\Preferences";

class RegistryAccessTest : public ::testing::Test {
 protected:
  std::string readText(const std::string& value) {
    return access.ReadRegValue(kMachine, kKey, value, "default");
  }
  std::int32_t readNumber(const std::string& value) {
    return access.ReadRegValue(kMachine, kKey, value, -99);
  }
  // UTF-16LE bytes of the text, without a NUL.
  static std::string utf16(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) {
      bytes.push_back(static_cast<char>(unit & 0xFF));
      bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
  }
  // What a wide read of the value gives: the text, or "<absent>" (with the caller's text untouched).
  std::string readWide(const std::string& value) {
    std::string text = "<absent>";
    const bool found = access.ReadRegTextW(kMachine, kKey, value, text);
    EXPECT_EQ(found, text != "<absent>") << value;
    return text;
  }

  fakes::FakeRegistry registry;
  platform::Windows1252Codec codec;
  krv::RegistryAccess access{registry, codec};
};

TEST_F(RegistryAccessTest, NarrowTextIsCutAtItsFirstNulTrimmedAndLimitedTo254Characters) {
  registry.put(kKey, "Padded", platform::kRegSz, std::string("  C:\\Korvane\\  \0garbage", 23));
  registry.put(kKey, "Unterminated", platform::kRegSz, "abc");
  registry.putText(kKey, "Ansi", "Korvane\x99");
  registry.putText(kKey, "Longest", std::string(254, 'x'));
  registry.putText(kKey, "TooLong", std::string(255, 'x'));
  registry.putText(kKey, "Elsewhere", "value", RegistryRoot::CurrentUser);
  EXPECT_EQ(readText("Padded"), "C:\\Korvane\\");
  EXPECT_EQ(readText("Unterminated"), "abc");
  EXPECT_EQ(readText("Ansi"), "Korvane\xE2\x84\xA2");
  EXPECT_EQ(readText("Longest"), std::string(254, 'x'));
  EXPECT_EQ(readText("TooLong"), "default");
  EXPECT_EQ(readText("Missing"), "default");
  EXPECT_EQ(readText("Elsewhere"), "default");
  EXPECT_EQ(access.ReadRegValue(kMachine, "SOFTWARE\\Nowhere", "Padded", "default"), "default");
  ASSERT_FALSE(registry.queries.empty());
  EXPECT_EQ(registry.queries[0].bufferBytes, 255u);
  EXPECT_FALSE(registry.queries[0].wide);
}

TEST_F(RegistryAccessTest, NarrowNumberIsFourBytesWhateverTheStoredType) {
  registry.putNumber(kKey, "Negative", -5);
  registry.putText(kKey, "Text", "1");  // "1" and its NUL: 0x0031
  registry.put(kKey, "Binary", platform::kRegBinary, std::string("\x01\x02\x03\x04", 4));
  registry.put(kKey, "Wide", platform::kRegBinary, std::string(8, '\x01'));
  registry.put(kKey, "Empty", platform::kRegDword, "");
  EXPECT_EQ(readNumber("Negative"), -5);
  EXPECT_EQ(readNumber("Text"), 0x31);
  EXPECT_EQ(readNumber("Binary"), 0x04030201);
  EXPECT_EQ(readNumber("Wide"), -99) << "larger than four bytes";
  EXPECT_EQ(readNumber("Empty"), 0);
  EXPECT_EQ(readNumber("Missing"), -99);
}

TEST_F(RegistryAccessTest, WritesStoreTextsWithTheirNulAndNumbersAsDwords) {
  EXPECT_TRUE(access.WriteRegValue(kMachine, kKey, "Text", "Pa\xC3\xBC"));
  EXPECT_TRUE(access.WriteRegValue(kMachine, kKey, "Number", -2));
  EXPECT_TRUE(access.WriteRegTextW(kMachine, kKey, "Wide", "A\xF0\x9F\x98\x80"));  // a pair of surrogates
  EXPECT_TRUE(access.WriteRegTextW(kMachine, kKey, "WideEmpty", ""));
  ASSERT_EQ(registry.writes.size(), 4u);
  EXPECT_EQ(registry.writes[0].type, platform::kRegSz);
  EXPECT_EQ(registry.writes[0].bytes, std::string("Pa\xFC\0", 4));
  EXPECT_FALSE(registry.writes[0].wide);
  EXPECT_EQ(registry.writes[1].type, platform::kRegDword);
  EXPECT_EQ(registry.writes[1].bytes, "\xFE\xFF\xFF\xFF");
  EXPECT_EQ(registry.writes[2].type, platform::kRegSz);
  EXPECT_EQ(registry.writes[2].bytes, utf16(u"A\U0001F600") + std::string(2, '\0'));
  EXPECT_TRUE(registry.writes[2].wide);
  EXPECT_EQ(registry.writes[3].bytes, std::string(2, '\0'));
  EXPECT_EQ(readText("Text"), "Pa\xC3\xBC");
  EXPECT_EQ(readNumber("Number"), -2);
  EXPECT_EQ(readWide("Wide"), "A\xF0\x9F\x98\x80");

  registry.failingWrites = {"Text", "Number", "Wide"};
  EXPECT_FALSE(access.WriteRegValue(kMachine, kKey, "Text", "other"));
  EXPECT_FALSE(access.WriteRegValue(kMachine, kKey, "Number", 1));
  EXPECT_FALSE(access.WriteRegTextW(kMachine, kKey, "Wide", "other"));
}

TEST_F(RegistryAccessTest, DeleteAnswersWhetherTheValueWasThere) {
  registry.putNumber(kKey, "Gone", 1);
  EXPECT_TRUE(access.DeleteRegValue(kMachine, kKey, "Gone"));
  EXPECT_FALSE(registry.get(kKey, "Gone"));
  EXPECT_FALSE(access.DeleteRegValue(kMachine, kKey, "Gone"));
  EXPECT_FALSE(access.DeleteRegValue(kMachine, "SOFTWARE\\Nowhere", "Gone"));
}

TEST_F(RegistryAccessTest, WideTextReadsTheReturnedCharactersUpToTheNulWithin3977Bytes) {
  registry.putWideText(kKey, "One", "A");  // four bytes with the NUL
  registry.putWideText(kKey, "Empty", "");
  registry.put(kKey, "NoBytes", platform::kRegSz, "");
  registry.put(kKey, "NoNul", platform::kRegSz, utf16(u"abc"));
  registry.put(kKey, "OddSize", platform::kRegSz, utf16(u"ab") + "c");
  registry.put(kKey, "Largest", platform::kRegSz, utf16(std::u16string(1987, u'x')) + std::string(3, '\0'));
  registry.putWideText(kKey, "TooLarge", std::string(1988, 'x'));  // 3978 bytes
  registry.putWideText(kKey, "Text", "  C:\\A;C:\\\xC3\xA9  ");
  EXPECT_EQ(readWide("One"), "A");
  EXPECT_EQ(readWide("Empty"), "");
  EXPECT_EQ(readWide("NoBytes"), "");
  EXPECT_EQ(readWide("NoNul"), "abc") << "the last character is kept";
  EXPECT_EQ(readWide("OddSize"), "ab");
  EXPECT_EQ(readWide("Largest"), std::string(1987, 'x'));
  EXPECT_EQ(readWide("TooLarge"), "<absent>");
  EXPECT_EQ(readWide("Missing"), "<absent>");
  EXPECT_EQ(readWide("Text"), "  C:\\A;C:\\\xC3\xA9  ") << "not trimmed";
  EXPECT_EQ(registry.queries[0].bufferBytes, 3977u);
  EXPECT_TRUE(registry.queries[0].wide);
}

}  // namespace
