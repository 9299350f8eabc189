// Starting and waiting for programs, the tray monitor message, the restart of the computer and
// opening web pages.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "unit/ServicesFixture.h"

namespace {

using Journal = std::vector<std::string>;

class SystemHelpersTest : public ServicesFixture {
 protected:
  SystemHelpersTest() {
    toolkit.onEvents = [this] { processes.journal.push_back("events"); };
  }
  // The error box these helpers show.
  static ui::MessageBoxRequest errorBox(const std::string& text, const std::string& title) {
    return {text, title, ui::Buttons::OK, ui::Icon::Critical};
  }
};

TEST_F(SystemHelpersTest, RunToolStartsWithTheShowStateAndReturnsTheProcessIdentifier) {
  EXPECT_EQ(helpers.RunTool("C:\\K\\KRVMonitor.exe", 0, false), 4711u);
  EXPECT_EQ(processes.journal, (Journal{"start C:\\K\\KRVMonitor.exe (0)", "close 77"}))
      << "not waited for: nothing of it is kept";

  processes.journal.clear();
  processes.startResult = 0;
  EXPECT_EQ(helpers.RunTool("C:\\nowhere.exe /x", 1, true), 0u);
  EXPECT_EQ(processes.journal, (Journal{"start C:\\nowhere.exe /x (1)"})) << "no waiting for what never ran";
  EXPECT_TRUE(toolkit.shown.empty());
}

TEST_F(SystemHelpersTest, RunToolWaitsInStepsThatLetTheUserInterfaceRunUntilTheProgramEnded) {
  // Watched through the handle its start gave, held until the wait ends: the identifier is never
  // looked up again, so a program that later gets it is never watched instead.
  processes.handle = 91;
  processes.exitCodes = {259, 259, 0};
  EXPECT_EQ(helpers.RunTool("KRVCmd.exe copy", 1, true), 4711u);
  const Journal step = {"sleep 200", "exitCode 91", "events"};
  Journal expected = {"start KRVCmd.exe copy (1)"};
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), step.begin(), step.end());
  expected.push_back("close 91");
  EXPECT_EQ(processes.journal, expected);

  // Any exit code but "still active" ends the wait.
  processes.journal.clear();
  processes.exitCodes = {259, 1};
  helpers.RunTool("KRVCmd.exe copy", 1, true);
  EXPECT_EQ(std::count(processes.journal.begin(), processes.journal.end(), "sleep 200"), 2);
}

TEST_F(SystemHelpersTest, NotifyMonitorSendsEightyBytesToTheWindowWithExactlyThatTitle) {
  windows.add("OVS_KRV_Monitor (old)");
  windows.add("OVS_KRV_Monitor ");
  const auto monitor = windows.add("OVS_KRV_Monitor");
  EXPECT_EQ(helpers.NotifyMonitor(0x1234, "Manage Korvane"), monitor);
  ASSERT_EQ(windows.copyData.size(), 1u);
  EXPECT_EQ(windows.copyData[0].target, monitor);
  EXPECT_EQ(windows.copyData[0].sender, 0x1234u);
  EXPECT_EQ(windows.copyData[0].dwData, 2u);
  EXPECT_EQ(windows.copyData[0].bytes, "Manage Korvane" + std::string(66, '\0'));

  // In the ANSI code page; 79 bytes and the NUL fill the message, a longer text is refused.
  EXPECT_EQ(helpers.NotifyMonitor(0, "Korvane\xE2\x84\xA2"), monitor);
  EXPECT_EQ(windows.copyData[1].bytes, "Korvane\x99" + std::string(72, '\0'));
  EXPECT_EQ(helpers.NotifyMonitor(0, std::string(79, 'm')), monitor);
  EXPECT_EQ(windows.copyData[2].bytes, std::string(79, 'm') + '\0');
  EXPECT_EQ(helpers.NotifyMonitor(0, std::string(80, 'm')), 0u);
  EXPECT_EQ(windows.copyData.size(), 3u);
}

TEST_F(SystemHelpersTest, NotifyMonitorWithoutTheMonitorSendsNothing) {
  windows.add("xOVS_KRV_Monitor");
  windows.add("ovs_krv_monitor");
  EXPECT_EQ(helpers.NotifyMonitor(0x1234, "!"), 0u);
  EXPECT_TRUE(windows.copyData.empty());
}

TEST_F(SystemHelpersTest, AnAcceptedRestartEndsTheProcess) {
  EXPECT_EQ(exitCodeOf([&] { helpers.RestartComputer(); }), 0);
  EXPECT_EQ(shutdown.journal, (Journal{"openProcessToken", "lookupPrivilege SeShutdownPrivilege",
                                       "enablePrivilege", "exitWindows 2 4294967295"}));
  EXPECT_TRUE(toolkit.shown.empty());
}

TEST_F(SystemHelpersTest, ARefusedRestartShowsABoxForEveryFailedStepAndReturns) {
  shutdown.token = {false, 5};
  shutdown.privilege = {false, 1313};
  shutdown.enable = {false, 1300};
  shutdown.restart = {false, 1314};
  for (int i = 0; i < 4; ++i) toolkit.expectBox();
  EXPECT_EQ(exitCodeOf([&] { helpers.RestartComputer(); }), -1);
  EXPECT_EQ(shutdown.journal.size(), 4u);
  EXPECT_TRUE(
      fakes::showedBoxes(toolkit.shown, {errorBox("OpenProcessToken error =5", "Korvane Error"),
                                         errorBox("LookupPrivilegeValue error =1313", "Korvane Error"),
                                         errorBox("AdjustTokenPrivileges error==1300", "Korvane Error"),
                                         errorBox("ExitWindowsEx error =1314", "Korvane Error")}));

  // A step that fails does not stop a restart the system then accepts.
  toolkit.shown.clear();
  shutdown = fakes::FakeShutdown{};
  shutdown.enable = {false, 1300};
  toolkit.expectBox();
  EXPECT_EQ(exitCodeOf([&] { helpers.RestartComputer(); }), 0);
  EXPECT_TRUE(
      fakes::showedOneBox(toolkit.shown, errorBox("AdjustTokenPrivileges error==1300", "Korvane Error")));
}

TEST_F(SystemHelpersTest, OpenWebAddressShowsTheShellsFailure) {
  shell.result = 32;
  helpers.OpenWebAddress("www.pellora.test/manual");
  EXPECT_EQ(shell.opened, (Journal{"http://www.pellora.test/manual"}));
  EXPECT_TRUE(toolkit.shown.empty());

  for (std::intptr_t result : {31, 2, 0}) {
    shell.result = result;
    toolkit.shown.clear();
    toolkit.expectBox();
    helpers.OpenWebAddress("www.pellora.test/support");
    EXPECT_TRUE(fakes::showedOneBox(
        toolkit.shown,
        errorBox("Error " + std::to_string(result) + " opening http://www.pellora.test/support", "Error")))
        << result;
  }
}

}  // namespace
