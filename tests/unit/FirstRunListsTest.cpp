// The exclusion and anchored list setters, the pending first-run lists and the default anchoring.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/ManagerFixture.h"

namespace {

using Paths = std::vector<std::string>;

class FirstRunListsTest : public ManagerFixture {
 protected:
  FirstRunListsTest() { install(); }
  void pending(const char* value, const std::string& list) {
    registry.putWideText(krv::kPreferencesKey, value, list);
  }
  std::string storedExclusions() {
    std::string text;
    registryAccess.ReadRegTextW(krv::kManagerRoot, krv::kPreferencesKey, krv::kDefaultExclusionListValue,
                                text);
    return text;
  }
  Paths add(Paths candidates, const std::string& path) {
    krv::FirstRunLists::AddCandidate(candidates, path);
    return candidates;
  }
};

TEST_F(FirstRunListsTest, AnAcceptedExclusionListIsCheckedAsUtf16AndSavedAsThePreference) {
  EXPECT_EQ(lists.SetExclusionList("C:\\Temp\\*.tmp;C:\\Caf\xC3\xA9"), 0);
  ASSERT_EQ(engine.exclusionChecks.size(), 1u);
  EXPECT_EQ(engine.exclusionChecks[0].text, "C:\\Temp\\*.tmp;C:\\Caf\xC3\xA9");
  if (engine.exclusionChecks[0].explanationCapacity != 0) {
    EXPECT_EQ(engine.exclusionChecks[0].explanationCapacity, 1924u);
    EXPECT_EQ(engine.exclusionChecks[0].capacity, 2u * 22) << "21 characters and the NUL";
  }
  EXPECT_EQ(storedExclusions(), "C:\\Temp\\*.tmp;C:\\Caf\xC3\xA9");
}

TEST_F(FirstRunListsTest, ARefusedExclusionListIsNotStoredAndAnEmptyOneIsNotChecked) {
  registry.putWideText(krv::kPreferencesKey, krv::kDefaultExclusionListValue, "C:\\Old");
  preferences.LoadPreferences();
  engine.exclusionCheckResult = -255;
  EXPECT_EQ(lists.SetExclusionList("C:\\A;C:\\B"), -255);
  EXPECT_EQ(storedExclusions(), "C:\\Old");

  EXPECT_EQ(lists.SetExclusionList(""), 0);
  EXPECT_EQ(engine.exclusionChecks.size(), 1u);
  EXPECT_EQ(storedExclusions(), "");
}

TEST_F(FirstRunListsTest, AnExclusionListThatCannotBeSavedGivesMinus99) {
  registry.failingWrites = {krv::kDefaultExclusionListValue};
  EXPECT_EQ(lists.SetExclusionList("C:\\A"), krv::kManagerFailure);
}

TEST_F(FirstRunListsTest, AnExclusionListTooLongToBeReadBackIsRefusedWhole) {
  // 1987 characters and the NUL fill the 3977-byte read buffer; one more would be stored but lost.
  const std::string fits(1987, 'x');
  EXPECT_EQ(lists.SetExclusionList(fits), 0);
  EXPECT_EQ(storedExclusions(), fits);
  EXPECT_EQ(lists.SetExclusionList(fits + "y"), krv::kListTooLong);
  EXPECT_EQ(engine.exclusionChecks.size(), 1u);
  EXPECT_EQ(storedExclusions(), fits);
}

TEST_F(FirstRunListsTest, AnAcceptedAnchoredListIsStoredInA960ByteBuffer) {
  EXPECT_EQ(lists.SetAnchoredList("C:\\Data;C:\\Mail"), 0);
  EXPECT_EQ(engine.calls, (Paths{"KRV_CheckAnchorList(5000, C:\\Data;C:\\Mail)",
                                 "KRV_AnchoredFiles(5000, C:\\Data;C:\\Mail)"}));
  if (engine.anchoredCalls[0].capacity != 0) {
    EXPECT_EQ(engine.anchoredCalls[0].capacity, 960u);
    EXPECT_EQ(engine.anchorChecks[0].explanationCapacity, 960u);
  }
}

TEST_F(FirstRunListsTest, AnEmptyAnchoredListIsSentAsASemicolonWithoutACheck) {
  EXPECT_EQ(lists.SetAnchoredList(""), 0);
  EXPECT_EQ(engine.calls, (Paths{"KRV_AnchoredFiles(5000, ;)"}));
}

TEST_F(FirstRunListsTest, ARefusedOrUnstoredAnchoredListGivesTheEnginesCode) {
  engine.anchorCheckResult = -255;
  EXPECT_EQ(lists.SetAnchoredList("C:\\A"), -255);
  EXPECT_TRUE(engine.anchoredCalls.empty());
  engine.anchorCheckResult = 0;
  engine.anchoredResult = -103;
  EXPECT_EQ(lists.SetAnchoredList("C:\\A"), -103);
}

TEST_F(FirstRunListsTest, AnAnchoredListLongerThanTheBufferIsRefusedNeverCut) {
  const std::string fits(959, 'a');
  EXPECT_EQ(lists.SetAnchoredList(fits), 0);
  EXPECT_EQ(engine.anchoredList, fits);
  engine.calls.clear();
  EXPECT_EQ(lists.SetAnchoredList(fits + "b"), krv::kListTooLong);
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_EQ(engine.anchoredList, fits);
}

TEST_F(FirstRunListsTest, PendingListsAreAppliedOnceAndDeletedWhateverTheEngineSaid) {
  pending(krv::kInitialExclusionListValue, "C:\\Temp");
  pending(krv::kInitialAnchoredListValue, "C:\\Data");
  engine.anchorCheckResult = -255;
  engine.snapshots = {fakes::snapshot(0, "Original Area")};
  lists.ApplyInitialLists();
  EXPECT_EQ(storedExclusions(), "C:\\Temp");
  EXPECT_EQ(preferences.current().exclusionList, "C:\\Temp");
  EXPECT_EQ(preferences.saved().exclusionList, "C:\\Temp");
  EXPECT_EQ(engine.anchorChecks.size(), 1u);
  EXPECT_FALSE(registry.get(krv::kPreferencesKey, krv::kInitialExclusionListValue));
  EXPECT_FALSE(registry.get(krv::kPreferencesKey, krv::kInitialAnchoredListValue));
  EXPECT_EQ(snapshots.table().count, 1) << "the table was loaded again";
  EXPECT_EQ(snapshots.table().engineStatus, krv::EngineStatus::Opened);

  engine.calls.clear();
  lists.ApplyInitialLists();
  EXPECT_TRUE(engine.calls.empty()) << "nothing is pending any more";
}

TEST_F(FirstRunListsTest, AnEmptyPendingExclusionListClearsTheList) {
  registry.putWideText(krv::kPreferencesKey, krv::kDefaultExclusionListValue, "C:\\Old");
  preferences.LoadPreferences();  // as start-up has done before
  pending(krv::kInitialExclusionListValue, "");
  lists.ApplyInitialLists();
  EXPECT_EQ(storedExclusions(), "");
  EXPECT_FALSE(registry.get(krv::kPreferencesKey, krv::kInitialExclusionListValue));
  EXPECT_TRUE(engine.exclusionChecks.empty());
  EXPECT_TRUE(engine.anchoredCalls.empty()) << "no anchored list was pending, no reload";
}

TEST_F(FirstRunListsTest, CandidateRuleKeepsTheOutermostFoldersOnDriveC) {
  EXPECT_EQ(add({}, "D:\\Docs"), Paths{});
  EXPECT_EQ(add({}, "c:\\Docs"), Paths{}) << "the drive compares exactly";
  EXPECT_EQ(add({"C:\\Docs"}, "C:\\Docs"), (Paths{"C:\\Docs"}));
  EXPECT_EQ(add({"C:\\Docs"}, "C:\\Docs\\Pics"), (Paths{"C:\\Docs"}));
  EXPECT_EQ(add({"C:\\Doc"}, "C:\\Documents"), (Paths{"C:\\Doc"})) << "a plain begins-with";
  EXPECT_EQ(add({"C:\\Docs"}, "C:\\Music"), (Paths{"C:\\Docs", "C:\\Music"}));
  // The first contained candidate takes the path; later ones go, the last filling each gap.
  EXPECT_EQ(add({"C:\\U\\A", "C:\\X", "C:\\U\\B", "C:\\Y", "C:\\U\\C"}, "C:\\U"),
            (Paths{"C:\\U", "C:\\X", "C:\\Y"}));
  EXPECT_EQ(add({"C:\\X", "C:\\U\\A", "C:\\U\\B", "C:\\U\\C", "C:\\Z"}, "C:\\U"),
            (Paths{"C:\\X", "C:\\U", "C:\\Z"}));
  Paths full;
  for (int i = 0; i < 40; ++i) krv::FirstRunLists::AddCandidate(full, "C:\\F" + std::to_string(i) + "\\");
  EXPECT_EQ(full.size(), 32u);
  EXPECT_EQ(full.back(), "C:\\F31\\");
}

TEST_F(FirstRunListsTest, DefaultAnchoringTakesTheUserFoldersAndTheCloudFoldersOfAProfileOnC) {
  files.folders = {{platform::kFolderDocuments, "C:\\Users\\ann\\Documents"},
                   {platform::kFolderPictures, "C:\\Users\\ann\\Pictures"},
                   {platform::kFolderMusic, "D:\\Music"},
                   {platform::kFolderProfile, "C:\\Users\\ann"}};
  files.folder("C:\\Users\\ann\\Dropbox");
  files.folder("C:\\Users\\ann\\iCloudDrive");
  files.existing["C:\\Users\\ann\\OneDrive"] = 0x20;  // a file, not a folder
  lists.AnchorDefaultFolders();
  EXPECT_EQ(engine.anchoredList,
            "C:\\Users\\ann\\Documents;C:\\Users\\ann\\Pictures;C:\\Users\\ann\\Dropbox;C:"
            "\\Users\\ann\\iCloudDrive");
  EXPECT_EQ(snapshots.table().anchoredList, engine.anchoredList);
  if (engine.anchoredCalls[0].capacity != 0) {
    EXPECT_EQ(engine.anchoredCalls[0].capacity, 960u);
  }
}

TEST_F(FirstRunListsTest, FoldersInsideOneDriveLeaveOnlyTheOneDriveFolder) {
  files.folders = {{platform::kFolderDocuments, "C:\\Users\\ann\\OneDrive\\Documents"},
                   {platform::kFolderPictures, "C:\\Users\\ann\\OneDrive\\Pictures"},
                   {platform::kFolderProfile, "C:\\Users\\ann"}};
  files.folder("C:\\Users\\ann\\OneDrive");
  lists.AnchorDefaultFolders();
  EXPECT_EQ(engine.anchoredList, "C:\\Users\\ann\\OneDrive");
}

TEST_F(FirstRunListsTest, AProfileOnAnotherDriveAddsNoCloudFoldersAndNoCandidateSendsAnEmptyList) {
  files.folders = {{platform::kFolderDocuments, "E:\\ann\\Documents"}, {platform::kFolderProfile, "E:\\ann"}};
  files.folder("E:\\ann\\OneDrive");
  engine.anchoredList = "C:\\Kept";
  lists.AnchorDefaultFolders();
  ASSERT_EQ(engine.anchoredCalls.size(), 1u);
  EXPECT_EQ(engine.anchoredCalls[0].text, "");
  EXPECT_EQ(snapshots.table().anchoredList, "C:\\Kept") << "an empty buffer reads the engine's list";
}

TEST_F(FirstRunListsTest, AFolderTheListCannotCarryIsLeftOutAndTheOthersAreAnchored) {
  // A name outside the code page would anchor another path; a ";" would split the entry in two.
  files.folders = {{platform::kFolderDocuments, "C:\\Users\\\xD0\x90\xD0\xBD\xD0\xBD\\Documents"},
                   {platform::kFolderPictures, "C:\\Users\\Andr\xC3\xA9\\Pictures"},
                   {platform::kFolderMusic, "C:\\Music;Old"},
                   {platform::kFolderProfile, "C:\\Users\\a;b"}};
  files.folder("C:\\Users\\a;b\\OneDrive");
  lists.AnchorDefaultFolders();
  ASSERT_EQ(engine.anchoredCalls.size(), 1u);
  EXPECT_EQ(engine.anchoredCalls[0].text, "C:\\Users\\Andr\xE9\\Pictures") << "in the ANSI code page";
  EXPECT_TRUE(toolkit.shown.empty());
}

TEST_F(FirstRunListsTest, AFailedDefaultAnchoringIsReportedAndKeepsTheList) {
  files.folders = {{platform::kFolderDocuments, "C:\\Docs"}};
  snapshots.table().anchoredList = "C:\\Before";
  engine.anchoredResult = -103;
  toolkit.expectBox();
  lists.AnchorDefaultFolders();
  EXPECT_TRUE(fakes::showedOneBox(toolkit.shown, {"KRV_AnchoredFiles returned error -103", "Korvane",
                                                  ui::Buttons::OK, ui::Icon::Exclamation}));
  EXPECT_EQ(snapshots.table().anchoredList, "C:\\Before");
}

TEST_F(FirstRunListsTest, DefaultFoldersTooLongForTheBufferAreRefusedNotCut) {
  // Four folders of 250 characters make a list of over 1000.
  std::string base = "C:\\" + std::string(240, 'p');
  files.folders = {{platform::kFolderDocuments, base + "\\Documents"},
                   {platform::kFolderPictures, base + "\\Pictures1"},
                   {platform::kFolderMusic, base + "\\Music1234"},
                   {platform::kFolderVideos, base + "\\Videos123"}};
  toolkit.expectBox();
  lists.AnchorDefaultFolders();
  EXPECT_TRUE(engine.anchoredCalls.empty());
  ASSERT_EQ(toolkit.shown.size(), 1u);
  EXPECT_EQ(toolkit.shown[0].text, "KRV_AnchoredFiles returned error -98");
}

}  // namespace
