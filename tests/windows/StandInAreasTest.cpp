// The engine stand-in's areas, anchored and exclusion lists and time conversion, through its plain
// exports, and the command tool stand-in running its tasks on those areas.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"
#include "standins/engine/KRVCopyCtrl.h"
#include "standins/engine/Lists.h"
#include "windows/EngineExports.h"

namespace {

using namespace engine_exports;

struct Listed {
  int number;
  std::string name;
  int lastUpdate;
  int lastBoot;
  int sizeKB;
};

class StandInAreas : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(library_.loaded()); }

  template <typename Fn>
  Fn get(const krv::exports::Export<Fn>& which) const {
    return library_.get(which);
  }
  // Every area the pattern finds, with the code that ended the listing.
  std::vector<Listed> list(const char* pattern = "*", int* end = nullptr) {
    std::vector<Listed> found;
    EXPECT_EQ(get(kOpenSnapshots)(2500), 0);
    std::string text = pattern;
    krv::SNAPSHOTINFO info;
    std::memset(&info, 0x55, sizeof(info));
    int result = get(kFindFirstSnapshot)(2500, text.data(), &info);
    while (result == 0) {
      EXPECT_NE(std::memchr(info.name, '\0', sizeof(info.name)), nullptr);
      found.push_back({info.number, info.name, info.lastUpdate, info.lastBoot, info.sizeKB});
      result = get(kFindNextSnapshot)(2500, &info);
    }
    if (end) *end = result;
    get(kCloseSnapshots)(2500);
    return found;
  }
  int rename(int number, const std::string& name) {
    get(kOpenSnapshots)(2000);
    std::string text = name;
    const int result = get(kSetSnapshotName)(2000, number, text.data());
    get(kCloseSnapshots)(2000);
    return result;
  }
  int setAnchored(const std::string& list) {
    std::vector<char> buffer(list.begin(), list.end());
    buffer.resize(std::max<std::size_t>(buffer.size() + 1, 960), '\0');
    return get(kAnchoredFiles)(5000, buffer.data());
  }
  std::string anchored() {
    char buffer[1024] = {};
    EXPECT_EQ(get(kAnchoredFiles)(5000, buffer), 0);
    return buffer;
  }
  int checkAnchored(const std::string& list, std::string* explanation = nullptr) {
    std::string text = list;
    char buffer[960];
    std::memset(buffer, 'x', sizeof(buffer));
    const int result = get(kCheckAnchorList)(5000, text.data(), buffer);
    EXPECT_NE(std::memchr(buffer, '\0', sizeof(buffer)), nullptr);
    if (explanation) *explanation = buffer;
    return result;
  }
  int checkExcluded(const std::wstring& list, std::string* explanation = nullptr) {
    std::u16string text(list.begin(), list.end());
    char buffer[200];
    std::memset(buffer, 'x', sizeof(buffer));
    const int result = get(kCheckExcludedFiles)(text.data(), buffer);
    EXPECT_NE(std::memchr(buffer, '\0', sizeof(buffer)), nullptr);
    if (explanation) *explanation = buffer;
    return result;
  }
  // A folder below the installation that exists, by its ANSI path.
  std::string folder(const std::wstring& relative) {
    // Making a file's path below it creates the folder.
    install_.folder().make(relative + L"\\file");
    return automation::toUtf8(install_.path() + L"\\" + relative);
  }

  automation::Installation install_;
  Library library_{automation::besideTests(L"KRVCopyCtrl.dll")};
};

TEST_F(StandInAreas, AFreshInstallHoldsTheOriginalAreaRunningAsNumberZero) {
  int end = 0;
  const auto areas = list("*", &end);
  EXPECT_EQ(end, krv::kEndOfListing);
  ASSERT_EQ(areas.size(), 1u);
  EXPECT_EQ(areas[0].number, 0);
  EXPECT_EQ(areas[0].name, "ORIGINAL");
  EXPECT_EQ(areas[0].lastUpdate, 0) << "never copied";
  EXPECT_GT(areas[0].lastBoot, 0);
  EXPECT_GT(areas[0].sizeKB, 0) << "the space used on its drive";

  krv::SNAPSHOTINFO info{};
  std::string all = "*";
  EXPECT_EQ(get(kFindFirstSnapshot)(7777, all.data(), &info), krvengine::kNotOpen)
      << "listing needs an open snapshot set";
}

TEST_F(StandInAreas, ListsOneAreaByItsExactNameOrNone) {
  install_.setEngineState(
      {"areas=2", "area.1=0|100|200|5000|Original Area", "area.2=1|300|0|4000|Rescue Area"});
  EXPECT_EQ(list("*").size(), 2u);
  const auto rescue = list("rescue area");
  ASSERT_EQ(rescue.size(), 1u) << "names compare without regard to case";
  EXPECT_EQ(rescue[0].number, 1);
  EXPECT_EQ(rescue[0].lastUpdate, 300);
  EXPECT_EQ(rescue[0].sizeKB, 4000);
  int end = 0;
  EXPECT_TRUE(list("Rescue", &end).empty()) << "a part of a name is not the name";
  EXPECT_EQ(end, krv::kEndOfListing);
}

TEST_F(StandInAreas, RenamingChecksTheNameAndKeepsItUnique) {
  install_.setEngineState({"areas=2", "area.1=0|0|0|5000|ORIGINAL", "area.2=1|0|0|0|BACKUP"});
  EXPECT_EQ(rename(0, "Original Area"), 0);
  EXPECT_EQ(rename(1, "original area"), -203) << "the other area's name";
  EXPECT_EQ(rename(1, "Say \"cheese\""), -207);
  EXPECT_EQ(rename(1, "What?"), -207);
  EXPECT_EQ(rename(1, std::string(36, 'n')), -207);
  EXPECT_EQ(rename(1, ""), -207);
  EXPECT_EQ(rename(7, "Nowhere"), -205);
  EXPECT_EQ(rename(0, "original AREA"), 0) << "an area may change the case of its own name";
  const auto areas = list();
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ(areas[0].name, "original AREA");
  EXPECT_EQ(areas[1].name, "BACKUP");

  std::string name = "Unopened";
  EXPECT_EQ(get(kSetSnapshotName)(4444, 0, name.data()), krvengine::kNotOpen);
}

TEST_F(StandInAreas, KeepsTheAnchoredListItAccepts) {
  EXPECT_EQ(anchored(), "");
  const std::string data = folder(L"Data");
  const std::string photos = folder(L"Photos");
  EXPECT_EQ(setAnchored(data + ";" + photos), 0);
  EXPECT_EQ(anchored(), data + ";" + photos);
  EXPECT_EQ(setAnchored(";"), 0) << "the empty list";
  EXPECT_EQ(anchored(), ";");

  const std::string inner = folder(L"Data\\Inner");
  EXPECT_EQ(setAnchored(data + ";" + inner), krvengine::kNestedEntry);
  EXPECT_EQ(setAnchored(std::string(960, 'C')), krv::kListTooLong) << "never cut";
  EXPECT_EQ(anchored(), ";") << "a refused list changes nothing";
}

TEST_F(StandInAreas, ChecksAnchoredListsWithAnExplanation) {
  const std::string data = folder(L"Data");
  const std::string docs = folder(L"Doc");
  const std::string documents = folder(L"Documents");
  std::string why;
  EXPECT_EQ(checkAnchored(data + " ; " + docs + ";;", &why), 0);
  EXPECT_EQ(why, "");
  EXPECT_EQ(checkAnchored(docs + ";" + documents), 0) << "siblings sharing a beginning are not nested";
  EXPECT_EQ(checkAnchored(data + ";" + data + "\\", &why), krvengine::kDuplicateEntry);
  EXPECT_NE(why.find(data), std::string::npos) << why;
  EXPECT_EQ(checkAnchored(data + "\\Missing", &why), krvengine::kPathNotFound);
  EXPECT_EQ(why, "Anchored path not found: " + data + "\\Missing");
  EXPECT_EQ(checkAnchored(data + ";" + automation::toUtf8(install_.path())), krvengine::kNestedEntry);
  EXPECT_EQ(checkAnchored("Data"), krvengine::kInvalidEntry) << "not a full path";
  EXPECT_EQ(checkAnchored("C:\\caf?"), krvengine::kInvalidEntry)
      << "what a character without ANSI form becomes";
  std::string many;
  for (int i = 0; i < 33; ++i) many += "C:\\windows;";
  EXPECT_EQ(checkAnchored(many), krvengine::kTooManyEntries);
  EXPECT_EQ(checkAnchored(std::string(1500, 'C'), &why), krv::kListTooLong);
}

TEST_F(StandInAreas, ChecksExclusionListsWithinTheSmallestExplanationBuffer) {
  std::string why = "unset";
  EXPECT_EQ(checkExcluded(L"C:\\pagefile.sys;C:\\Temp\\*.tmp;C:\\Caf\u00e9", &why), 0);
  EXPECT_EQ(why, "");
  EXPECT_EQ(checkExcluded(L"C:\\Temp;c:\\temp"), krvengine::kDuplicateEntry);
  struct Case {
    const wchar_t* list;
    int result;
  };
  for (const Case& c :
       {Case{L"*.tmp;\\\\server\\share\\x;\"C:\\a;b\";C:\\c", 0}, Case{L";", 0}, Case{L"C:\\a;", 0},
        Case{L"C:\\a|b", krvengine::kInvalidEntry}, Case{L"C:\\a;;C:\\b", krvengine::kInvalidEntry},
        Case{L"C:\\a; ;C:\\b", krvengine::kInvalidEntry}, Case{L"Temp\\x", krvengine::kInvalidEntry},
        Case{L"C:temp", krvengine::kInvalidEntry}, Case{L"C:\\a:b", krvengine::kInvalidEntry},
        Case{L"C:\\a\tb", krvengine::kInvalidEntry}}) {
    EXPECT_EQ(checkExcluded(c.list, &why), c.result) << automation::toUtf8(c.list);
    EXPECT_EQ(why.empty(), c.result == 0) << why;
  }
  std::wstring many;
  for (int i = 0; i < 33; ++i) many += L"C:\\file" + std::to_wstring(i) + L";";
  EXPECT_EQ(checkExcluded(many), krvengine::kTooManyEntries);
  const std::wstring longName = L"C:\\" + std::wstring(220, L'x');
  EXPECT_EQ(checkExcluded(longName + L";" + longName, &why), krvengine::kDuplicateEntry);
  EXPECT_EQ(why.size(), 199u) << "the explanation is cut to the 200-byte buffer";
}

TEST_F(StandInAreas, ConvertsEngineTimesToLocalDates) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  const auto convert = get(kConvertTime);
  // 1 July 2024 12:00:00 UTC, seen in the local time zone.
  ASSERT_EQ(convert(1719835200L, &y, &mo, &d, &h, &mi, &s), 0);
  SYSTEMTIME utc{2024, 7, 1, 1, 12, 0, 0, 0}, local;
  ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
  EXPECT_EQ(y, local.wYear);
  EXPECT_EQ(mo, local.wMonth);
  EXPECT_EQ(d, local.wDay);
  EXPECT_EQ(h, local.wHour);
  EXPECT_EQ(mi, 0);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(convert(0, &y, &mo, &d, &h, &mi, nullptr), krvengine::kInvalidArgument);
}

// ---- The command tool ----------------------------------------------------------------------------

class StandInCommandTool : public testing::Test {
 protected:
  void SetUp() override {
    install_.setEngineState({"areas=1", "area.1=0|0|1000|5000|Original Area", "cmd.durationms=400"});
  }
  automation::Program run(const std::wstring& arguments) {
    return automation::Program(automation::besideTests(L"KRVCmd.exe"), arguments);
  }
  std::optional<DWORD> copyResult() const {
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellora\\Korvane\\ServiceInfo", L"CopyResult",
                     RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
      return std::nullopt;
    return value;
  }
  std::vector<std::string> masterLines() const {
    const auto text = automation::readFile(install_.masterLogPath());
    return text ? automation::splitLines(*text) : std::vector<std::string>{};
  }
  std::vector<std::string> detailLines(const std::string& name) const {
    const auto text =
        automation::readFile(install_.path() + L"\\$LOGS\\" + automation::toWide(name) + L".log");
    return text ? automation::splitLines(*text) : std::vector<std::string>{};
  }
  std::string areasState() const { return install_.engineState().get("area.2", "none"); }

  automation::Installation install_;
};

// The titles of the visible windows of the process, polled until it ends.
std::vector<std::string> titlesWhileRunning(automation::Program& program) {
  std::vector<std::string> titles;
  for (int i = 0; i < 400 && program.running(); ++i) {
    for (HWND window : automation::visibleWindowsOf(program.id())) {
      const std::string title = automation::windowText(window);
      if (titles.empty() || titles.back() != title) titles.push_back(title);
    }
    Sleep(10);
  }
  return titles;
}

TEST_F(StandInCommandTool, AnUnattendedCopyCreatesTheRescueAreaAndStoresItsOutcome) {
  auto copy = run(L"\"#Copy/Update\" COPY \"Original Area\" \"Rescue Area\"");
  ASSERT_TRUE(copy.started());
  const auto titles = titlesWhileRunning(copy);
  EXPECT_EQ(copy.waitForExit(10000), 0u);
  ASSERT_FALSE(titles.empty());
  int percentTitles = 0;
  for (const std::string& title : titles) {
    // A window being created or destroyed has no text to read yet or any more.
    if (title.empty() || title == "Copy/Update") continue;
    const std::size_t percent = title.find("% Copy/Update");
    ASSERT_NE(percent, std::string::npos) << "\"" << title << "\"";
    const int n = std::atoi(title.substr(0, percent).c_str());
    EXPECT_TRUE(n >= 1 && n <= 100) << title;
    ++percentTitles;
  }
  EXPECT_GT(percentTitles, 0) << "the progress shows in the title";
  const std::int32_t now = static_cast<std::int32_t>(time(nullptr));
  const std::string rescue = areasState();
  EXPECT_EQ(rescue.substr(0, 2), "1|") << rescue;
  const std::int32_t updated = std::atoi(rescue.substr(2).c_str());
  EXPECT_LE(std::abs(now - updated), 60) << rescue;
  EXPECT_NE(rescue.find("|5000|Rescue Area"), std::string::npos) << "the source's size: " << rescue;
  EXPECT_EQ(copyResult(), 0u);
  EXPECT_EQ(install_.engineState().get("cmd.commandline"),
            "\"" + automation::toUtf8(automation::besideTests(L"KRVCmd.exe")) +
                "\" \"#Copy/Update\" COPY \"Original Area\" \"Rescue Area\"")
      << "the command line is kept as received";

  const auto master = masterLines();
  ASSERT_EQ(master.size(), 1u);
  EXPECT_EQ(master[0][29], '[');
  EXPECT_EQ(master[0].substr(38), "]Copy/Update Original Area to Rescue Area: completed");
  const auto details = detailLines(master[0].substr(30, 8));
  ASSERT_GE(details.size(), 3u);
  EXPECT_EQ(details.back().substr(23), " Completed");
}

TEST_F(StandInCommandTool, AnAttendedCopyTellsItsOutcomeAndUpdatesTheExistingArea) {
  install_.setEngineState(
      {"areas=2", "area.1=0|0|0|7000|Original Area", "area.2=1|5|6|10|Rescue Area", "cmd.durationms=300"});
  auto copy = run(L"\"Copy/Update\" COPY \"Original Area\" \"rescue area\" EXCLUDE C:\\a b;C:\\c");
  const HWND box = automation::waitForMessageBoxOf(copy.id(), 10000);
  ASSERT_NE(box, nullptr);
  const auto contents = automation::readBox(box);
  EXPECT_EQ(contents.title, "Copy/Update");
  ASSERT_FALSE(contents.texts.empty());
  EXPECT_EQ(contents.texts[0], "Copy/Update completed.");
  ASSERT_TRUE(automation::pressButton(box, "OK"));
  EXPECT_EQ(copy.waitForExit(10000), 0u);
  EXPECT_EQ(areasState().substr(0, 2), "1|");
  EXPECT_NE(areasState().find("|6|7000|Rescue Area"), std::string::npos) << areasState();
  const auto master = masterLines();
  ASSERT_EQ(master.size(), 1u);
  const auto details = detailLines(master[0].substr(30, 8));
  bool listed = false;
  for (const auto& line : details)
    listed = listed || line.find("Excluded: C:\\a b;C:\\c") != std::string::npos;
  EXPECT_TRUE(listed) << "the exclusion list is the rest of the line, spaces kept";
}

TEST_F(StandInCommandTool, AFailedCopyStoresTheEnginesCodeAndLogsAnError) {
  ASSERT_TRUE(install_.engineState().set("cmd.result", "-109"));
  auto copy = run(L"\"#Copy/Update\" COPY \"Original Area\" \"Rescue Area\"");
  EXPECT_EQ(copy.waitForExit(10000), static_cast<DWORD>(-109));
  EXPECT_EQ(copyResult(), static_cast<DWORD>(-109));
  EXPECT_EQ(areasState(), "none");
  const auto master = masterLines();
  ASSERT_EQ(master.size(), 2u);
  EXPECT_EQ(master[1].substr(24, 4), "0111");
  EXPECT_EQ(master[1].substr(29), "Copy/Update Original Area to Rescue Area failed with code -109");
}

TEST_F(StandInCommandTool, CopyRefusesInvalidAndRunningDestinations) {
  auto bad = run(L"\"#Copy/Update\" COPY \"Original Area\" \"Back*up\"");
  EXPECT_EQ(bad.waitForExit(10000), static_cast<DWORD>(-207));
  EXPECT_EQ(copyResult(), static_cast<DWORD>(-207));
  auto self = run(L"\"#Copy/Update\" COPY \"Original Area\" \"Original Area\"");
  EXPECT_EQ(self.waitForExit(10000), static_cast<DWORD>(-127));
  auto missing = run(L"\"#Copy/Update\" COPY \"Nowhere\" \"Rescue Area\"");
  EXPECT_EQ(missing.waitForExit(10000), static_cast<DWORD>(-205));
  EXPECT_EQ(areasState(), "none");
}

TEST_F(StandInCommandTool, SizeAndRemoveChangeTheAreaTheyName) {
  install_.setEngineState(
      {"areas=2", "area.1=0|0|0|1|Original Area", "area.2=1|5|6|10|Rescue Area", "cmd.durationms=200"});
  auto size = run(L"\"#Calculate\" SIZE \"Original Area\"");
  EXPECT_EQ(size.waitForExit(10000), 0u);
  const std::string original = install_.engineState().get("area.1", "");
  EXPECT_EQ(original.find("0|0|0|1|"), std::string::npos) << "a size was calculated: " << original;

  auto running = run(L"\"#Korvane Remove Snapshot\" REMOVE \"Original Area\"");
  EXPECT_EQ(running.waitForExit(10000), static_cast<DWORD>(-125)) << "the running area stays";
  auto remove = run(L"\"#Korvane Remove Snapshot\" REMOVE \"Rescue Area\"");
  EXPECT_EQ(remove.waitForExit(10000), 0u);
  EXPECT_EQ(install_.engineState().get("areas"), "1");
  EXPECT_EQ(areasState(), "none");
  EXPECT_FALSE(copyResult() && *copyResult() == 12345u);
}

TEST_F(StandInCommandTool, AnUnknownCommandLineShowsItsUsageAndEndsWithTwo) {
  auto wrong = run(L"\"#Copy/Update\" DUPLICATE \"Original Area\"");
  const HWND box = automation::waitForMessageBoxOf(wrong.id(), 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(automation::readBox(box).title, "KRVCmd");
  automation::pressButton(box, "OK");
  EXPECT_EQ(wrong.waitForExit(10000), 2u);
  EXPECT_TRUE(masterLines().empty());
}

}  // namespace
