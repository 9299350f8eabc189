// The engine library binding: exports bound by name at their first call, and a missing library or
// export answered with a failure code instead of a crash.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "fakes/Fakes.h"
#include "manager/engine/EngineBuffers.h"
#include "manager/engine/KRVCopyAPI.h"

namespace {

std::vector<std::string> gEngineCalls;

std::int32_t KRV_WINAPI openSnapshots(std::int32_t caller) {
  gEngineCalls.push_back("open " + std::to_string(caller));
  return -115;
}
std::int32_t KRV_WINAPI logMessage(std::uint32_t kind, char* line) {
  gEngineCalls.push_back("log " + std::to_string(kind) + " " + line);
  return 0;
}
std::int32_t KRV_WINAPI findFirst(std::int32_t caller, char* pattern, krv::SNAPSHOTINFO* info) {
  gEngineCalls.push_back("first " + std::to_string(caller) + " " + pattern);
  info->number = 0;
  std::memcpy(info->name, "ORIGINAL", 9);
  info->sizeKB = 1234;
  return 0;
}

// The export of that name, made by a function of the test that must have the export's own type.
template <typename Fn>
std::pair<const std::string, platform::ExportedFunction> exported(const krv::exports::Export<Fn>& which,
                                                                  Fn fn) {
  return {which.name, reinterpret_cast<platform::ExportedFunction>(fn)};
}

class EngineBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gEngineCalls.clear();
    loader.exports = {exported(krv::exports::kOpenSnapshots, &openSnapshots),
                      exported(krv::exports::kLogMessage, &logMessage),
                      exported(krv::exports::kFindFirstSnapshot, &findFirst)};
  }
  fakes::FakeLibraryLoader loader;
};

TEST_F(EngineBindingTest, LoadsTheLibraryByNameOnTheFirstCallAndBindsEachExportOnce) {
  krv::LibraryCopyAPI engine(loader);
  EXPECT_TRUE(loader.loads.empty()) << "nothing is loaded before the first call";
  EXPECT_EQ(engine.KRV_OpenSnapshots(2500), -115);
  EXPECT_EQ(engine.KRV_OpenSnapshots(2000), -115);
  char line[] = "hello";
  EXPECT_EQ(engine.KRV_LogMessage(0, line), 0);
  EXPECT_EQ(loader.loads, std::vector<std::string>{"KRVCopyCtrl"});
  const std::vector<std::string> resolved = {"KRV_OpenSnapshots", "KRV_LogMessage"};
  EXPECT_EQ(loader.resolved, resolved);
  const std::vector<std::string> calls = {"open 2500", "open 2000", "log 0 hello"};
  EXPECT_EQ(gEngineCalls, calls);
}

TEST_F(EngineBindingTest, PassesTheSnapshotRecordThrough) {
  krv::LibraryCopyAPI engine(loader);
  char pattern[] = "*";
  krv::SNAPSHOTINFO info{};
  info.number = 7;
  EXPECT_EQ(engine.KRV_FindFirstSnapshot(2000, pattern, &info), 0);
  EXPECT_EQ(info.number, 0);
  EXPECT_STREQ(info.name, "ORIGINAL");
  EXPECT_EQ(info.sizeKB, 1234);
}

TEST_F(EngineBindingTest, MissingExportAnswersTheManagersFailureCodeAndIsLookedForAgain) {
  krv::LibraryCopyAPI engine(loader);
  char request[] = "keywait";
  char reply[300] = {};
  EXPECT_EQ(engine.KRV_Configuration(8000, request, reply), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_Configuration(8000, request, reply), krv::kManagerFailure);
  EXPECT_EQ(loader.resolved, (std::vector<std::string>{"KRV_Configuration", "KRV_Configuration"}));
  EXPECT_NE(krv::kManagerFailure, krv::kNotAdministrator);
  EXPECT_LT(krv::kManagerFailure, 0);
}

TEST_F(EngineBindingTest, MissingLibraryAnswersEveryExportWithTheFailureCode) {
  loader.present = false;
  krv::LibraryCopyAPI engine(loader);
  char text[16] = "x";
  char16_t wide[16] = u"x";
  krv::SNAPSHOTINFO info{};
  std::int32_t y, mo, d, h, mi, s;
  EXPECT_EQ(engine.KRV_OpenSnapshots(2500), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_CloseSnapshots(2500), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_FindFirstSnapshot(2000, text, &info), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_FindNextSnapshot(2000, &info), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_SetSnapshotName(2000, 1, text), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_AnchoredFiles(5000, text), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_CheckAnchorList(5000, text, text), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_CheckExcludedFiles(wide, text), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_Configuration(8000, text, text), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_LogMessage(0, text), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_ConvertTime(0, &y, &mo, &d, &h, &mi, &s), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_BrowseFolders(wide, 0, wide), krv::kManagerFailure);
  EXPECT_EQ(engine.KRV_ShowEditDialog(wide, 0, wide, 32), krv::kManagerFailure);
  EXPECT_EQ(loader.loads.size(), 13u) << "each call tries the library again";
  EXPECT_TRUE(gEngineCalls.empty());
}

TEST(EngineBuffers, AnsiTextIsRefusedWhenItAndItsTerminatorDoNotFit) {
  platform::Windows1252Codec codec;
  auto fits = krv::AnsiBuffer::holding(codec, "abc", 4);
  ASSERT_TRUE(fits.has_value());
  EXPECT_EQ(fits->size(), 4u);
  EXPECT_EQ(std::string(fits->data(), 4), std::string("abc\0", 4));
  EXPECT_FALSE(krv::AnsiBuffer::holding(codec, "abcd", 4).has_value());
  // The trade mark sign is one ANSI byte.
  auto mark = krv::AnsiBuffer::holding(codec, "Korvane\xE2\x84\xA2", 9);
  ASSERT_TRUE(mark.has_value());
  EXPECT_EQ(static_cast<unsigned char>(mark->data()[7]), 0x99);
}

TEST(EngineBuffers, ReadingBackStopsAtTheFirstNulOrTheEndAndTrimsSpaces) {
  platform::Windows1252Codec codec;
  krv::AnsiBuffer buffer(8);
  std::memcpy(buffer.data(), "  ab \0zz", 8);
  EXPECT_EQ(buffer.text(codec), "ab");
  // An engine that forgets the NUL: the whole buffer and no byte past it.
  std::memcpy(buffer.data(), " abcdefg", 8);
  EXPECT_EQ(buffer.text(codec), "abcdefg");
  EXPECT_EQ(buffer.raw().size(), 8u);
  std::memcpy(buffer.data(), "\x99\x80     \0", 8);
  EXPECT_EQ(buffer.text(codec), "\xE2\x84\xA2\xE2\x82\xAC");
}

TEST(EngineBuffers, Utf16BuffersKeepTheirByteSizeAndReadAtMostTheCountGiven) {
  auto buffer = krv::Utf16Buffer::holding("C:\\Data", 521);
  ASSERT_TRUE(buffer.has_value());
  EXPECT_EQ(buffer->sizeBytes(), 522u) << "every byte of an odd count is there";
  EXPECT_EQ(buffer->text(), "C:\\Data");
  EXPECT_EQ(buffer->text(2), "C:");
  EXPECT_EQ(buffer->text(1000), "C:\\Data") << "a count past the buffer stops at its end";
  EXPECT_FALSE(krv::Utf16Buffer::holding("abcd", 8).has_value());
  EXPECT_FALSE(krv::Utf16Buffer::holding("abcd", 9).has_value())
      << "the text and its NUL in whole characters";
  EXPECT_TRUE(krv::Utf16Buffer::holding("abc", 8).has_value());
  krv::Utf16Buffer full(6);
  std::fill(full.data(), full.data() + 3, u'x');
  EXPECT_EQ(full.text(), "xxx");
}

}  // namespace
