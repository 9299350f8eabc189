// The command line: switch matching, the password argument, and each command with its log line,
// its effect and its run result.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/ManagerFixture.h"

namespace {

using Lines = std::vector<std::string>;
using krv::CommandLine;

class CommandLineTest : public ManagerFixture {
 protected:
  CommandLineTest() {
    install("C:\\Korvane");
    engine.snapshots = {fakes::snapshot(0, "Original Area", 100), fakes::snapshot(1, "Rescue Area", 50)};
    load();
    engine.calls.clear();
    engine.configurationCalls.clear();
  }
  void passwordOn(const std::string& password) {
    preferences.current().copyPasswordEnabled = 1;
    preferences.current().copyPassword = password;
  }
  std::optional<std::int32_t> copyResult() {
    const auto value = registry.get(krv::kServiceInfoKey, krv::kCopyResultValue);
    if (!value || value->bytes.size() != 4) return std::nullopt;
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = bits << 8 | static_cast<unsigned char>(value->bytes[i]);
    return static_cast<std::int32_t>(bits);
  }
};

TEST(CommandLineMatching, ASwitchCountsOnlyAsAWholeWordAtItsFirstOccurrence) {
  EXPECT_EQ(CommandLine::FindSwitch("/boot", "/boot"), 0u);
  EXPECT_EQ(CommandLine::FindSwitch("/BOOT pw", "/boot"), 0u);
  EXPECT_EQ(CommandLine::FindSwitch("/copy /Boot", "/boot"), 6u);
  EXPECT_FALSE(CommandLine::FindSwitch("/boots", "/boot"));
  EXPECT_FALSE(CommandLine::FindSwitch("x/boot", "/boot"));
  EXPECT_FALSE(CommandLine::FindSwitch("/bootx /boot", "/boot")) << "only the first occurrence is looked at";
  EXPECT_EQ(CommandLine::FindSwitch("/PREBOOT ENABLE", "/preboot enable"), 0u);
  EXPECT_FALSE(CommandLine::FindSwitch("/preboot  enable", "/preboot enable"));
  EXPECT_FALSE(CommandLine::FindSwitch("/preboot\tenable", "/preboot enable"));
}

TEST(CommandLineMatching, ThePasswordIsTheSecondToken) {
  EXPECT_EQ(CommandLine::PasswordArgument("/copy"), "");
  EXPECT_EQ(CommandLine::PasswordArgument("/copy   Secret   extra"), "Secret");
  EXPECT_EQ(CommandLine::PasswordArgument("/copy /boot"), "/boot");
}

TEST(CommandLineMatching, BuildNameLineKeepsOrdinaryNamesPlainAndQuotesSpecialOnes) {
  EXPECT_EQ(CommandLine::BuildNameLine("Original Area"), "set QVXBUILD=Original Area\r\n");
  EXPECT_EQ(CommandLine::BuildNameLine("(x) !y"), "set QVXBUILD=(x) !y\r\n");
  EXPECT_EQ(CommandLine::BuildNameLine("A&B|C<D>E^F"), "set \"QVXBUILD=A&B|C<D>E^F\"\r\n");
  EXPECT_EQ(CommandLine::BuildNameLine("100% & %PATH%"), "set \"QVXBUILD=100%% & %%PATH%%\"\r\n");
  EXPECT_FALSE(CommandLine::BuildNameLine("A\"&calc&\"B"));
  EXPECT_FALSE(CommandLine::BuildNameLine("A\r\ndel x"));
  EXPECT_FALSE(CommandLine::BuildNameLine("A\x1A"));
}

TEST_F(CommandLineTest, EmptyLineDoesNothingAndStrayTextGivesMinus99) {
  EXPECT_EQ(commandLine.Dispatch(""), 0);
  EXPECT_EQ(commandLine.Dispatch("hello"), krv::kManagerFailure);
  EXPECT_EQ(commandLine.Dispatch("/preboot  enable"), krv::kManagerFailure);
  EXPECT_EQ(commandLine.Dispatch("/bootx"), krv::kManagerFailure);
  EXPECT_TRUE(engine.calls.empty());
}

TEST_F(CommandLineTest, HelpShowsEveryLineWithoutLogging) {
  toolkit.expectBox();
  EXPECT_EQ(commandLine.Dispatch("/?"), 0);
  EXPECT_TRUE(fakes::showedOneBox(
      toolkit.shown, {"Command line parameters:\r\r"
                      "\r/preboot: <enable/disable>, Set pre-boot menu state"
                      "\r/boot <password>, Immediately re-boot to the other Area"
                      "\r/copy <password>, Initiate copy of the current Area to other Area."
                      "\r/exclude <file list>, Set excluded file list."
                      "\r/anchor <file list>, Set anchored file list."
                      "\r/buildname, Creates .BAT file assigning current area to environment variable",
                      "Assistance - Korvane", ui::Buttons::OK, ui::Icon::Information}));
  EXPECT_TRUE(engine.logLines.empty());
}

TEST_F(CommandLineTest, PreBootSwitchesLogAndSendTheRequest) {
  engine.answer("preboot", "Enabled");
  EXPECT_EQ(commandLine.Dispatch("/PreBoot Enable"), 0);
  engine.answer("preboot", "Disabled");
  EXPECT_EQ(commandLine.Dispatch("/preboot disable"), 0);
  engine.answer("preboot", "Disabled");
  EXPECT_EQ(commandLine.Dispatch("/preboot enable"), krv::kPreBootSwitchFailed);
  EXPECT_EQ(engine.logLines, (Lines{"Korvane Commandline /boot enable", "Korvane Commandline /boot disable",
                                    "Korvane Commandline /boot enable"}));
  EXPECT_EQ(requests(), (Lines{"preboot enable", "preboot disable", "preboot enable"}));
}

TEST_F(CommandLineTest, BootSendsTheOtherAreasNumberAndRestarts) {
  EXPECT_EQ(exitCodeOf([&] { commandLine.Dispatch("/boot"); }), 0);
  EXPECT_EQ(engine.logLines, (Lines{"Korvane Commandline /boot"}));
  EXPECT_EQ(requests(), (Lines{"active 1"}));
  EXPECT_EQ(shutdown.journal.back(), "exitWindows 2 4294967295");
}

TEST_F(CommandLineTest, BootWithAWrongPasswordLogsNothingAndDoesNotRestart) {
  passwordOn("Secret");
  EXPECT_EQ(commandLine.Dispatch("/boot secret"), krv::kManagerFailure);
  EXPECT_EQ(commandLine.Dispatch("/boot"), krv::kManagerFailure);
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_TRUE(shutdown.journal.empty());
  EXPECT_EQ(exitCodeOf([&] { commandLine.Dispatch("/boot Secret"); }), 0);
}

TEST_F(CommandLineTest, ARefusedRestartEndsTheBootWithZero) {
  shutdown.restart = {false, 1190};
  toolkit.expectBox();
  EXPECT_EQ(commandLine.Dispatch("/boot"), 0);
  EXPECT_EQ(toolkit.shown.at(0).text, "ExitWindowsEx error =1190");
}

TEST_F(CommandLineTest, CopyBeforeBootIsCarriedOutAsBootWithTheSecondTokenAsPassword) {
  passwordOn("/boot");
  EXPECT_EQ(exitCodeOf([&] { commandLine.Dispatch("/copy /boot"); }), 0);
  EXPECT_EQ(engine.logLines, (Lines{"Korvane Commandline /boot"}));
  EXPECT_TRUE(started().empty());
}

TEST_F(CommandLineTest, CopyMarksTheResultWaitsForTheToolAndReadsItsOutcome) {
  passwordOn("Secret");
  processes.exitCodes = {259, 259, 0};
  // The tool stores its outcome while the manager waits.
  toolkit.onEvents = [&] {
    if (toolkit.eventsProcessed == 1) {
      EXPECT_EQ(copyResult(), -99) << "marked before the tool started";
    }
    registry.putNumber(krv::kServiceInfoKey, krv::kCopyResultValue, 0);
  };
  EXPECT_EQ(commandLine.Dispatch("/copy Secret extra"), 0);
  EXPECT_EQ(engine.logLines, (Lines{"Korvane Commandline /copy"}));
  EXPECT_EQ(started(),
            (Lines{"C:\\Korvane\\KRVCmd.exe \"#Copy/Update\" COPY \"Original Area\" \"Rescue Area\" (1)"}));
  EXPECT_EQ(toolkit.eventsProcessed, 3);

  toolkit.onEvents = [&] { registry.putNumber(krv::kServiceInfoKey, krv::kCopyResultValue, -109); };
  EXPECT_EQ(commandLine.Dispatch("/copy Secret"), -109) << "the tool's outcome is the run result";
  toolkit.onEvents = nullptr;
  EXPECT_EQ(commandLine.Dispatch("/copy Secret"), -99) << "a tool that stored nothing";
  EXPECT_TRUE(toolkit.shown.empty()) << "no message on the command line";
}

TEST_F(CommandLineTest, CopyStopsAtAWrongPasswordAnUnwritableMarkOrAToolThatCannotStart) {
  passwordOn("Secret");
  EXPECT_EQ(commandLine.Dispatch("/copy wrong"), -99);
  EXPECT_TRUE(registry.writes.empty());

  registry.failingWrites = {krv::kCopyResultValue};
  EXPECT_EQ(commandLine.Dispatch("/copy Secret"), -99);
  EXPECT_TRUE(engine.logLines.empty());
  EXPECT_TRUE(processes.journal.empty());

  registry.failingWrites.clear();
  processes.startResult = 0;
  registry.putNumber(krv::kServiceInfoKey, krv::kCopyResultValue, 0);
  EXPECT_EQ(commandLine.Dispatch("/copy Secret"), krv::kToolNotStarted);
}

TEST_F(CommandLineTest, CopyWithoutASecondAreaCreatesTheRescueArea) {
  engine.snapshots = {fakes::snapshot(0, "Original Area", 100)};
  load();
  registry.putNumber(krv::kServiceInfoKey, krv::kCopyResultValue, 0);
  commandLine.Dispatch("/copy");
  EXPECT_EQ(started(),
            (Lines{"C:\\Korvane\\KRVCmd.exe \"#Copy/Update\" COPY \"Original Area\" \"Rescue Area\" (1)"}));
}

TEST_F(CommandLineTest, ResetPasswordSetsClearsOrIgnoresThePassword) {
  EXPECT_EQ(commandLine.Dispatch("/resetpassword n3w!pass"), 0);
  EXPECT_EQ(requests(), (Lines{"CopyPasswordEnabled True", "CopyPassword n3w!pass"}));
  engine.configurationCalls.clear();

  EXPECT_EQ(commandLine.Dispatch("/resetpassword"), 0);
  EXPECT_EQ(requests(), (Lines{"CopyPasswordEnabled False"})) << "the password itself is kept";
  EXPECT_EQ(preferences.current().copyPassword, "n3w!pass");
  engine.configurationCalls.clear();

  for (const char* bad : {"/resetpassword what?",
                          "/resetpassword "
                          "12345678901234567890123456"}) {
    EXPECT_EQ(commandLine.Dispatch(bad), 0) << bad;
  }
  EXPECT_TRUE(requests().empty());
  EXPECT_EQ(engine.logLines, (Lines{"Korvane Commandline /resetpassword <new password set>",
                                    "Korvane Commandline /resetpassword"}));

  engine.answer("CopyPassword", "", -1);
  EXPECT_EQ(commandLine.Dispatch("/resetpassword other"), krv::kManagerFailure);
}

TEST_F(CommandLineTest, ExcludeAndAnchorTakeTheTrimmedRestOfTheLine) {
  EXPECT_EQ(commandLine.Dispatch("/EXCLUDE    C:\\My Files\\*.tmp;C:\\Cache   "), 0);
  EXPECT_EQ(engine.exclusionChecks.at(0).text, "C:\\My Files\\*.tmp;C:\\Cache");
  EXPECT_EQ(preferences.current().exclusionList, "C:\\My Files\\*.tmp;C:\\Cache");

  EXPECT_EQ(commandLine.Dispatch("/anchor  C:\\Shared Data ;C:\\Mail "), 0);
  EXPECT_EQ(engine.anchoredList, "C:\\Shared Data ;C:\\Mail");
  EXPECT_EQ(commandLine.Dispatch("/anchor"), 0);
  EXPECT_EQ(engine.anchoredList, ";");
  EXPECT_EQ(engine.logLines,
            (Lines{"Korvane Commandline /exclude C:\\My Files\\*.tmp;C:\\Cache",
                   "Korvane Commandline /anchor C:\\Shared Data ;C:\\Mail", "Korvane Commandline /anchor "}));

  engine.anchorCheckResult = -255;
  EXPECT_EQ(commandLine.Dispatch("/anchor C:\\Nowhere"), -255);
  EXPECT_EQ(commandLine.Dispatch("/anchor " + std::string(960, 'a')), krv::kListTooLong);
}

TEST_F(CommandLineTest, BuildNameWritesTheBatchFileOrGivesMinus1) {
  EXPECT_EQ(commandLine.Dispatch("/buildname"), 0);
  EXPECT_EQ(files.files.at("SetQVXBUILD.bat"), "set QVXBUILD=Original Area\r\n");
  EXPECT_EQ(engine.logLines, (Lines{"Korvane Commandline /buildname"}));

  files.writable = false;
  EXPECT_EQ(commandLine.Dispatch("/buildname"), -1);

  files.writable = true;
  files.files.clear();
  snapshots.table().current().name = "Bad\"&del *&\"";
  EXPECT_EQ(commandLine.Dispatch("/buildname"), -1);
  EXPECT_TRUE(files.files.empty());
}

}  // namespace
