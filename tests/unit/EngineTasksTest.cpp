// The engine tool's command lines for copy, size and remove, and the engine error messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/ManagerFixture.h"

namespace {

using Lines = std::vector<std::string>;

class EngineTasksTest : public ManagerFixture {
 protected:
  EngineTasksTest() {
    install("C:\\Korvane");
    snapshots.LoadSnapshotTable();
  }
  std::int32_t copy(std::string source, std::string destination, const std::string& exclusions = "",
                    bool fromWindow = false, bool wait = true) {
    return tasks.StartCopyTask(source, destination, exclusions, fromWindow, wait);
  }
  void expectMessage(std::int32_t code, const std::string& text) {
    toolkit.shown.clear();
    toolkit.expectBox();
    tasks.ShowTaskError(code);
    EXPECT_TRUE(
        fakes::showedOneBox(toolkit.shown, {text, "Korvane Error", ui::Buttons::OK, ui::Icon::Exclamation}))
        << code;
  }
};

TEST_F(EngineTasksTest, AnUnattendedCopyRunsTheToolFromTheProgramFolderAndWaits) {
  processes.exitCodes = {259, 0};
  std::string source = "  Original Area ";
  std::string destination = " Rescue Area";
  EXPECT_EQ(tasks.StartCopyTask(source, destination, "", false, true), 0);
  EXPECT_EQ(source, "Original Area") << "trimmed in place";
  EXPECT_EQ(destination, "Rescue Area");
  EXPECT_EQ(started(),
            (Lines{"C:\\Korvane\\KRVCmd.exe \"#Copy/Update\" COPY \"Original Area\" \"Rescue Area\" (1)"}));
  EXPECT_EQ(processes.journal.back(), "close 77") << "waited for the tool to end";
}

TEST_F(EngineTasksTest, ACopyFromTheWindowHasNoMarkAndDoesNotWait) {
  EXPECT_EQ(copy("Original Area", "Rescue Area", "C:\\Temp;C:\\Cache", true, false), 0);
  EXPECT_EQ(processes.journal,
            (Lines{"start C:\\Korvane\\KRVCmd.exe \"Copy/Update\" COPY \"Original Area\" \"Rescue Area\" "
                   "EXCLUDE C:\\Temp;C:\\Cache (1)",
                   "close 77"}));
}

TEST_F(EngineTasksTest, AProgramFolderWithASpaceIsQuoted) {
  install("C:\\Program Files\\Korvane\\");
  snapshots.LoadSnapshotTable();
  EXPECT_EQ(copy("Original Area", "Rescue Area"), 0);
  EXPECT_EQ(started(),
            (Lines{"\"C:\\Program Files\\Korvane\\KRVCmd.exe\" \"#Copy/Update\" COPY \"Original Area\" "
                   "\"Rescue Area\" (1)"}));
}

TEST_F(EngineTasksTest, CopyRefusesBadNamesWithoutStartingTheTool) {
  EXPECT_EQ(copy("", "Rescue Area"), krv::kInvalidName);
  EXPECT_EQ(copy("Original Area", "   "), krv::kInvalidName);
  EXPECT_EQ(copy("Original Area", "Rescue*"), krv::kInvalidName);
  EXPECT_EQ(copy("Original Area", "Rescue?"), krv::kInvalidName);
  EXPECT_EQ(copy("Original Area", "Tab\tArea"), krv::kInvalidName);
  EXPECT_EQ(copy("Original Area", "Caf\xC3\xA9"), krv::kInvalidName);
  // A quotation mark would split the quoted argument, in either name.
  EXPECT_EQ(copy("Original Area", "Rescue\" \"Original Area"), krv::kInvalidName);
  EXPECT_EQ(copy("Orig\" \"x", "Rescue Area"), krv::kInvalidName);
  EXPECT_TRUE(processes.journal.empty());

  // The source is only required to be there: ? and * in it are the engine's business.
  EXPECT_EQ(copy("Orig?", "Rescue Area"), 0);
  // Cut to 35 characters first, so a bad 36th character does not count.
  EXPECT_EQ(copy("Original Area", std::string(35, 'r') + "*"), 0);
  EXPECT_NE(started().back().find("\"" + std::string(35, 'r') + "\" (1)"), std::string::npos);
}

TEST_F(EngineTasksTest, SizeAndRemoveRunTheBareToolAndNeverWait) {
  EXPECT_EQ(tasks.StartSizeTask("  Original Area  ", "C:\\Temp"), 0);
  EXPECT_EQ(tasks.StartSizeTask("Original Area", "   "), 0);
  EXPECT_EQ(tasks.StartRemoveTask(" Rescue Area "), 0);
  EXPECT_EQ(processes.journal,
            (Lines{"start KRVCmd.exe \"Calculate\" SIZE \"Original Area\" EXCLUDE C:\\Temp (1)", "close 77",
                   "start KRVCmd.exe \"Calculate\" SIZE \"Original Area\" (1)", "close 77",
                   "start KRVCmd.exe \"Korvane Remove Snapshot\" REMOVE \"Rescue Area\" (1)", "close 77"}));
}

TEST_F(EngineTasksTest, SizeAndRemoveOfABlankOrQuotedNameStartNothing) {
  EXPECT_EQ(tasks.StartSizeTask("  ", ""), -1);
  EXPECT_EQ(tasks.StartRemoveTask(""), -1);
  EXPECT_EQ(tasks.StartRemoveTask("X\" \"Original Area"), krv::kInvalidName);
  EXPECT_EQ(tasks.StartSizeTask("X\"", ""), krv::kInvalidName);
  EXPECT_TRUE(processes.journal.empty());
}

TEST_F(EngineTasksTest, AToolThatCannotStartGivesMinus300) {
  processes.startResult = 0;
  EXPECT_EQ(copy("Original Area", "Rescue Area"), krv::kToolNotStarted);
  EXPECT_EQ(tasks.StartSizeTask("Original Area", ""), krv::kToolNotStarted);
  EXPECT_EQ(tasks.StartRemoveTask("Rescue Area"), krv::kToolNotStarted);
}

TEST_F(EngineTasksTest, EveryKnownCodeShowsItsMessage) {
  const std::vector<std::pair<std::int32_t, std::string>> table = {
      {-103, "Cannot communicate with service - not installed or enabled"},
      {-105, "Cannot communicate with service - all pipes are busy"},
      {-107, "Cannot communicate with service - pipe read error"},
      {-109, "Insufficient disk space for operation"},
      {-111, "Service disabled - Command refused"},
      {-123, "Cannot delete snapshot - not empty?"},
      {-125, "Cannot access the source snapshot - currently in-use"},
      {-127, "Cannot access the destination snapshot - currently in-use"},
      {-203, "Snapshot/archive already exists"},
      {-207, "Invalid snapshot/archive name"},
      {-215, "Cannot modify the snapshot - currently frozen"},
      {-221, "Group password not unique or invalid"},
      {-255, "Too many excluded files specified (32 max)"},
      {-259, "Unable to create static copy of active snapshot"},
      {-300, "Cannot launch C:\\Korvane\\KRVCmd.exe"},
  };
  for (const auto& [code, text] : table) expectMessage(code, text);
}

TEST_F(EngineTasksTest, AnUnknownCodeShowsItsNegationWithARoomForTheSign) {
  expectMessage(-99, "Internal Korvane error  99 - please notify your Technical Administrator");
  expectMessage(5, "Internal Korvane error -5 - please notify your Technical Administrator");
  expectMessage(-2147483647 - 1,
                "Internal Korvane error  2147483648 - please notify your Technical Administrator");
}

TEST_F(EngineTasksTest, ZeroShowsNothing) {
  tasks.ShowTaskError(0);
  EXPECT_TRUE(toolkit.shown.empty());
}

}  // namespace
