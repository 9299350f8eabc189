// The stand-ins' state file: what tests and scripts write to set a scene, and what the stand-ins
// read and update.

#include <windows.h>

#include <gtest/gtest.h>

#include "automation/TestEnvironment.h"
#include "standins/common/StateFile.h"

namespace {

class StandInState : public testing::Test {
 protected:
  std::wstring path() const { return folder_.path() + L"\\$ENGINE\\state.txt"; }
  void write(const std::string& bytes) const {
    HANDLE file = CreateFileW(folder_.make(L"$ENGINE\\state.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  std::string contents() const { return automation::readFile(path()).value_or("<missing>"); }

  automation::TempFolder folder_;
  standin::StateFile state_ = standin::StateFile::engine(folder_.path());
};

TEST_F(StandInState, AMissingFileHoldsNothing) {
  EXPECT_TRUE(state_.entries().empty());
  EXPECT_EQ(state_.get("administrator"), std::nullopt);
  EXPECT_EQ(state_.get("administrator", "yes"), "yes");
  EXPECT_FALSE(state_.isNo("administrator"));
  EXPECT_TRUE(state_.remove("administrator"));
  EXPECT_FALSE(automation::fileExists(path())) << "removing from nothing writes nothing";
}

TEST_F(StandInState, ReadsKeysWithoutRegardToCaseIgnoringCommentsAndOddLines) {
  write(
      "# the scene\r\n  Area.1.Name =  Original Area  \nno equals sign here\r\n=orphan value\rCOUNT=-12\n"
      "area.1.name=shadowed\r\nflag=Off");
  const auto entries = state_.entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], (std::pair<std::string, std::string>{"Area.1.Name", "Original Area"}));
  EXPECT_EQ(state_.get("AREA.1.NAME"), "Original Area") << "the first line of a key counts";
  EXPECT_EQ(state_.number("count"), -12);
  EXPECT_TRUE(state_.isNo("flag"));
  EXPECT_EQ(state_.get(""), std::nullopt);
}

TEST_F(StandInState, ASnapshotAnswersFromOneReadAndWritesOverTheFileAsItIsNow) {
  write("a=1\r\n");
  standin::StateFile held = state_.snapshot();
  write("a=2\r\nb=3\r\n");
  EXPECT_EQ(held.get("a"), "1") << "read once";
  EXPECT_EQ(held.get("b"), std::nullopt);
  EXPECT_EQ(state_.get("a"), "2") << "a plain state file reads afresh";
  ASSERT_TRUE(held.set("c", "4"));
  EXPECT_EQ(contents(), "a=2\r\nb=3\r\nc=4\r\n") << "the write starts from the file, not from what was held";
  EXPECT_EQ(held.get("b"), "3") << "after its write the snapshot reads afresh";
}

TEST_F(StandInState, NumbersMustBeWholeDecimalNumbers) {
  write("a=42\r\nb=+7\r\nc=4x\r\nd=\r\ne=-\r\nf= 5 \r\n");
  EXPECT_EQ(state_.number("a"), 42);
  EXPECT_EQ(state_.number("b"), 7);
  EXPECT_EQ(state_.number("c"), std::nullopt);
  EXPECT_EQ(state_.number("d"), std::nullopt);
  EXPECT_EQ(state_.number("e"), std::nullopt);
  EXPECT_EQ(state_.number("f"), 5) << "outer spaces are not part of the value";
  EXPECT_EQ(state_.number("missing"), std::nullopt);
}

TEST_F(StandInState, SettingCreatesTheFileAndKeepsEveryOtherLine) {
  ASSERT_TRUE(state_.set("administrator", "no"));
  EXPECT_EQ(contents(), "administrator=no\r\n") << "the folder and the file are created";

  write("# keep me\r\nAdministrator=no\r\nother=1\r\nadministrator=again\r\n");
  ASSERT_TRUE(state_.set(" administrator ", " yes "));
  EXPECT_EQ(contents(), "# keep me\r\nadministrator=yes\r\nother=1\r\n")
      << "the key's line is replaced in place; a later line of the same key goes";
  ASSERT_TRUE(state_.set("new", ""));
  EXPECT_EQ(state_.get("new"), "");
  EXPECT_FALSE(automation::fileExists(path() + L".new")) << "no temporary file is left behind";
}

TEST_F(StandInState, RefusesWhatWouldBreakTheFormat) {
  ASSERT_TRUE(state_.set("name", "value"));
  EXPECT_FALSE(state_.set("", "x"));
  EXPECT_FALSE(state_.set("a=b", "x"));
  EXPECT_FALSE(state_.set("line\nbreak", "x"));
  EXPECT_FALSE(state_.set("name", "two\r\nlines"));
  EXPECT_EQ(contents(), "name=value\r\n") << "a refused change writes nothing";
}

TEST_F(StandInState, RemovingTakesEveryLineOfTheKey) {
  write("a=1\r\n# note\r\nA=2\r\nb=3\r\n");
  ASSERT_TRUE(state_.remove("a"));
  EXPECT_EQ(contents(), "# note\r\nb=3\r\n");
}

}  // namespace
