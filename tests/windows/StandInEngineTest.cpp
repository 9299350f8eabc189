// The copy-engine stand-in KRVCopyCtrl.dll, loaded as the manager loads it and called through its
// plain export names.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "automation/TestEnvironment.h"
#include "standins/engine/KRVCopyCtrl.h"
#include "windows/EngineExports.h"

namespace {

using namespace engine_exports;

constexpr const char* kExports[] = {"KRV_OpenSnapshots",    "KRV_CloseSnapshots",     "KRV_FindFirstSnapshot",
                                    "KRV_FindNextSnapshot", "KRV_SetSnapshotName",    "KRV_AnchoredFiles",
                                    "KRV_CheckAnchorList",  "KRV_CheckExcludedFiles", "KRV_Configuration",
                                    "KRV_LogMessage",       "KRV_ConvertTime",        "KRV_BrowseFolders",
                                    "KRV_ShowEditDialog"};

std::wstring libraryPath() {
  return automation::besideTests(L"KRVCopyCtrl.dll");
}

class StandInEngine : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(library_.loaded()) << "KRVCopyCtrl.dll is not beside the tests"; }

  std::vector<std::string> logLines() const {
    const auto log = automation::readFile(install_.masterLogPath());
    return log ? automation::splitLines(*log) : std::vector<std::string>{};
  }
  int log(const char* text) {
    std::string line(text);
    return library_.get(kLogMessage)(0, line.data());
  }
  int open() { return library_.get(kOpenSnapshots)(2500); }
  int close() { return library_.get(kCloseSnapshots)(2500); }

  automation::Installation install_;
  Library library_{libraryPath()};
};

long long secondsOf(const SYSTEMTIME& t) {
  FILETIME file;
  if (!SystemTimeToFileTime(&t, &file)) return -1;
  return ((static_cast<long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000000LL;
}

long long nowSeconds() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return secondsOf(now);
}

// Positions 1-19 as "mm/dd/yyyy hh:nn:ss", in seconds; -1 when they are not such a date.
long long logTime(const std::string& line) {
  const std::string pattern = "99/99/9999 99:99:99";
  if (line.size() < pattern.size()) return -1;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const bool digit = line[i] >= '0' && line[i] <= '9';
    if (pattern[i] == '9' ? !digit : line[i] != pattern[i]) return -1;
  }
  auto field = [&](std::size_t at, std::size_t length) {
    return static_cast<WORD>(std::atoi(line.substr(at, length).c_str()));
  };
  SYSTEMTIME t{};
  t.wMonth = field(0, 2);
  t.wDay = field(3, 2);
  t.wYear = field(6, 4);
  t.wHour = field(11, 2);
  t.wMinute = field(14, 2);
  t.wSecond = field(17, 2);
  return secondsOf(t);
}

TEST_F(StandInEngine, ExportsEveryFunctionUnderItsPlainName) {
  for (const char* name : kExports) EXPECT_NE(library_.address(name), nullptr) << name;
}

// ---- Master log -----------------------------------------------------------------------------

TEST_F(StandInEngine, LogsOneLineInTheViewersColumnsAndAppends) {
  const long long before = nowSeconds();
  EXPECT_EQ(log("Korvane Manager [Version 3.1.0.7]"), 0);
  EXPECT_EQ(log("Korvane Commandline /copy"), 0);
  const long long after = nowSeconds();

  const auto raw = automation::readFile(install_.masterLogPath());
  ASSERT_TRUE(raw.has_value()) << "the log and its folder are created";
  const auto lines = logLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(29), "Korvane Manager [Version 3.1.0.7]");
  EXPECT_EQ(lines[1].substr(29), "Korvane Commandline /copy") << "appended after the first";
  for (const std::string& line : lines) {
    const long long when = logTime(line);
    EXPECT_GE(when, before - 1) << line;
    EXPECT_LE(when, after + 1) << line;
    const int number = std::atoi(line.substr(24, 4).c_str());
    EXPECT_TRUE(number % 500 >= 400 && number % 500 <= 449) << "an advisory number: " << line;
    EXPECT_EQ(line.substr(24, 4).find_first_not_of("0123456789"), std::string::npos) << line;
    EXPECT_EQ(line[28], ' ');
  }
  EXPECT_EQ(raw->size(), lines[0].size() + lines[1].size() + 4) << "each line ends in CR LF";
  EXPECT_EQ(raw->substr(lines[0].size(), 2), "\r\n");
}

TEST_F(StandInEngine, ATextWithLineBreaksStaysOneLine) {
  EXPECT_EQ(log("first\r\nsecond\rthird\nfourth\r\n"), 0);
  const auto lines = logLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(29), "first  second third fourth  ");
}

TEST_F(StandInEngine, WritesAnsiBytesAsGivenAndNeverAnnouncesADetailLog) {
  EXPECT_EQ(log("Korvane\x99 caf\xE9"), 0);
  // At position 30, "[" would make the viewer read a detail log name from the text.
  EXPECT_EQ(log("[not a detail log]"), 0);
  EXPECT_EQ(log(""), 0);
  const auto lines = logLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(29), "Korvane\x99 caf\xE9");
  EXPECT_NE(lines[1][29], '[');
  EXPECT_EQ(lines[1].substr(30), "[not a detail log]");
  EXPECT_EQ(lines[2].size(), 29u) << "an empty text leaves the entry with an empty description";
}

TEST_F(StandInEngine, ANullLineLogsNothingAndFails) {
  EXPECT_EQ(library_.get(kLogMessage)(0, nullptr), krvengine::kInvalidArgument);
  EXPECT_FALSE(automation::fileExists(install_.masterLogPath()));
}

TEST_F(StandInEngine, ALogThatCannotBeWrittenIsAFailure) {
  // The install location names a file: no log folder can be made below it.
  const std::wstring file = install_.folder().make(L"not-a-folder");
  CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  automation::ServiceInfoLocation atFile(file);
  EXPECT_EQ(log("lost"), krvengine::kWriteFailed);
}

// ---- Install location -------------------------------------------------------------------------

// A copy of the library in a folder of its own, loaded from there: its own folder is the
// install location when the registry names none.
class StandInEngineCopy : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CopyFileW(libraryPath().c_str(), copyPath_.c_str(), FALSE));
    library_ = std::make_unique<Library>(copyPath_);
    ASSERT_TRUE(library_->loaded());
  }
  void TearDown() override { library_.reset(); }

  int log(const char* text) {
    std::string line(text);
    return library_->get(kLogMessage)(0, line.data());
  }
  std::wstring ownLog() const { return folder_.path() + L"\\$LOGS\\KRV.log"; }

  automation::TempFolder folder_;
  std::wstring copyPath_ = folder_.make(L"KRVCopyCtrlCopy.dll");
  std::unique_ptr<Library> library_;
};

TEST_F(StandInEngineCopy, WithoutARegisteredLocationUsesItsOwnFolder) {
  automation::ServiceInfoLocation removed(std::nullopt);
  EXPECT_EQ(log("no location"), 0);
  const auto log = automation::readFile(ownLog());
  ASSERT_TRUE(log.has_value());
  EXPECT_NE(log->find("no location"), std::string::npos);
}

TEST_F(StandInEngineCopy, ABlankLocationCountsAsNone) {
  automation::ServiceInfoLocation blank(L"   ");
  EXPECT_EQ(log("blank location"), 0);
  const auto log = automation::readFile(ownLog());
  ASSERT_TRUE(log.has_value());
  EXPECT_NE(log->find("blank location"), std::string::npos);
}

TEST_F(StandInEngineCopy, ARegisteredLocationWithTrailingBackslashAndSpacesIsUsed) {
  automation::TempFolder elsewhere;
  automation::ServiceInfoLocation padded(L"  " + elsewhere.path() + L"\\  ");
  EXPECT_EQ(log("registered"), 0);
  EXPECT_TRUE(automation::fileExists(elsewhere.path() + L"\\$LOGS\\KRV.log"));
  EXPECT_FALSE(automation::fileExists(ownLog()));
}

// ---- Snapshot set and the administrator -----------------------------------------------------

TEST_F(StandInEngine, OpeningAnswersNotAnAdministratorOnlyWhenTheStateSaysSo) {
  EXPECT_EQ(open(), 0) << "no state at all: an administrator";
  EXPECT_EQ(close(), 0);
  install_.setEngineState({"# a comment", "Administrator = NO"});
  EXPECT_EQ(open(), krv::kNotAdministrator) << "keys without regard to case, values trimmed";
  EXPECT_EQ(close(), 0) << "closing after a refused open still succeeds";
  ASSERT_TRUE(install_.engineState().set("administrator", "yes"));
  EXPECT_EQ(open(), 0) << "the state is read afresh at every call";
}

TEST_F(StandInEngine, TheStateCanForceTheAnswerOfAnExport) {
  install_.setEngineState({"result.KRV_OpenSnapshots=-103", "result.KRV_FindNextSnapshot=-201",
                           "result.KRV_LogMessage=-111", "result.KRV_CloseSnapshots=not a number"});
  EXPECT_EQ(open(), -103);
  EXPECT_EQ(close(), 0) << "a value that is not a number forces nothing";
  krv::SNAPSHOTINFO info{};
  EXPECT_EQ(library_.get(kFindNextSnapshot)(2500, &info), -201);
  EXPECT_EQ(log("forced"), -111);
  EXPECT_FALSE(automation::fileExists(install_.masterLogPath())) << "a forced answer does nothing else";
}

// ---- Null pointers and the exports not provided -------------------------------------------------

TEST_F(StandInEngine, NullPointersAreRefusedWithoutCrashing) {
  constexpr int kBad = krvengine::kInvalidArgument;
  char text[300] = "*";
  char reply[300];
  std::memset(reply, 'x', sizeof(reply));
  char16_t wide[521] = u"C:\\";
  krv::SNAPSHOTINFO info{};
  int a = 0, b = 0, c = 0, d = 0, e = 0;

  ASSERT_EQ(open(), 0);
  EXPECT_EQ(library_.get(kFindFirstSnapshot)(2500, nullptr, &info), kBad);
  EXPECT_EQ(library_.get(kFindFirstSnapshot)(2500, text, nullptr), kBad);
  EXPECT_EQ(library_.get(kFindNextSnapshot)(2500, nullptr), kBad);
  EXPECT_EQ(library_.get(kSetSnapshotName)(2500, 1, nullptr), kBad);
  EXPECT_EQ(close(), 0);
  EXPECT_EQ(library_.get(kAnchoredFiles)(5000, nullptr), kBad);
  EXPECT_EQ(library_.get(kCheckAnchorList)(5000, nullptr, reply), kBad);
  EXPECT_EQ(library_.get(kCheckAnchorList)(5000, text, nullptr), kBad);
  EXPECT_EQ(library_.get(kCheckExcludedFiles)(nullptr, reply), kBad);
  EXPECT_EQ(library_.get(kCheckExcludedFiles)(wide, nullptr), kBad);
  EXPECT_EQ(library_.get(kConfiguration)(8000, nullptr, reply), kBad);
  EXPECT_EQ(library_.get(kConfiguration)(8000, text, nullptr), kBad);
  EXPECT_EQ(library_.get(kConvertTime)(0, nullptr, &b, &c, &d, &e, &a), kBad);
  EXPECT_EQ(library_.get(kBrowseFolders)(wide, nullptr, nullptr), kBad);
  EXPECT_EQ(library_.get(kShowEditDialog)(wide, nullptr, nullptr, sizeof(wide)), kBad);
  EXPECT_EQ(library_.get(kShowEditDialog)(wide, nullptr, wide, 0), kBad);
  char16_t unterminated[8];
  std::fill(std::begin(unterminated), std::end(unterminated), u'x');
  EXPECT_EQ(library_.get(kShowEditDialog)(wide, nullptr, unterminated, sizeof(unterminated)), kBad)
      << "a text without its NUL in the buffer is not shown";

  EXPECT_EQ(std::string(reply, sizeof(reply)), std::string(sizeof(reply), 'x')) << "no buffer is written";
  EXPECT_EQ(info.number, 0);
  EXPECT_STREQ(text, "*");
}

}  // namespace
