// The snapshot table: loading it from the engine, deciding the running area, naming factory-named
// areas, renaming and engine times.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/ManagerFixture.h"

namespace {

using Calls = std::vector<std::string>;
using fakes::snapshot;

class SnapshotTableTest : public ManagerFixture {
 protected:
  SnapshotTableTest() { install(); }
  const krv::SnapshotTable& table() { return snapshots.table(); }
};

TEST_F(SnapshotTableTest, LoadReadsTheFoldersThePreBootStateTheAreasTheLastBootAndTheAnchoredList) {
  engine.answer("preboot", "Enabled");
  engine.answer("lastboot", "12/31/2023 23:59:59");
  engine.anchoredList = "  C:\\Data;C:\\Mail  ";
  engine.snapshots = {snapshot(0, "  Original Area  ", 4096, 100, 200),
                      snapshot(1, "Rescue Area", -1, 300, 0)};

  EXPECT_EQ(snapshots.LoadSnapshotTable(), 0);
  EXPECT_EQ(engine.calls, (Calls{"KRV_OpenSnapshots(2500)", "KRV_Configuration(8000, preboot)",
                                 "KRV_FindFirstSnapshot(2500, *)", "KRV_FindNextSnapshot(2500)",
                                 "KRV_FindNextSnapshot(2500)", "KRV_CloseSnapshots(2500)",
                                 "KRV_Configuration(8000, lastboot)", "KRV_AnchoredFiles(5000, )"}));
  EXPECT_EQ(table().engineStatus, krv::EngineStatus::Opened);
  EXPECT_EQ(table().installLocation, testsupport::kLocation);
  EXPECT_EQ(table().programFolder, "C:\\Program Files\\Korvane\\") << "a backslash is added";
  EXPECT_TRUE(table().preBootEnabled);
  EXPECT_EQ(table().lastBootDate, (classic::DateTime{2023, 12, 31, 23, 59, 59}));
  EXPECT_EQ(table().anchoredList, "C:\\Data;C:\\Mail");
  ASSERT_EQ(table().count, 2);
  EXPECT_EQ(table().entry(1), (krv::SnapshotEntry{0, "Original Area", 100, 200, 4096}));
  EXPECT_EQ(table().entry(2), (krv::SnapshotEntry{1, "Rescue Area", 300, 0, -1}));
  EXPECT_EQ(table().entry(3), krv::SnapshotEntry{});
  ASSERT_FALSE(engine.anchoredCalls.empty());
  if (engine.anchoredCalls[0].capacity != 0) {
    EXPECT_EQ(engine.anchoredCalls[0].capacity, 1024u);
  }
}

TEST_F(SnapshotTableTest, AProgramFolderKeepsItsBackslashAndAnEmptyOneStaysEmpty) {
  registry.putText(krv::kAppPathsKey, "Path", "D:\\Tools\\");
  snapshots.LoadSnapshotTable();
  EXPECT_EQ(table().programFolder, "D:\\Tools\\");
  registry.putText(krv::kAppPathsKey, "Path", "   ");
  snapshots.LoadSnapshotTable();
  EXPECT_EQ(table().programFolder, "");
}

TEST_F(SnapshotTableTest, ABlankInstallLocationIsReportedAndLeavesTheTableNotLoaded) {
  engine.snapshots = {snapshot(0, "Original Area")};
  snapshots.LoadSnapshotTable();
  registry.putText(krv::kServiceInfoKey, "Location", "  ");
  engine.calls.clear();
  toolkit.expectBox();
  EXPECT_EQ(snapshots.LoadSnapshotTable(), 0);
  EXPECT_TRUE(fakes::showedOneBox(toolkit.shown, {"Unable to read the ServiceInfo Key", "Korvane Error",
                                                  ui::Buttons::OK, ui::Icon::Critical}));
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_EQ(table().engineStatus, krv::EngineStatus::NotLoaded);
  EXPECT_EQ(table().count, 0) << "the earlier load's areas are gone";
  EXPECT_EQ(table().entry(1), krv::SnapshotEntry{});
}

TEST_F(SnapshotTableTest, AFailedOpenLeavesTheStatusAtLoadingAndClosesTheSet) {
  engine.openResult = -103;
  EXPECT_EQ(snapshots.LoadSnapshotTable(), -103);
  EXPECT_EQ(table().engineStatus, krv::EngineStatus::Loading);
  EXPECT_EQ(engine.calls, (Calls{"KRV_OpenSnapshots(2500)", "KRV_CloseSnapshots(2500)"}));
}

TEST_F(SnapshotTableTest, AListingThatFailsKeepsTheAreasReadSoFarAndReturnsTheCode) {
  engine.answer("preboot", "Error");
  engine.snapshots = {snapshot(0, "Original Area")};
  engine.listingEnd = -107;
  EXPECT_EQ(snapshots.LoadSnapshotTable(), -107);
  EXPECT_EQ(table().engineStatus, krv::EngineStatus::Opened);
  EXPECT_FALSE(table().preBootEnabled);
  EXPECT_EQ(table().count, 1);
  EXPECT_EQ(table().entry(1).name, "Original Area");
  EXPECT_EQ(engine.calls.back(), "KRV_CloseSnapshots(2500)");
  EXPECT_TRUE(engine.anchoredCalls.empty());
}

TEST_F(SnapshotTableTest, AFailedAnchoredListReadReturnsItsCodeAndKeepsTheOldList) {
  engine.anchoredList = "C:\\Old";
  snapshots.LoadSnapshotTable();
  engine.anchoredReadResult = -105;
  engine.anchoredList = "C:\\New";
  engine.calls.clear();
  EXPECT_EQ(snapshots.LoadSnapshotTable(), -105);
  EXPECT_EQ(table().anchoredList, "C:\\Old");
  EXPECT_EQ(engine.calls.back(), "KRV_CloseSnapshots(2500)");
}

TEST_F(SnapshotTableTest, AnEngineListingMoreThanTenAreasIsNotAskedForMore) {
  for (int i = 0; i < 12; ++i) engine.snapshots.push_back(snapshot(i, "Area " + std::to_string(i)));
  EXPECT_EQ(snapshots.LoadSnapshotTable(), 0);
  EXPECT_EQ(table().count, 10);
  EXPECT_EQ(table().entry(10).name, "Area 9");
  int next = 0;
  for (const std::string& call : engine.calls) next += call == "KRV_FindNextSnapshot(2500)";
  EXPECT_EQ(next, 9);
}

TEST_F(SnapshotTableTest, UnterminatedEngineTextsAreReadNoFurtherThanTheirBuffers) {
  // A name filling all 36 bytes, and an anchored list filling all 1024, both without a NUL.
  engine.snapshots = {snapshot(0, std::string(36, 'N'))};
  engine.anchoredList = std::string(1024, 'A');
  engine.anchoredUnterminated = true;
  EXPECT_EQ(snapshots.LoadSnapshotTable(), 0);
  EXPECT_EQ(table().entry(1).name, std::string(35, 'N')) << "a name has at most 35 characters";
  EXPECT_EQ(table().anchoredList, std::string(1024, 'A'));
}

TEST_F(SnapshotTableTest, TheRunningAreaIsTheFirstOrSecondEntryNumberedZero) {
  engine.snapshots = {snapshot(0, "Original Area")};
  load();
  EXPECT_EQ(table().currentArea, 1);
  EXPECT_EQ(table().otherArea, 2);
  EXPECT_EQ(table().other().sizeKB, 0) << "no Rescue Area yet";

  engine.snapshots = {snapshot(1, "Original Area"), snapshot(0, "Rescue Area")};
  load();
  EXPECT_EQ(table().currentArea, 2);
  EXPECT_EQ(table().otherArea, 1);
  EXPECT_EQ(table().current().name, "Rescue Area");

  engine.snapshots.clear();
  load();
  EXPECT_EQ(table().currentArea, 1) << "an empty table";
}

TEST_F(SnapshotTableTest, NeitherOfTheFirstTwoAreasRunningEndsTheProgram) {
  engine.snapshots = {snapshot(1, "Original Area"), snapshot(2, "Rescue Area"), snapshot(0, "Third")};
  snapshots.LoadSnapshotTable();
  toolkit.expectBox();
  EXPECT_EQ(exitCodeOf([&] { snapshots.DetermineActiveBackup(); }), 1);
  EXPECT_TRUE(fakes::showedOneBox(
      toolkit.shown, {".DetermineActiveBackup", "Error - Korvane", ui::Buttons::OK, ui::Icon::Critical}));
}

TEST_F(SnapshotTableTest, NameAreasGivesFactoryNamedAreasTheirDisplayNamesAndAnchorsOnce) {
  engine.snapshots = {snapshot(0, "ORIGINAL"), snapshot(1, "Snapshot2")};
  load();
  engine.calls.clear();
  int anchored = 0;
  snapshots.NameAreas([&] {
    ++anchored;
    engine.calls.push_back("anchoring");
  });
  EXPECT_EQ(anchored, 1);
  EXPECT_EQ(engine.calls,
            (Calls{"KRV_OpenSnapshots(2000)", "KRV_FindFirstSnapshot(2000, Original Area)",
                   "KRV_SetSnapshotName(2000, 0, Original Area)", "KRV_CloseSnapshots(2000)", "anchoring",
                   "KRV_OpenSnapshots(2000)", "KRV_FindFirstSnapshot(2000, Rescue Area)",
                   "KRV_SetSnapshotName(2000, 1, Rescue Area)", "KRV_CloseSnapshots(2000)"}));
  EXPECT_EQ(table().current().name, "Original Area");
  EXPECT_EQ(table().other().name, "Rescue Area");

  // Named now: nothing happens at the next start.
  load();
  engine.calls.clear();
  snapshots.NameAreas([&] { ++anchored; });
  EXPECT_EQ(anchored, 1);
  EXPECT_TRUE(engine.calls.empty());
}

TEST_F(SnapshotTableTest, NameAreasComparesFactoryNamesExactlyAndAnchorsEvenWhenTheRenameFails) {
  engine.snapshots = {snapshot(0, "Snapshot1"), snapshot(1, "backup")};
  load();
  engine.renameResult = -215;
  int anchored = 0;
  snapshots.NameAreas([&] { ++anchored; });
  EXPECT_EQ(anchored, 1);
  EXPECT_EQ(table().current().name, "Snapshot1") << "the failed rename keeps the name";
  EXPECT_EQ(table().other().name, "backup");
  for (const std::string& call : engine.calls) EXPECT_EQ(call.find("Rescue Area"), std::string::npos) << call;

  // The running area in second place is named through its own entry.
  engine.snapshots = {snapshot(1, "BACKUP"), snapshot(0, "Original Area")};
  engine.renameResult = 0;
  load();
  engine.calls.clear();
  snapshots.NameAreas([&] { ++anchored; });
  EXPECT_EQ(anchored, 1) << "the running area already has its display name";
  EXPECT_EQ(table().entry(1).name, "Rescue Area");
  EXPECT_EQ(engine.calls[2], "KRV_SetSnapshotName(2000, 1, Rescue Area)");
}

TEST_F(SnapshotTableTest, RenameRefusesBadNamesWithoutContactingTheEngine) {
  const std::vector<std::string> names = {"",          "   ",        "What?",       "Star*",
                                          "Tab\there", "Say \"hi\"", "Caf\xC3\xA9", "Ctrl\x1AZ"};
  for (const std::string& name : names) {
    EXPECT_EQ(snapshots.RenameSnapshot(1, name), krv::kInvalidName) << name;
  }
  EXPECT_TRUE(engine.calls.empty());
}

TEST_F(SnapshotTableTest, RenameTrimsAndCutsTheNameToThirtyFiveCharactersBeforeJudgingIt) {
  // The 36th character would be refused, but it is cut off first.
  EXPECT_EQ(snapshots.RenameSnapshot(1, "  " + std::string(35, 'a') + "?"), 0);
  EXPECT_EQ(engine.calls[2], "KRV_SetSnapshotName(2000, 1, " + std::string(35, 'a') + ")");
}

TEST_F(SnapshotTableTest, RenameToAnExistingNameGivesNameExistsAndAFailedOpenItsCode) {
  engine.snapshots = {snapshot(0, "Original Area"), snapshot(1, "Rescue Area")};
  EXPECT_EQ(snapshots.RenameSnapshot(0, "Rescue Area"), krv::kNameExists);
  EXPECT_EQ(engine.calls, (Calls{"KRV_OpenSnapshots(2000)", "KRV_FindFirstSnapshot(2000, Rescue Area)",
                                 "KRV_CloseSnapshots(2000)"}));

  engine.calls.clear();
  engine.openResults[2000] = -111;
  EXPECT_EQ(snapshots.RenameSnapshot(0, "Other"), -111);
  EXPECT_EQ(engine.calls, (Calls{"KRV_OpenSnapshots(2000)", "KRV_CloseSnapshots(2000)"}));

  engine.openResults.clear();
  engine.renameResult = -215;
  EXPECT_EQ(snapshots.RenameSnapshot(0, "Other"), -215) << "the engine's answer";
}

TEST_F(SnapshotTableTest, EngineTimesBecomeDatesAndTimesOutsideTheCalendarNone) {
  engine.times[1000] = {2026, 12, 8, 10, 30, 15};
  engine.times[1001] = {2026, 13, 1, 24, 0, 0};  // carries into the next year and day
  engine.times[1002] = {10000, 1, 1, 0, 0, 0};   // past the last year
  engine.times[1003] = {-2147483647 - 1, 99, -5, 0, 0, 0};
  engine.times[1004] = {2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 2147483647};
  EXPECT_EQ(snapshots.EngineTimeToDate(0), classic::DateTime{});
  EXPECT_TRUE(engine.calls.empty()) << "0 is never";
  EXPECT_EQ(snapshots.EngineTimeToDate(1000), (classic::DateTime{2026, 12, 8, 10, 30, 15}));
  EXPECT_EQ(snapshots.EngineTimeToDate(1001), (classic::DateTime{2027, 1, 2, 0, 0, 0}));
  EXPECT_TRUE(snapshots.EngineTimeToDate(1002).isZero());
  EXPECT_TRUE(snapshots.EngineTimeToDate(1003).isZero());
  EXPECT_TRUE(snapshots.EngineTimeToDate(1004).isZero());
  EXPECT_TRUE(snapshots.EngineTimeToDate(-5).isZero()) << "an engine that fills nothing";
}

}  // namespace
