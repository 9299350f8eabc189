// The main window over the fakes: loading, the status in both states, the refresh, the anchored
// check, the first-run copy, every action, the pre-boot confirmation and the password prompt.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "manager/anchoring/FmAnchor.h"
#include "manager/mainwindow/FmMain.h"
#include "manager/options/FmOptions.h"
#include "manager/support/FmAbout.h"
#include "manager/support/FmSupport.h"
#include "resources/logviewer/Texts.h"
#include "unit/ManagerFixture.h"

namespace {

using fakes::snapshot;
using Calls = std::vector<std::string>;

constexpr const char* kFolder = "C:\\Program Files\\Korvane\\";
constexpr std::int32_t kOneGB = 1048576;

class MainWindowTest : public ::testing::Test, protected testsupport::FakeManager {
 protected:
  MainWindowTest() {
    install();
    engine.answer("preboot", "Enabled");
    engine.answer("lastboot", "12/06/2026 09:30:00");
    engine.snapshots = {snapshot(0, "Original Area", 3 * kOneGB / 2, 500, 0),
                        snapshot(1, "Rescue Area", 2 * kOneGB, 700, 600)};
    engine.times[500] = {2026, 12, 1, 14, 7, 0};
    engine.times[600] = {2026, 11, 20, 0, 5, 0};
    engine.times[700] = {2026, 12, 8, 12, 0, 0};
    clock.now = {2026, 12, 8, 12, 0, 0};
    windows.add(krv::SystemHelpers::kMonitorTitle);
  }

  // Start-up's part, then the window shown as the real toolkit shows it.
  void open() {
    snapshots.LoadSnapshotTable();
    snapshots.DetermineActiveBackup();
    main.show();
  }
  void answerPasswordWith(std::vector<std::string> entries) {
    toolkit.modalScripts["fmPassword"] = [this, entries](ui::Form& form) {
      auto& prompt = static_cast<krv::FmPassword&>(form);
      EXPECT_EQ(prompt.txtPassword.caption(), "") << "each prompt starts empty";
      for (const std::string& entry : entries) {
        if (!prompt.loaded()) return;
        if (entry == "<Esc>") {
          toolkit.press(form, ui::Key::Escape);
          continue;
        }
        toolkit.type(prompt.txtPassword, entry);
        toolkit.press(form, ui::Key::Enter);
      }
    };
  }
  // The engine numbers the running area 0; the Rescue Area runs when it is listed second as 0.
  void rescueRuns() {
    engine.snapshots[0].number = 1;
    engine.snapshots[1].number = 0;
  }
  void passwordInForce(const std::string& password) {
    preferences.current().copyPasswordEnabled = 1;
    preferences.current().copyPassword = password;
  }
  std::set<std::string> enabledItems() {
    std::set<std::string> names;
    for (const char* name : {"mCopy", "mCalc", "mBoot", "mQuillon", "mClearLogs", "mEnable", "mDisable",
                             "mExport", "mImport", "mRemove", "mAnchoring", "mOptions", "mExit", "mAbout"})
      if (main.menuItem(name)->enabled) names.insert(name);
    for (ui::Control* button : {&main.cmdCopy, &main.cmdCalculate, &main.cmdExit})
      if (button->enabled()) names.insert(button->name());
    return names;
  }
  std::vector<std::string> copyData() const {
    std::vector<std::string> texts;
    for (const auto& data : windows.copyData) texts.push_back(data.bytes.c_str());
    return texts;
  }
  int right(const ui::Control& c) const { return c.left() + c.width(); }

  krv::FmMain main{{toolkit, commons, locale, codec, engine, configuration, snapshots, preferences, tasks,
                    helpers, windows, files, processes}};
};

TEST_F(MainWindowTest, LoadingCaptionsAlignsAndShowsBothAreasWhileTheOriginalRuns) {
  windows.windows.clear();  // no monitor: it is started once and asked five times
  files.folder("C:\\Data");
  engine.anchoredList = "C:\\Data";
  open();

  EXPECT_EQ(main.caption(), "Korvane\xE2\x84\xA2 3.1");
  EXPECT_TRUE(main.keyPreview);
  EXPECT_FALSE(main.resizable());
  EXPECT_EQ(main.focused(), &main.cmdExit);
  EXPECT_EQ(main.tabOrder().front(), &main.cmdExit);
  EXPECT_EQ(main.Frame1_2.caption(), "Original Area");
  EXPECT_EQ(main.lblBooted_0.caption(), "Currently Booted:");
  EXPECT_EQ(main.menuItem("mBoot")->caption, "&Boot to Rescue Area");
  EXPECT_EQ(main.menuItem("mClearLogs")->caption, "Clea&r Log...");
  for (const char* hidden : {"mExport", "mImport", "mBar5"})
    EXPECT_FALSE(main.menuItem(hidden)->visible) << hidden;

  // Captions right-aligned on the wider one, values after them.
  EXPECT_EQ(right(main.lblBooted_0), right(main.lblUpdate_0));
  EXPECT_EQ(right(main.lblBooted_0), right(main.imgIcon_0) + 200 + toolkit.widthOf("Currently Booted:"));
  EXPECT_EQ(main.lblBooted_1.left(), right(main.lblBooted_0) + 240);
  EXPECT_EQ(main.lblUpdate_1.left(), right(main.lblUpdate_0) + 120);
  EXPECT_EQ(right(main.lblOriginalBoot_0), right(main.lblOriginalSize_0));
  EXPECT_EQ(main.lblOriginalBoot_0.left(), 0) << "the wider caption starts at the panel's edge";
  EXPECT_EQ(main.lblRescueSize_1.left(), right(main.lblRescueSize_0) + 120);

  // The status.
  EXPECT_EQ(main.lblService_1.caption(), "enabled");
  EXPECT_EQ(main.lblService_1.foreColor(), ui::rgb(0x2D, 0x9F, 0xD0));
  EXPECT_EQ(main.lblPreBoot_1.caption(), "enabled");
  EXPECT_EQ(main.lblPassword_1.caption(), "deactivated");
  EXPECT_EQ(main.imgPassword.picture().index, 4);
  EXPECT_EQ(main.lblBooted_1.caption(), "Original Area");
  EXPECT_EQ(main.lblBooted_1.foreColor(), ui::rgb(0x00, 0x64, 0x00));
  EXPECT_EQ(main.shpBooted.backColor(), ui::rgb(0x7C, 0xFC, 0x00));
  EXPECT_EQ(main.imgIcon_1.picture().index, 0);
  EXPECT_TRUE(main.shpBooted.visible());
  EXPECT_EQ(main.shpBooted.bounds(),
            (ui::Bounds{main.lblBooted_1.left() - 120, main.lblBooted_1.top() - 30,
                        main.lblBooted_1.width() + 240, main.lblBooted_1.height() + 60}));
  EXPECT_EQ(main.lblOriginalBoot_1.caption(), "12/6/26 9:30a (2 days ago)") << "from the engine's last boot";
  EXPECT_EQ(main.lblOriginalSize_1.caption(), "1.50 GB");
  EXPECT_EQ(main.lblRescueBoot_1.caption(), "11/20/26 12:05a (18 days ago)");
  EXPECT_EQ(main.lblRescueSize_1.caption(), "2.00 GB");
  EXPECT_EQ(main.lblUpdate_1.caption(), "Rescue Area; 12/8/26 12:00p (1m ago)");
  EXPECT_EQ(enabledItems(), (std::set<std::string>{"mCopy", "mCalc", "mBoot", "mQuillon", "mClearLogs",
                                                   "mDisable", "mRemove", "mAnchoring", "mOptions", "mExit",
                                                   "mAbout", "cmdCopy", "cmdCalculate", "cmdExit"}));

  EXPECT_EQ(started(), (Calls{"\"" + std::string(kFolder) + "KRVMonitor.exe\" (0)"}))
      << "quoted: the folder has a space";
  EXPECT_EQ(std::count(processes.journal.begin(), processes.journal.end(), "sleep 100"), 5);
  EXPECT_TRUE(toolkit.shown.empty()) << "nothing missing, a Rescue Area exists: no question, no copy";

  // Closing tells the monitor and ends the window.
  windows.add(krv::SystemHelpers::kMonitorTitle);
  toolkit.press(main, ui::Key::Escape);
  EXPECT_TRUE(main.loaded()) << "the main window has no cancel button";
  toolkit.chooseMenu(main, "mExit");
  EXPECT_FALSE(main.loaded());
  EXPECT_EQ(copyData(), (Calls{"."}));
}

struct AvailabilityCase {
  const char* name;
  bool rescueRuns;
  bool preBoot;
  std::int32_t otherSize;
  bool removed;
  std::set<std::string> enabled;  // of Boot, Enable, Disable and Remove
};

class MainWindowAvailability : public MainWindowTest,
                               public ::testing::WithParamInterface<AvailabilityCase> {};

TEST_P(MainWindowAvailability, ItemsFollowTheStateOfTheTable) {
  const AvailabilityCase& c = GetParam();
  if (c.rescueRuns) rescueRuns();
  if (!c.preBoot) engine.answer("preboot", "Disabled");
  engine.snapshots[c.rescueRuns ? 0 : 1].sizeKB = c.otherSize;
  if (c.otherSize < 1) toolkit.expectBox();  // the first-run copy's notice
  open();
  if (c.removed) {
    toolkit.expectBox(ui::Answer::Yes);
    toolkit.chooseMenu(main, "mRemove");
    toolkit.tick(main.tmrRefresh);
  }
  std::set<std::string> expected{"mCopy", "mCalc",  "mQuillon", "mClearLogs",   "mAnchoring", "mOptions",
                                 "mExit", "mAbout", "cmdCopy",  "cmdCalculate", "cmdExit"};
  expected.insert(c.enabled.begin(), c.enabled.end());
  EXPECT_EQ(enabledItems(), expected);
}

INSTANTIATE_TEST_SUITE_P(States, MainWindowAvailability,
                         ::testing::Values(
                             AvailabilityCase{
                                 "OriginalRuns", false, true, 10, false, {"mBoot", "mDisable", "mRemove"}},
                             AvailabilityCase{"RescueRuns", true, true, 10, false, {"mBoot", "mDisable"}},
                             AvailabilityCase{"PreBootOff", false, false, 10, false, {"mEnable", "mRemove"}},
                             AvailabilityCase{"NoOtherArea", false, true, 0, false, {"mDisable", "mRemove"}},
                             AvailabilityCase{"AreaRemoved", false, true, 10, true, {"mDisable"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, TheRescueAreaRunningIsGoldAndMaroonAndCopiesOntoTheOriginal) {
  rescueRuns();
  engine.snapshots[1].sizeKB = 0;  // the running area's size does not govern Boot
  open();
  EXPECT_EQ(main.lblBooted_1.caption(), "Rescue Area");
  EXPECT_EQ(main.lblBooted_1.foreColor(), ui::rgb(0x80, 0x00, 0x00));
  EXPECT_EQ(main.shpBooted.backColor(), ui::rgb(0xFF, 0xD7, 0x00));
  EXPECT_EQ(main.imgIcon_1.picture().index, 1);
  EXPECT_EQ(main.lblRescueBoot_1.caption(), "12/6/26 9:30a (2 days ago)") << "the running area: engine's key";
  EXPECT_EQ(main.lblRescueSize_1.caption(), "< Currently not available >");
  EXPECT_EQ(main.lblOriginalBoot_1.caption(), "< Never booted >");
  EXPECT_EQ(main.lblUpdate_1.caption(), "Rescue Area; 12/8/26 12:00p (1m ago)");
  EXPECT_TRUE(main.menuItem("mBoot")->enabled);

  toolkit.expectBox(ui::Answer::Yes);
  toolkit.click(main.cmdCopy);
  EXPECT_EQ(
      toolkit.shown.back().text,
      "Are you sure you wish to update the Original Area?\r\rAfter the operation completes the Original Area "
      "will be an identical copy of the Rescue Area.");
  EXPECT_EQ(toolkit.shown.back().defaultButton, 1);
  EXPECT_EQ(started(), (Calls{"\"" + std::string(kFolder) +
                              "KRVCmd.exe\" \"Copy/Update\" COPY \"Rescue Area\" \"Original Area\" (1)"}));
}

TEST_F(MainWindowTest, AnUnavailableEngineShowsDashesAndF5MovesBetweenTheStates) {
  engine.openResult = -103;
  open();
  EXPECT_EQ(main.lblService_1.caption(), "disabled");
  EXPECT_EQ(main.lblService_1.foreColor(), ui::rgb(0xC0, 0x00, 0x00));
  EXPECT_EQ(main.imgService.picture().index, 2);
  for (ui::Control* value :
       {&main.lblPreBoot_1, &main.lblPassword_1, &main.lblBooted_1, &main.lblUpdate_1,
        &main.lblOriginalBoot_1, &main.lblOriginalSize_1, &main.lblRescueBoot_1, &main.lblRescueSize_1})
    EXPECT_EQ(value->caption(), "-") << value->name();
  EXPECT_FALSE(!main.imgPreBoot.picture().empty());
  EXPECT_FALSE(main.shpBooted.visible());
  EXPECT_EQ(enabledItems(), (std::set<std::string>{"mExit", "mAbout", "cmdExit"}));
  EXPECT_TRUE(toolkit.shown.empty()) << "no anchored check, no first copy";

  // A tick does not reload; F5 with a modifier does nothing; F5 from any control reloads.
  engine.openResult = 0;
  const std::size_t before = engine.calls.size();
  toolkit.tick(main.tmrRefresh);
  toolkit.press(main, ui::Key::F5, {true, false, false});
  EXPECT_EQ(engine.calls.size(), before);
  main.setFocus(main.cmdCopy);
  toolkit.press(main, ui::Key::F5);
  EXPECT_EQ(main.lblService_1.caption(), "enabled");
  EXPECT_EQ(main.lblRescueSize_1.caption(), "2.00 GB");
  EXPECT_TRUE(main.cmdCopy.enabled());

  engine.openResult = -103;
  toolkit.press(main, ui::Key::F5);
  EXPECT_EQ(main.lblOriginalSize_1.caption(), "-");
}

TEST_F(MainWindowTest, TwoAreasNeitherRunningEndInOneFatalBoxWhileTheTimerTicks) {
  open();
  engine.snapshots[0].number = 2;
  // The refresh timer keeps firing while the box waits for the user; no tick starts another
  // refresh in the middle of this one (the first few boxes tick, so that a fault cannot loop).
  toolkit.whileBoxOpen = [this](const ui::MessageBoxRequest&) {
    if (toolkit.shown.size() > 3) return;
    toolkit.tick(main.tmrRefresh);
    toolkit.tick(main.tmrRefresh);
  };
  toolkit.expectBox();
  EXPECT_EQ(exitCodeOf([&] { toolkit.press(main, ui::Key::F5); }), 1);
  EXPECT_TRUE(fakes::showedOneBox(
      toolkit.shown, {".DetermineActiveBackup", "Error - Korvane", ui::Buttons::OK, ui::Icon::Critical, 1}));
}

TEST_F(MainWindowTest, AreaTimesUseTheSystemSeparatorsAndATwelveHourClock) {
  open();
  locale.date = ".";
  locale.time = ".";
  const std::map<std::string, classic::DateTime> cases{
      {"3.5.24 2.07p (", {2024, 3, 5, 14, 7, 9}},
      {"12.31.05 12.00a (", {2005, 12, 31, 0, 0, 0}},
      {"1.2.26 12.59p (", {2026, 1, 2, 12, 59, 0}},
      {"12.9.26 9.00a ()", {2026, 12, 9, 9, 0, 0}},  // later than now: no age
  };
  for (const auto& [text, date] : cases) EXPECT_EQ(main.FormatAreaTime(date).substr(0, text.size()), text);
  EXPECT_EQ(main.FormatAreaTime({2026, 12, 8, 11, 58, 30}), "12.8.26 11.58a (2m ago)");
}

struct AnchoredCase {
  const char* name;
  std::string list;
  std::set<std::string> missing;
  ui::Answer answer;    // OK: no question expected
  std::string written;  // empty: nothing written
  std::string refusal;  // the engine's refusal, or empty
  std::string lastBox;  // the text of the last box, when one follows the question
};

class AnchoredCheck : public MainWindowTest, public ::testing::WithParamInterface<AnchoredCase> {};

TEST_P(AnchoredCheck, MissingEntriesAreTakenOffOnlyWhenTheUserAgrees) {
  const AnchoredCase& c = GetParam();
  engine.anchoredList = c.list;
  for (std::size_t start = 0; start < c.list.size();) {
    const std::size_t end = std::min(c.list.find(';', start), c.list.size());
    const std::string entry = c.list.substr(start, end - start);
    if (!entry.empty() && !c.missing.count(entry)) files.folder(entry);
    start = end + 1;
  }
  if (!c.refusal.empty()) engine.anchoredResult = -98;
  if (c.answer != ui::Answer::OK) toolkit.expectBox(c.answer);
  if (!c.lastBox.empty()) toolkit.expectBox();
  open();
  std::vector<std::string> writes;
  for (const auto& call : engine.anchoredCalls)
    if (!call.text.empty()) writes.push_back(call.text);
  EXPECT_EQ(writes, c.written.empty() ? Calls{} : Calls{c.written});
  if (c.answer == ui::Answer::OK) {
    EXPECT_TRUE(toolkit.shown.empty());
    return;
  }
  ASSERT_FALSE(toolkit.shown.empty());
  std::string question = "The following Anchored Files are not found.\r\r";
  for (const std::string& entry : c.missing) question += entry + "\r";
  EXPECT_TRUE(fakes::showedBoxes({toolkit.shown.front()},
                                 {{question + "\rDo you wish to remove them from the Anchored File list?",
                                   "Data Anchoring", ui::Buttons::YesNo, ui::Icon::Question, 1}}));
  if (!c.lastBox.empty()) {
    EXPECT_EQ(toolkit.shown.back().text, c.lastBox);
  }
  if (c.answer == ui::Answer::Yes) {
    EXPECT_EQ(engine.calls.back(), "KRV_AnchoredFiles(5000, )") << "the table is reloaded whatever happened";
  }
}

std::string manyEntries(int count, std::size_t width) {
  std::string list;
  for (int i = 1; i <= count; ++i) {
    std::string entry = "C:\\" + std::to_string(100 + i);
    entry.resize(width, 'x');
    list += (list.empty() ? "" : ";") + entry;
  }
  return list;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AnchoredCheck,
    ::testing::Values(
        AnchoredCase{"OneMissing", "C:\\A;C:\\B;C:\\C", {"C:\\B"}, ui::Answer::Yes, "C:\\A;C:\\C", "", ""},
        AnchoredCase{"AllMissing", "C:\\A;C:\\B", {"C:\\A", "C:\\B"}, ui::Answer::Yes, ";", "", ""},
        AnchoredCase{"KeptOnNo", "C:\\A;C:\\B", {"C:\\B"}, ui::Answer::No, "", "", ""},
        AnchoredCase{"StopsAtABlankEntry", "C:\\A;;C:\\B", {"C:\\B"}, ui::Answer::OK, "", "", ""},
        AnchoredCase{
            "ThirtyThirdNeverChecked", manyEntries(33, 8), {"C:\\133xxxx"}, ui::Answer::OK, "", "", ""},
        AnchoredCase{"RefusalShowsTheEngineText",
                     "C:\\A;C:\\B",
                     {"C:\\A"},
                     ui::Answer::Yes,
                     "C:\\B",
                     "refused",
                     "C:\\B"},
        AnchoredCase{"Exactly959Stored",
                     manyEntries(30, 31) + ";C:\\Gone",
                     {"C:\\Gone"},
                     ui::Answer::Yes,
                     manyEntries(30, 31),
                     "",
                     ""},
        AnchoredCase{"Exactly960Refused",
                     manyEntries(31, 30) + ";C:\\Gone",
                     {"C:\\Gone"},
                     ui::Answer::Yes,
                     "",
                     "",
                     "The Anchored File list is longer than 959 characters and cannot be stored. It was left "
                     "unchanged."},
        AnchoredCase{"TooLongIsRefusedNotCut",
                     manyEntries(31, 31) + ";C:\\Gone",
                     {"C:\\Gone"},
                     ui::Answer::Yes,
                     "",
                     "",
                     "The Anchored File list is longer than 959 characters and cannot be stored. It was left "
                     "unchanged."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, WithoutARescueAreaTheWindowStartsTheFirstCopyAfterThePassword) {
  engine.snapshots.pop_back();
  passwordInForce("Secret");
  answerPasswordWith({"secret", "Secret"});
  toolkit.expectBox();  // wrong case
  toolkit.expectBox();  // text 1101
  open();
  EXPECT_EQ(main.lblRescueBoot_1.caption(), "< Never booted >");
  EXPECT_EQ(main.lblUpdate_1.caption(), "< Currently not available >");
  EXPECT_EQ(main.menuItem("mBoot")->caption, "&Boot to ");
  EXPECT_EQ(main.lblPassword_1.caption(), "enabled");
  EXPECT_EQ(toolkit.shown.size(), 2u) << "no Copy/Update question";
  EXPECT_EQ(toolkit.shown[0].text, "You must enter the correct password to perform this function");
  EXPECT_TRUE(
      fakes::showedBoxes({toolkit.shown[1]}, {{"Your Rescue Area is being created. This may take some "
                                               "time. Please do not turn off your computer until the "
                                               "operation is complete.",
                                               "Korvane", ui::Buttons::OK, ui::Icon::Information, 1}}));
  EXPECT_EQ(started(), (Calls{"\"" + std::string(kFolder) +
                              "KRVCmd.exe\" \"Copy/Update\" COPY \"Original Area\" \"Rescue Area\" (1)"}));
  EXPECT_FALSE(main.autoCopy());

  // A later Copy/Update asks again.
  toolkit.expectBox(ui::Answer::No);
  toolkit.chooseMenu(main, "mCopy");
  EXPECT_EQ(started().size(), 1u);
}

TEST_F(MainWindowTest, ARunningCopyWindowMeansNoSecondCopyButTheNoticeStill) {
  engine.snapshots.pop_back();
  windows.add("55% Copy/Update");
  toolkit.expectBox();
  open();
  EXPECT_TRUE(started().empty());
  EXPECT_EQ(toolkit.shown.size(), 1u);
}

TEST_F(MainWindowTest, RemoveBootAndClearLogAskFirstAndHonourThePassword) {
  system.os = {5, 1, 2600, platform::kProductTypeWorkstation};
  passwordInForce("pw");
  open();

  // Remove: No is the default; a cancelled password starts nothing and sets nothing.
  toolkit.expectBox(ui::Answer::No);
  toolkit.chooseMenu(main, "mRemove");
  EXPECT_EQ(toolkit.shown.back().defaultButton, 2);
  std::string second =
      "After the operation completes, close Korvane. The next time Korvane is opened, the Rescue "
      "Area will be re-created.";
  krv::Commons::WrapMessageText(second);
  EXPECT_EQ(toolkit.shown.back().text, "Are you sure you wish to remove the Rescue Area?\r\r" + second);
  EXPECT_NE(second.find('\r'), std::string::npos) << "version 5.1 wraps the second paragraph";
  toolkit.expectBox(ui::Answer::Yes);
  answerPasswordWith({"<Esc>"});
  toolkit.chooseMenu(main, "mRemove");
  EXPECT_FALSE(main.areaRemoved());
  // A start that fails is shown and still disables Remove and Boot.
  processes.startResult = 0;
  toolkit.expectBox(ui::Answer::Yes);
  toolkit.expectBox();
  answerPasswordWith({"pw"});
  toolkit.chooseMenu(main, "mRemove");
  EXPECT_EQ(toolkit.shown.back().title, "Korvane Error");
  EXPECT_TRUE(main.areaRemoved());
  toolkit.tick(main.tmrRefresh);
  EXPECT_FALSE(main.menuItem("mRemove")->enabled);
  EXPECT_FALSE(main.menuItem("mBoot")->enabled);

  // Clear Log: No sends nothing, Yes asks the engine to drop every entry.
  engine.configurationCalls.clear();
  toolkit.expectBox(ui::Answer::No);
  toolkit.chooseMenu(main, "mClearLogs");
  EXPECT_TRUE(requests().empty());
  toolkit.expectBox(ui::Answer::Yes);
  toolkit.chooseMenu(main, "mClearLogs");
  EXPECT_EQ(requests(), (Calls{"keeplogs 88888888"}));

  // Boot: question, password, the other area made active, the restart; refused, the window closes.
  engine.configurationCalls.clear();
  toolkit.expectBox(ui::Answer::Yes);
  answerPasswordWith({"pw"});
  EXPECT_EQ(exitCodeOf([&] { main.BootToOtherArea(); }), 0);
  EXPECT_EQ(toolkit.shown.back().text, "Are you sure you wish to boot to the Rescue Area now?");
  EXPECT_EQ(toolkit.shown.back().title, "Boot To Rescue Area");
  EXPECT_EQ(requests(), (Calls{"active 1"}));
  shutdown.restart = {false, 1190};
  toolkit.expectBox(ui::Answer::Yes);
  toolkit.expectBox();
  answerPasswordWith({"pw"});
  main.BootToOtherArea();
  EXPECT_EQ(toolkit.shown.back().text, "ExitWindowsEx error =1190");
  EXPECT_FALSE(main.loaded());
}

TEST_F(MainWindowTest, PreBootSwitchesAndTheViewer) {
  open();
  // Disable: Enter at once and the close box disable nothing; the Disable button does.
  toolkit.modalScripts["fmDisable"] = [this](ui::Form& form) {
    auto& dialog = static_cast<krv::FmDisable&>(form);
    EXPECT_EQ(form.focused(), &dialog.cmdCancel);
    EXPECT_EQ(dialog.lblTaskTitle.font().bold, true);
    toolkit.press(form, ui::Key::Enter);
  };
  toolkit.chooseMenu(main, "mDisable");
  toolkit.modalScripts["fmDisable"] = [this](ui::Form& form) { toolkit.close(form); };
  toolkit.chooseMenu(main, "mDisable");
  const Calls sent = requests();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "preboot disable"), 0);
  // The engine still reports it enabled: a failure.
  toolkit.modalScripts["fmDisable"] = [this](ui::Form& form) {
    toolkit.click(static_cast<krv::FmDisable&>(form).cmdOK);
  };
  toolkit.expectBox();
  toolkit.chooseMenu(main, "mDisable");
  EXPECT_EQ(requests().back(), "preboot disable");
  EXPECT_TRUE(fakes::showedBoxes({toolkit.shown.back()},
                                 {{"There has been an error disabling the pre-boot screen", "Korvane Error",
                                   ui::Buttons::OK, ui::Icon::Critical, 1}}));
  engine.answer("preboot", "Disabled");
  toolkit.chooseMenu(main, "mDisable");
  toolkit.press(main, ui::Key::F5);
  EXPECT_EQ(main.lblPreBoot_1.caption(), "disabled");
  EXPECT_EQ(main.lblPreBoot_1.foreColor(), ui::rgb(0xA0, 0xA0, 0x00));
  // Enable, refused by the engine.
  toolkit.expectBox();
  toolkit.chooseMenu(main, "mEnable");
  EXPECT_EQ(requests().back(), "preboot enable");
  EXPECT_EQ(
      toolkit.shown.back().text,
      "There has been an error enabling the pre-boot screen\r\rIf this is the first time you have received "
      "this error, reboot the computer and wait 5 minutes.");

  // View Log: started hidden when absent, brought forward when open, reported when it cannot start.
  toolkit.chooseMenu(main, "mQuillon");
  EXPECT_EQ(started().back(), "\"" + std::string(kFolder) + "Quillon.exe\" (0)");
  const platform::WindowHandle viewer = windows.add(quillon::text::shared::Caption, true);
  toolkit.chooseMenu(main, "mQuillon");
  EXPECT_EQ(started().size(), 1u);
  EXPECT_FALSE(windows.windows[viewer - 1].minimised);
  EXPECT_EQ(windows.actions,
            (Calls{"restore " + std::to_string(viewer), "foreground " + std::to_string(viewer)}));
  windows.windows.pop_back();
  processes.startResult = 0;
  toolkit.expectBox();
  toolkit.chooseMenu(main, "mQuillon");
  EXPECT_EQ(toolkit.shown.back().text, std::string(kFolder) + "Quillon.exe not found");
}

struct SupportCase {
  const char* name;
  std::vector<int> checked;  // of Check1..Check4
  std::string days;          // typed into the days box ("" leaves "1")
  std::string box;           // the refusal shown, or empty
  std::string switches;      // what follows the program when the tool runs
};

class SupportDialog : public MainWindowTest, public ::testing::WithParamInterface<SupportCase> {};

TEST_P(SupportDialog, TheDaysAndTheBoxesMakeTheToolsSwitches) {
  const SupportCase& c = GetParam();
  open();
  toolkit.modalScripts["fmAbout"] = [this](ui::Form& form) {
    toolkit.click(static_cast<krv::FmAbout&>(form).cmdSupport);
  };
  toolkit.modalScripts["fmSupport"] = [&](ui::Form& form) {
    auto& d = static_cast<krv::FmSupport&>(form);
    EXPECT_EQ(d.Text1.left() - right(d.Check4), 40) << "the days follow the caption at the designed distance";
    EXPECT_EQ(right(d.Check4), d.Check4.left() + toolkit.widthOf(d.Check4.caption()) + 300);
    ui::Control* boxes[] = {&d.Check1, &d.Check2, &d.Check3, &d.Check4};
    for (int i = 0; i < 4; ++i)
      if (boxes[i]->value() != c.checked[i]) toolkit.click(*boxes[i]);
    if (!c.days.empty()) {
      toolkit.click(d.Text1);
      d.Text1.selectAll();
      toolkit.type(d.Text1, c.days);
      if (!c.checked[3]) toolkit.click(d.Check4);  // typing checked it; taken back here
    }
    if (!c.box.empty()) toolkit.expectBox();
    toolkit.press(d, ui::Key::Enter);
    if (!c.box.empty()) {
      EXPECT_TRUE(d.loaded()) << "refused: the dialog stays";
      EXPECT_EQ(toolkit.shown.back().text, c.box);
      EXPECT_EQ(toolkit.shown.back().icon, ui::Icon::None);
      toolkit.press(d, ui::Key::Escape);
    }
  };
  files.folders[krv::FmSupport::kDesktopFolder] = "C:\\Users\\u\\Desktop";
  toolkit.chooseMenu(main, "mAbout");
  std::vector<std::string> invoked;
  for (const std::string& line : processes.journal)
    if (line.rfind("invoke ", 0) == 0) invoked.push_back(line.substr(7));
  if (c.switches.empty()) {
    EXPECT_TRUE(invoked.empty());
  } else {
    EXPECT_EQ(invoked, (Calls{"\"" + std::string(kFolder) + "Diagsnap.exe\"" + c.switches + " (wait)",
                              "Notepad.exe Diagsnap.txt in C:\\Users\\u\\Desktop"}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, SupportDialog,
    ::testing::Values(
        SupportCase{"FirstThree", {1, 1, 1, 0}, "", "", " REG $KRV SYS SETUP MAIN"},
        SupportCase{"AllForSeven", {1, 1, 1, 1}, "007", "", " REG $KRV SYS SETUP MAIN DETAIL:7"},
        SupportCase{"OnlyDetail", {0, 0, 0, 1}, "30", "", " DETAIL:30"},
        SupportCase{"Zero", {1, 0, 0, 1}, "0", "Log days must be between 1 and 999", ""},
        SupportCase{"NotANumber", {1, 0, 0, 1}, "abc", "Log days must be between 1 and 999", ""},
        SupportCase{"Exponent", {0, 0, 0, 1}, "1e3", "Log days must be between 1 and 999", ""},
        SupportCase{"Thousand", {0, 0, 0, 1}, "1000", "Log days must be between 1 and 999", ""},
        SupportCase{"SpacesAround", {0, 0, 0, 1}, " 7 ", "", " DETAIL:7"},
        SupportCase{"DaysBeforeBoxes", {0, 0, 0, 0}, "0", "Log days must be between 1 and 999", ""},
        SupportCase{"Nothing", {0, 0, 0, 0}, "", "No support information selected", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, AboutHelpAndLicence) {
  open();
  // The about box: name, version, the support page; Support Info cancelled still closes it.
  toolkit.modalScripts["fmAbout"] = [this](ui::Form& form) {
    auto& about = static_cast<krv::FmAbout&>(form);
    EXPECT_EQ(about.caption(), "About Korvane\xE2\x84\xA2");
    EXPECT_EQ(about.lblVersion.caption(), "3.1.0 Build 42");
    EXPECT_GT(about.lblProductName.font().points, 0);
    toolkit.click(about.lblSupportURL);
    EXPECT_TRUE(about.loaded());
    toolkit.click(about.cmdSupport);
  };
  toolkit.modalScripts["fmSupport"] = [this](ui::Form& form) { toolkit.close(form); };
  const std::size_t calls = engine.calls.size();
  toolkit.chooseMenu(main, "mAbout");
  EXPECT_EQ(engine.calls.size(), calls) << "the about box refreshes nothing";
  for (const char* item : {"mOnlineHelp", "mPrivacyPolicy", "mUninstallInstructions"})
    toolkit.chooseMenu(main, item);
  ASSERT_EQ(shell.opened.size(), 4u);
  EXPECT_EQ(shell.opened[0], "http://go.pellora.example/go.pel?id=Korvane_Support");
  EXPECT_NE(shell.opened[1].find("/Korvane/Index.htm"), std::string::npos);
  EXPECT_NE(shell.opened[2].find("go.pel?id=Korvane_PRIVACY"), std::string::npos);
  EXPECT_NE(shell.opened[3].find("go.pel?id=Korvane_UNINSTALL"), std::string::npos);

  // The licence agreement: WordPad on the document; a box that names both when it cannot start.
  toolkit.chooseMenu(main, "mLicense");
  processes.invokeResults = {-1};
  toolkit.expectBox();
  toolkit.chooseMenu(main, "mLicense");
  EXPECT_EQ(processes.journal.back(),
            "invoke C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe C:\\$KRV\\$APP\\license.rtf");
  EXPECT_TRUE(
      fakes::showedBoxes({toolkit.shown.back()},
                         {{"The End User License Agreement is at C:\\$KRV\\$APP\\license.rtf\r\rThere was "
                           "an error running wordpad.exe",
                           "Korvane Error", ui::Buttons::OK, ui::Icon::Exclamation, 1}}));
}

TEST_F(MainWindowTest, SupportFailuresKeepTheDialogAndOKRunsTheToolAgain) {
  install("C:\\R&D Tools\\Korvane");
  open();
  toolkit.modalScripts["fmAbout"] = [this](ui::Form& form) {
    toolkit.click(static_cast<krv::FmAbout&>(form).cmdSupport);
  };
  toolkit.modalScripts["fmSupport"] = [this](ui::Form& form) {
    processes.invokeResults = {-3};
    toolkit.expectBox();
    toolkit.press(form, ui::Key::Enter);
    EXPECT_EQ(toolkit.shown.back().text, "There was an error running Diagsnap.exe");
    EXPECT_EQ(toolkit.shown.back().icon, ui::Icon::Critical);
    // The tool ran, but without the desktop folder its report cannot be found: Notepad, started
    // anywhere else, would only offer an empty file of that name.
    processes.invokeResults = {0};
    toolkit.expectBox();
    toolkit.press(form, ui::Key::Enter);
    EXPECT_TRUE(fakes::showedBoxes(
        {toolkit.shown.back()},
        {{"The support information report Diagsnap.txt could not be found: the desktop folder is unknown.",
          "Korvane Error", ui::Buttons::OK, ui::Icon::Critical, 1}}));
    EXPECT_TRUE(form.loaded());
    files.folders[krv::FmSupport::kDesktopFolder] = "C:\\Users\\u\\Desktop";
    processes.invokeResults = {0, -1};
    toolkit.expectBox();
    toolkit.press(form, ui::Key::Enter);
    EXPECT_EQ(toolkit.shown.back().text, "There was an error running Notepad.exe");
    EXPECT_TRUE(form.loaded());
    processes.invokeResults = {5, 0};  // a positive code is success
    toolkit.press(form, ui::Key::Enter);
    EXPECT_FALSE(form.loaded());
  };
  toolkit.chooseMenu(main, "mAbout");
  long runs = 0;
  Calls notepad;
  for (const std::string& line : processes.journal) {
    if (line.find("Notepad.exe") != std::string::npos) notepad.push_back(line);
    if (line.find("Diagsnap.exe") == std::string::npos) continue;
    ++runs;
    EXPECT_EQ(line.rfind("invoke \"C:\\R&D Tools\\Korvane\\Diagsnap.exe\" REG", 0), 0u) << line;
  }
  EXPECT_EQ(runs, 4);
  EXPECT_EQ(notepad, Calls(2, "invoke Notepad.exe Diagsnap.txt in C:\\Users\\u\\Desktop"));
}

std::vector<std::string> rowsOf(const ui::ListView& list) {
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < list.itemCount(); ++i)
    rows.push_back(list.item(i).text + "|" + list.item(i).iconKey);
  return rows;
}

TEST_F(MainWindowTest, TheWizardPagesAddRemoveAndFinish) {
  open();
  // The stored list as the engine gives it once the window is up.
  engine.anchoredList = "C:\\B;C:\\a;;C:\\Z";
  snapshots.LoadSnapshotTable();
  files.folder("C:\\B");
  files.existing["C:\\new.txt"] = 0;
  files.folder("C:\\New");
  toolkit.modalScripts["fmAnchor"] = [&](ui::Form& form) {
    auto& w = static_cast<krv::FmAnchor&>(form);
    // Welcome page.
    EXPECT_EQ(w.page(), 0);
    EXPECT_FALSE(w.cmdBack.enabled());
    EXPECT_EQ(w.cmdNext.caption(), "&Next");
    EXPECT_FALSE(w.cmdNew.visible());
    EXPECT_EQ(w.lblHeader.caption(), "Welcome to the Data Anchoring Wizard");
    toolkit.press(w, ui::Key::Enter);
    // The list page: the stored list up to its first empty field, sorted; Finish waits for a change.
    EXPECT_EQ(w.page(), 1);
    EXPECT_EQ(w.cmdNext.caption(), "&Finish");
    EXPECT_FALSE(w.cmdNext.enabled());
    EXPECT_TRUE(w.cmdDelete.enabled());
    EXPECT_EQ(rowsOf(w.lvAnchorList), (Calls{"C:\\a|missing", "C:\\B|folderAnchored"}));
    // Add: cancelled, refused by the engine, accepted.
    toolkit.click(w.cmdNew);
    EXPECT_EQ(w.lvAnchorList.itemCount(), 2u);
    engine.browseResult = 12;
    engine.browsePath = "C:\\new.txt";
    engine.anchorCheckResult = -98;
    toolkit.expectBox();
    toolkit.click(w.cmdNew);
    EXPECT_EQ(engine.anchorChecks.back().text, "C:\\a;C:\\B;C:\\new.txt");
    EXPECT_TRUE(fakes::showedBoxes(
        {toolkit.shown.back()}, {{"refused", "Data Anchoring", ui::Buttons::OK, ui::Icon::Exclamation, 1}}));
    EXPECT_FALSE(w.changed());
    engine.anchorCheckResult = 0;
    toolkit.click(w.cmdNew);
    engine.browsePath = "C:\\New";
    engine.browseResult = 8;
    toolkit.click(w.cmdNew);
    EXPECT_EQ(rowsOf(w.lvAnchorList), (Calls{"C:\\a|missing", "C:\\B|folderAnchored", "C:\\New|folderAdded",
                                             "C:\\new.txt|fileAdded"}));
    EXPECT_EQ(w.lvAnchorList.selectedIndex(), 2);
    EXPECT_TRUE(w.cmdNext.enabled());
    EXPECT_EQ(w.focused(), &w.cmdNext);
    // Back and Next keep the list and the change.
    toolkit.click(w.cmdBack);
    toolkit.click(w.cmdNext);
    EXPECT_TRUE(w.cmdNext.enabled());
    // Remove the last: the new last is chosen; remove the first: the one moved up is chosen.
    toolkit.clickItem(w.lvAnchorList, 3);
    toolkit.click(w.cmdDelete);
    EXPECT_EQ(w.lvAnchorList.selectedIndex(), 2);
    toolkit.clickItem(w.lvAnchorList, 0);
    toolkit.click(w.cmdDelete);
    EXPECT_EQ(w.lvAnchorList.item(static_cast<std::size_t>(w.lvAnchorList.selectedIndex())).text, "C:\\B");
    toolkit.press(w, ui::Key::Enter);
  };
  // The entry behind the empty field is not shown: the user is told so first.
  toolkit.expectBox();
  toolkit.chooseMenu(main, "mAnchoring");
  EXPECT_TRUE(fakes::showedBoxes(
      {toolkit.shown.front()},
      {{"The stored Anchored File list holds an empty entry. The entries after it are not shown here, "
        "and Finish stores only the list shown. Cancel leaves the stored list unchanged.",
        "Data Anchoring", ui::Buttons::OK, ui::Icon::Exclamation, 1}}));
  EXPECT_EQ(engine.anchoredList, "C:\\B;C:\\New");
  EXPECT_EQ(engine.calls.back(), "KRV_AnchoredFiles(5000, )") << "the table is read again";

  // Reopened: the stored list; every item removed stores ";"; a refused store names its code.
  engine.anchoredResult = -5;
  toolkit.modalScripts["fmAnchor"] = [&](ui::Form& form) {
    auto& w = static_cast<krv::FmAnchor&>(form);
    toolkit.click(w.cmdNext);
    EXPECT_EQ(w.lvAnchorList.itemCount(), 2u);
    toolkit.click(w.cmdDelete);
    toolkit.click(w.cmdDelete);
    EXPECT_FALSE(w.cmdDelete.enabled());
    EXPECT_TRUE(w.cmdNext.enabled());
    toolkit.expectBox();
    toolkit.click(w.cmdNext);
  };
  toolkit.chooseMenu(main, "mAnchoring");
  std::string lastWrite;
  for (const auto& call : engine.anchoredCalls)
    if (!call.text.empty()) lastWrite = call.text;
  EXPECT_EQ(lastWrite, ";") << "every item removed";
  EXPECT_EQ(toolkit.shown.back().text, "Korvane error  5 setting Anchored Data.");
}

// What the browse dialog hands back is read within its 260 characters, whatever count it answers.
TEST_F(MainWindowTest, TheWizardReadsABrowsedPathWithinItsBuffer) {
  struct Browsed {
    std::string path;
    std::int32_t result;
    bool unterminated;
    std::string row;
  };
  const std::string longest = "C:\\" + std::string(256, 'p');  // 259 characters and the NUL
  const std::string filling = "C:\\" + std::string(257, 'q');  // 260 characters, no room for a NUL
  const Browsed cases[] = {{longest, 261, false, longest},
                           {"C:\\Short", 1000, false, "C:\\Short"},
                           {filling, 262, true, filling},
                           {filling, 5000, true, filling}};
  open();
  for (const Browsed& c : cases) {
    SCOPED_TRACE(c.row.substr(0, 12) + " " + std::to_string(c.result));
    engine.anchoredList = ";";
    snapshots.LoadSnapshotTable();
    toolkit.modalScripts["fmAnchor"] = [&](ui::Form& form) {
      auto& w = static_cast<krv::FmAnchor&>(form);
      toolkit.click(w.cmdNext);
      engine.browsePath = c.path;
      engine.browseResult = c.result;
      engine.browseUnterminated = c.unterminated;
      toolkit.click(w.cmdNew);
      EXPECT_EQ(rowsOf(w.lvAnchorList), Calls{c.row + "|missing"});
      EXPECT_EQ(engine.anchorChecks.back().text, c.row);
      toolkit.click(w.cmdNext);
    };
    toolkit.chooseMenu(main, "mAnchoring");
    EXPECT_EQ(engine.anchoredList, c.row);
  }
}

TEST_F(MainWindowTest, TheWizardFitsItsColumnAndGuardsTheStore) {
  std::string stored;
  for (int i = 1; i <= 9; ++i) stored += (i > 1 ? ";" : "") + std::string("C:\\") + std::to_string(i);
  passwordInForce("pw");
  open();
  engine.anchoredList = stored;
  snapshots.LoadSnapshotTable();
  for (const bool nine : {true, false}) {
    toolkit.modalScripts["fmAnchor"] = [&](ui::Form& form) {
      auto& w = static_cast<krv::FmAnchor&>(form);
      toolkit.click(w.cmdNext);
      if (!nine) toolkit.click(w.cmdDelete);
      const int expected = w.lvAnchorList.width() - 4 * 15 - (nine ? 17 * 15 : 0);
      EXPECT_EQ(w.lvAnchorList.columnWidth(0), expected) << (nine ? "9 items" : "8 items");
      toolkit.click(w.cmdCancel);
    };
    toolkit.chooseMenu(main, "mAnchoring");
  }
  EXPECT_EQ(engine.anchoredList, stored) << "Cancel stores nothing";

  // A long path widens the column; a cancelled password stores nothing; a list too long for the
  // engine's buffer is refused whole, before the password is asked, and the wizard keeps it to be
  // shortened.
  engine.anchoredList = "C:\\" + std::string(600, 'p') + ";D:\\" + std::string(400, 'q');
  snapshots.LoadSnapshotTable();
  toolkit.modalScripts["fmAnchor"] = [&](ui::Form& form) {
    auto& w = static_cast<krv::FmAnchor&>(form);
    toolkit.click(w.cmdNext);
    EXPECT_EQ(w.lvAnchorList.columnWidth(0),
              static_cast<int>(std::lround(1.03125 * toolkit.widthOf(w.lvAnchorList.item(0).text))));
    toolkit.click(w.cmdDelete);
    toolkit.click(w.cmdNext);  // Finish: the prompt is cancelled
  };
  answerPasswordWith({"<Esc>"});
  const std::size_t stores = engine.anchoredCalls.size();
  toolkit.chooseMenu(main, "mAnchoring");
  EXPECT_EQ(engine.anchoredCalls.size(), stores) << "not even read again";
  toolkit.modalScripts["fmAnchor"] = [&](ui::Form& form) {
    auto& w = static_cast<krv::FmAnchor&>(form);
    toolkit.click(w.cmdNext);
    engine.browseResult = 5;
    engine.browsePath = "E:\\";
    toolkit.click(w.cmdNew);
    const Calls rows = rowsOf(w.lvAnchorList);
    toolkit.expectBox();
    toolkit.click(w.cmdNext);
    EXPECT_EQ(toolkit.shown.back().text.substr(0, 31), "The Anchored File list is longe");
    ASSERT_TRUE(w.loaded());
    EXPECT_EQ(w.page(), 1);
    EXPECT_EQ(rowsOf(w.lvAnchorList), rows);
    EXPECT_TRUE(w.cmdNext.enabled());
    toolkit.clickItem(w.lvAnchorList, 0);
    toolkit.click(w.cmdDelete);
    toolkit.click(w.cmdNext);
  };
  answerPasswordWith({"pw"});
  int prompts = 0;
  const auto prompt = toolkit.modalScripts["fmPassword"];
  toolkit.modalScripts["fmPassword"] = [&](ui::Form& form) {
    ++prompts;
    prompt(form);
  };
  toolkit.chooseMenu(main, "mAnchoring");
  for (const auto& call : engine.anchoredCalls) EXPECT_LT(call.text.size(), 960u);
  EXPECT_EQ(engine.anchoredList, "D:\\" + std::string(400, 'q') + ";E:\\");
  EXPECT_EQ(prompts, 1);
}

// An engine may fill each buffer it is handed up to the size declared for it: every caller hands
// over at least that much (with the address sanitizer, a short buffer stops the test where it is
// written past).
TEST_F(MainWindowTest, EveryBufferHandedToTheEngineHoldsTheSizeDeclaredForIt) {
  engine.fillsDeclaredSizes = true;
  // The settings and the anchored list read; a missing anchored entry taken off the list.
  engine.anchoredList = "C:\\Data;C:\\Gone";
  files.folder("C:\\Data");
  toolkit.expectBox(ui::Answer::Yes);
  open();
  // Options: the list editor, the browser and the check; OK writes a changed setting.
  engine.editResult = 6;
  engine.editText = "C:\\x";
  engine.browseResult = 6;
  engine.browsePath = "D:\\y";
  toolkit.modalScripts["fmOptions"] = [&](ui::Form& form) {
    auto& d = static_cast<krv::FmOptions&>(form);
    toolkit.chooseItem(d.cmbHotkey, 3);
    toolkit.chooseTab(d.ssOptions, krv::FmOptions::kCopyTab);
    toolkit.click(d.cmdEdit);
    toolkit.click(d.cmdBrowse);
    EXPECT_EQ(d.txtExcluded.caption(), "C:\\x\r\nD:\\y");
    toolkit.click(d.cmdOK);
  };
  toolkit.chooseMenu(main, "mOptions");
  // The wizard: the browser, the check and the store.
  files.folder("E:\\z");
  engine.browsePath = "E:\\z";
  toolkit.modalScripts["fmAnchor"] = [&](ui::Form& form) {
    auto& w = static_cast<krv::FmAnchor&>(form);
    toolkit.click(w.cmdNext);
    toolkit.click(w.cmdNew);
    toolkit.click(w.cmdNext);
  };
  toolkit.chooseMenu(main, "mAnchoring");
  EXPECT_EQ(engine.anchoredList, "C:\\Data;E:\\z");
  // The lists set at the first run and from the command line.
  EXPECT_EQ(lists.SetExclusionList("C:\\x"), 0);
  EXPECT_EQ(lists.SetAnchoredList("C:\\Data"), 0);

  std::set<std::string> reached;
  for (const std::string& call : engine.calls) reached.insert(call.substr(0, call.find('(')));
  for (const char* name : {"KRV_AnchoredFiles", "KRV_CheckAnchorList", "KRV_CheckExcludedFiles",
                           "KRV_BrowseFolders", "KRV_ShowEditDialog", "KRV_Configuration"})
    EXPECT_TRUE(reached.count(name)) << name;
  bool wrote = false;
  for (const std::string& request : requests()) wrote = wrote || request.find(' ') != std::string::npos;
  EXPECT_TRUE(wrote) << "a setting written";
}

}  // namespace
