// Start-up: one instance, the install location, the administrator check, the version line, the
// workstation check and the preferences.

#include <gtest/gtest.h>

#include "manager/Startup.h"
#include "unit/ManagerFixture.h"

namespace {

class StartupTest : public ::testing::Test, protected testsupport::FakeManager {
 protected:
  StartupTest() { registry.putText(krv::kServiceInfoKey, "Location", "  C:\\Program Files\\Korvane\\  "); }

  int runMain() {
    try {
      return startup.Main();
    } catch (const fakes::ProcessExit& exit) {
      ended = true;
      return exit.code;
    }
  }

  bool ended = false;  // ended through exitProcess rather than by returning
};

TEST_F(StartupTest, PlainStartChecksTheEngineLogsTheVersionLoadsThePreferencesAndEndsWithZero) {
  system.version = {3, 1, 42};
  engine.answer("hotkey", "F7");
  EXPECT_EQ(runMain(), 0);
  EXPECT_FALSE(ended);
  EXPECT_TRUE(toolkit.shown.empty());
  const std::vector<std::string> expected = {"KRV_OpenSnapshots(2500)",
                                             "KRV_CloseSnapshots(2500)",
                                             "KRV_LogMessage(0, Korvane Manager [Version 3.1.0.42])",
                                             "KRV_OpenSnapshots(2500)",
                                             "KRV_Configuration(8000, preboot)",
                                             "KRV_FindFirstSnapshot(2500, *)",
                                             "KRV_CloseSnapshots(2500)",
                                             "KRV_Configuration(8000, lastboot)",
                                             "KRV_AnchoredFiles(5000, )",
                                             "KRV_Configuration(8000, showprompt)",
                                             "KRV_Configuration(8000, hotkey)",
                                             "KRV_Configuration(8000, keywait)",
                                             "KRV_Configuration(8000, maxfailedboots)",
                                             "KRV_Configuration(8000, keeplogs)",
                                             "KRV_Configuration(8000, CopyPasswordEnabled)",
                                             "KRV_Configuration(8000, CopyPassword)"};
  EXPECT_EQ(engine.calls, expected);
  EXPECT_EQ(startup.applicationTitle(), "Korvane");
  EXPECT_EQ(startup.installLocation(), "C:\\Program Files\\Korvane\\");
  EXPECT_EQ(preferences.current().bootHotkey, 7);
  EXPECT_EQ(preferences.saved().bootHotkey, 7);
}

TEST_F(StartupTest, ABlankOrMissingInstallLocationEndsInTheFatalErrorBoxBeforeTheEngineIsContacted) {
  const auto blankLocation = [&](const char* what, auto&& arrange) {
    SCOPED_TRACE(what);
    registry = fakes::FakeRegistry{};
    arrange();
    toolkit.shown.clear();
    toolkit.expectBox();
    ended = false;
    EXPECT_EQ(runMain(), 1);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(fakes::showedOneBox(toolkit.shown, {"Unable to read the Korvane ServiceInfo Key.",
                                                    "Error - Korvane", ui::Buttons::OK, ui::Icon::Critical}));
    EXPECT_TRUE(engine.calls.empty());
  };
  blankLocation("missing", [] {});
  blankLocation("empty", [&] { registry.putText(krv::kServiceInfoKey, "Location", ""); });
  blankLocation("spaces", [&] { registry.putText(krv::kServiceInfoKey, "Location", "   "); });
  blankLocation("other root", [&] {
    registry.putText(krv::kServiceInfoKey, "Location", "C:\\K", platform::RegistryRoot::CurrentUser);
  });
  blankLocation("too long",
                [&] { registry.putText(krv::kServiceInfoKey, "Location", std::string(255, 'C')); });
}

TEST_F(StartupTest, VersionLineHasNoLeadingZeros) {
  EXPECT_EQ(krv::Startup::versionLine({3, 1, 42}), "Korvane Manager [Version 3.1.0.42]");
  EXPECT_EQ(krv::Startup::versionLine({10, 0, 0}), "Korvane Manager [Version 10.0.0.0]");
  EXPECT_EQ(krv::Startup::versionLine({3, 12, 65535}), "Korvane Manager [Version 3.12.0.65535]");
}

TEST_F(StartupTest, SecondInstanceRestoresTheFirstMatchingWindowAndEndsWithOne) {
  system.otherInstance = true;
  windows.add("");  // empty text never matches
  windows.add("Program Manager");
  const auto first = windows.add("korvane\xE2\x84\xA2 3.1", true);  // case-insensitive, minimised
  windows.add("Korvane Logs");                                      // later match is not taken
  EXPECT_EQ(runMain(), 1);
  EXPECT_FALSE(ended);
  const std::vector<std::string> expected = {"activate " + std::to_string(first),
                                             "restore " + std::to_string(first),
                                             "foreground " + std::to_string(first)};
  EXPECT_EQ(windows.actions, expected);
  EXPECT_EQ(windows.textsRead, 3) << "the search stops at the first match";
  EXPECT_EQ(startup.applicationTitle(), "...duplicate");
  EXPECT_TRUE(engine.calls.empty()) << "nothing else of start-up runs";
  EXPECT_TRUE(toolkit.shown.empty());
}

TEST_F(StartupTest, SecondInstanceDoesNotRestoreAWindowThatIsNotMinimised) {
  system.otherInstance = true;
  const auto window = windows.add("Korvane");
  EXPECT_EQ(runMain(), 1);
  const std::vector<std::string> expected = {"activate " + std::to_string(window),
                                             "foreground " + std::to_string(window)};
  EXPECT_EQ(windows.actions, expected);
}

TEST_F(StartupTest, SecondInstanceReadsOnlyThirtyNineCharactersOfEachTitle) {
  system.otherInstance = true;
  // "Korvane" starts at character 34 and so is cut after "Korva" by the 39-character read.
  windows.add(std::string(33, 'x') + "Korvane");
  const auto fits = windows.add(std::string(32, 'x') + "Korvane");  // ends at character 39
  EXPECT_EQ(runMain(), 1);
  ASSERT_FALSE(windows.actions.empty());
  EXPECT_EQ(windows.actions.front(), "activate " + std::to_string(fits));
}

TEST_F(StartupTest, SecondInstanceWithoutAMatchingWindowStillEndsWithOne) {
  system.otherInstance = true;
  windows.add("Notepad");
  windows.add("Korva ne");
  EXPECT_EQ(runMain(), 1);
  EXPECT_TRUE(windows.actions.empty());
  EXPECT_TRUE(engine.calls.empty());
}

TEST_F(StartupTest, NotAnAdministratorEndsInTheFatalErrorBoxBeforeLogging) {
  engine.openResult = krv::kNotAdministrator;
  toolkit.expectBox();
  EXPECT_EQ(runMain(), 1);
  EXPECT_TRUE(ended);
  EXPECT_TRUE(fakes::showedOneBox(toolkit.shown, {"You must be a Computer Administrator to manage Korvane.",
                                                  "Error - Korvane", ui::Buttons::OK, ui::Icon::Critical}));
  const std::vector<std::string> expected = {"KRV_OpenSnapshots(2500)", "KRV_CloseSnapshots(2500)"};
  EXPECT_EQ(engine.calls, expected) << "the set is closed after the open, and nothing is logged";
}

TEST_F(StartupTest, AnyOtherOpenResultLetsStartUpContinue) {
  for (std::int32_t result : {-1, -99, -116, -201, 5}) {
    engine.openResult = result;
    engine.calls.clear();
    EXPECT_EQ(runMain(), 0) << result;
    EXPECT_FALSE(ended) << result;
    EXPECT_EQ(engine.logLines.size(), 1u) << result;
    engine.logLines.clear();
  }
}

TEST_F(StartupTest, ServerEditionIsRefusedAfterTheVersionLine) {
  system.os.productType = 3;
  toolkit.expectBox();
  EXPECT_EQ(runMain(), 1);
  EXPECT_TRUE(ended);
  EXPECT_TRUE(fakes::showedOneBox(toolkit.shown, {"This version of Korvane only runs on a Workstation.",
                                                  "Korvane", ui::Buttons::OK, ui::Icon::Critical}))
      << "titled with the application title";
  ASSERT_EQ(engine.logLines.size(), 1u) << "the refused start still leaves the version line";
  EXPECT_EQ(engine.logLines[0], "Korvane Manager [Version 3.1.0.42]");
}

TEST_F(StartupTest, DomainControllerIsNotAWorkstationEither) {
  system.os.productType = 2;
  toolkit.expectBox();
  EXPECT_EQ(runMain(), 1);
  EXPECT_TRUE(ended);
}

}  // namespace

namespace {

class StartupCommandTest : public StartupTest {
 protected:
  StartupCommandTest() {
    registry.putText(krv::kAppPathsKey, "Path", "C:\\Korvane");
    engine.snapshots = {fakes::snapshot(0, "ORIGINAL", 2048)};
    files.folders = {{platform::kFolderDocuments, "C:\\Users\\ann\\Documents"}};
  }
  // The engine calls from the table load on, named by their export alone.
  std::vector<std::string> exportsAfterVersionLine() {
    std::vector<std::string> names;
    bool logged = false;
    for (const std::string& call : engine.calls) {
      if (call.rfind("KRV_LogMessage", 0) == 0 && !logged) {
        logged = true;
        continue;
      }
      if (logged) names.push_back(call.substr(0, call.find('(')));
    }
    return names;
  }
};

TEST_F(StartupCommandTest, AFirstStartLoadsTheTableNamesTheAreaAnchorsAndThenAppliesPendingLists) {
  registry.putWideText(krv::kPreferencesKey, krv::kInitialAnchoredListValue, "C:\\Data");
  EXPECT_EQ(runMain(), 0);
  EXPECT_FALSE(ended);
  const std::vector<std::string> expected = {
      // the table and the running area
      "KRV_OpenSnapshots", "KRV_Configuration", "KRV_FindFirstSnapshot", "KRV_FindNextSnapshot",
      "KRV_CloseSnapshots", "KRV_Configuration", "KRV_AnchoredFiles",
      // the preferences
      "KRV_Configuration", "KRV_Configuration", "KRV_Configuration", "KRV_Configuration", "KRV_Configuration",
      "KRV_Configuration", "KRV_Configuration",
      // the naming and the default anchoring
      "KRV_OpenSnapshots", "KRV_FindFirstSnapshot", "KRV_SetSnapshotName", "KRV_CloseSnapshots",
      "KRV_AnchoredFiles",
      // the pending anchored list, and the table loaded again
      "KRV_CheckAnchorList", "KRV_AnchoredFiles", "KRV_OpenSnapshots", "KRV_Configuration",
      "KRV_FindFirstSnapshot", "KRV_FindNextSnapshot", "KRV_CloseSnapshots", "KRV_Configuration",
      "KRV_AnchoredFiles"};
  EXPECT_EQ(exportsAfterVersionLine(), expected);
  EXPECT_EQ(engine.anchoredCalls.at(1).text, "C:\\Users\\ann\\Documents");
  EXPECT_EQ(snapshots.table().current().name, "Original Area");
  EXPECT_EQ(snapshots.table().anchoredList, "C:\\Data");
  EXPECT_EQ(snapshots.table().programFolder, "C:\\Korvane\\");
  EXPECT_FALSE(registry.get(krv::kPreferencesKey, krv::kInitialAnchoredListValue));
}

TEST_F(StartupCommandTest, TheCommandLineIsTrimmedAndItsNegativeResultEndsWithOne) {
  system.arguments = "   /anchor C:\\Data  ";
  EXPECT_EQ(runMain(), 0);
  EXPECT_EQ(engine.logLines.back(), "Korvane Commandline /anchor C:\\Data");

  system.arguments = "/anchor C:\\Nowhere";
  engine.anchorCheckResult = -255;
  EXPECT_EQ(runMain(), 1);
  EXPECT_FALSE(ended) << "returned, not ended";
  EXPECT_EQ(startup.runResult(), -255);
}

TEST_F(StartupCommandTest, InstallAloneIsTheEmptyLineButNotInLowerCaseOrWithMore) {
  EXPECT_EQ(krv::Startup::effectiveCommandLine("  INSTALL "), "");
  system.arguments = "INSTALL";
  EXPECT_EQ(runMain(), 0);
  system.arguments = "install";
  EXPECT_EQ(runMain(), 1);
  system.arguments = "INSTALL now";
  EXPECT_EQ(runMain(), 1);
}

}  // namespace
