// The preference record: its load with every fallback and its change-only save.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "unit/ServicesFixture.h"

namespace krv {
// Names each field when a comparison fails.
void PrintTo(const PreferenceRecord& r, std::ostream* out) {
  *out << "{prompt " << r.showPrompt << ", hotkey " << r.bootHotkey << ", delay " << r.bootSplashDelay
       << ", retry " << r.failedBoots << ", tray " << r.trayIconAppearance << ", exclusions \""
       << r.exclusionList << "\", restore " << r.excludeSystemRestore << ", beep " << r.beepAfterTask
       << ", days " << r.logKeepDays << ", password " << r.copyPasswordEnabled << " \"" << r.copyPassword
       << "\"}";
}
}  // namespace krv

namespace {

using Timeline = std::vector<std::string>;
using krv::kPreferencesKey;

class PreferencesTest : public ServicesFixture {
 protected:
  // The engine and the registry holding a value for every preference.
  void storeEverything() {
    registry.putNumber(kPreferencesKey, "TrayIconAppearance", 2);
    registry.putNumber(kPreferencesKey, "BeepAfterTask", 0);
    registry.putWideText(kPreferencesKey, "DefaultExclusionList", "C:\\temp;C:\\pagefile.sys");
    registry.putNumber(kPreferencesKey, "ExcludeSystemRestore", 0);
    engine.answer("showprompt", "No");
    engine.answer("hotkey", "F3");
    engine.answer("keywait", "10");
    engine.answer("maxfailedboots", "3");
    engine.answer("keeplogs", "-45");
    engine.answer("CopyPasswordEnabled", "True");
    engine.answer("CopyPassword", "s3cret");
  }
  // Loads, then forgets what the load did.
  void load() {
    preferences.LoadPreferences();
    timeline.clear();
    registry.queries.clear();
    engine.configurationCalls.clear();
  }
};

TEST_F(PreferencesTest, LoadReadsEveryFieldInItsOrder) {
  storeEverything();
  preferences.LoadPreferences();
  const krv::PreferenceRecord expected{0, 3, 10, 3, 2, "C:\\temp;C:\\pagefile.sys", 0, 0, -45, 1, "s3cret"};
  EXPECT_EQ(preferences.current(), expected);
  EXPECT_EQ(preferences.saved(), expected);
  EXPECT_EQ(preferences.defaults(), krv::PreferenceRecord{});
  EXPECT_EQ(requests(), (Timeline{"showprompt", "hotkey", "keywait", "maxfailedboots", "keeplogs",
                                  "CopyPasswordEnabled", "CopyPassword"}));
  std::vector<std::string> read;
  for (const auto& query : registry.queries) read.push_back(query.value + (query.wide ? " (wide)" : ""));
  EXPECT_EQ(read, (Timeline{"TrayIconAppearance", "BeepAfterTask", "DefaultExclusionList (wide)",
                            "ExcludeSystemRestore"}));
}

TEST_F(PreferencesTest, LoadFallsBackToTheDefaultsAndNeverKeepsWhatWasEditedBefore) {
  for (const char* key : {"showprompt", "hotkey", "keywait", "maxfailedboots", "keeplogs",
                          "CopyPasswordEnabled", "CopyPassword"})
    engine.answer(key, "5", -99);  // the engine cannot be reached
  preferences.current().bootHotkey = 9;
  preferences.current().copyPassword = "edited";
  preferences.LoadPreferences();  // and the registry is empty
  EXPECT_EQ(preferences.current(), krv::PreferenceRecord{});
  EXPECT_EQ(preferences.saved(), krv::PreferenceRecord{});

  // A refusing engine: the flags read as off, and its word is the password.
  engine.configuration.clear();
  preferences.LoadPreferences();
  EXPECT_EQ(preferences.current(), (krv::PreferenceRecord{0, 1, 2, 0, 1, "", 1, 1, 30, 0, "Error"}));

  for (const char* days : {"0", "Forever", "Error"}) {
    engine.answer("keeplogs", days);
    preferences.LoadPreferences();
    EXPECT_EQ(preferences.current().logKeepDays, 30) << days;
  }
}

TEST_F(PreferencesTest, ASaveWithoutChangesWritesNothing) {
  load();  // every value missing: the defaults are not written back
  windows.add("OVS_KRV_Monitor");
  EXPECT_TRUE(preferences.SavePreferences(0x1234));
  EXPECT_TRUE(timeline.empty());
}

TEST_F(PreferencesTest, SaveWritesTheChangedFieldsInOrderAndTellsTheMonitorAfterTheTrayIcon) {
  storeEverything();
  load();
  windows.add("OVS_KRV_Monitor");
  engine.answer("showprompt", "Yes");
  krv::PreferenceRecord& now = preferences.current();
  now = {1, 7, 5, 0, 3, "C:\\other", 1, 1, 60, 0, ""};
  EXPECT_TRUE(preferences.SavePreferences(0x1234));
  EXPECT_EQ(
      timeline,
      (Timeline{"write TrayIconAppearance", "copyData !", "KRV_Configuration(8000, showprompt yes)",
                "KRV_Configuration(8000, hotkey f7)", "KRV_Configuration(8000, keywait 5)",
                "KRV_Configuration(8000, maxfailedboots 0)", "write BeepAfterTask",
                "write DefaultExclusionList", "write ExcludeSystemRestore",
                "KRV_Configuration(8000, keeplogs  60)", "KRV_Configuration(8000, CopyPasswordEnabled False)",
                "KRV_Configuration(8000, CopyPassword )"}));
  EXPECT_EQ(windows.copyData[0].sender, 0x1234u);
  EXPECT_EQ(windows.copyData[0].bytes, "!" + std::string(79, '\0'));
  EXPECT_EQ(registry.get(kPreferencesKey, "DefaultExclusionList")->bytes.size(), 18u);
  EXPECT_EQ(preferences.saved(), now);
}

TEST_F(PreferencesTest, ChangingOnlyTheBeepWritesOnlyTheBeep) {
  load();
  windows.add("OVS_KRV_Monitor");
  preferences.current().beepAfterTask = 0;
  EXPECT_TRUE(preferences.SavePreferences(0x1234));
  EXPECT_EQ(timeline, (Timeline{"write BeepAfterTask"}));
  EXPECT_EQ(registry.get(kPreferencesKey, "BeepAfterTask")->type, platform::kRegDword);
}

TEST_F(PreferencesTest, AFailedWriteMakesTheSaveFalseButStillCountsAsSaved) {
  load();
  windows.add("OVS_KRV_Monitor");
  registry.failingWrites = {"TrayIconAppearance"};
  preferences.current().trayIconAppearance = 3;
  preferences.current().bootHotkey = 4;  // the engine answers "Error"
  preferences.current().excludeSystemRestore = 0;
  EXPECT_FALSE(preferences.SavePreferences(0));
  EXPECT_EQ(timeline, (Timeline{"write TrayIconAppearance", "copyData !",
                                "KRV_Configuration(8000, hotkey f4)", "write ExcludeSystemRestore"}))
      << "the monitor hears of the change whatever the write gave, and the other writes go on";
  EXPECT_EQ(preferences.saved(), preferences.current());
  timeline.clear();
  EXPECT_TRUE(preferences.SavePreferences(0)) << "not retried until it changes again";
  EXPECT_TRUE(timeline.empty());

  // One failure among successes is enough.
  engine.answer("keeplogs", "Error");
  preferences.current().logKeepDays = -30;
  preferences.current().beepAfterTask = 0;
  EXPECT_FALSE(preferences.SavePreferences(0));
}

TEST_F(PreferencesTest, ThePromptHoldsTheStateTheEngineReports) {
  load();
  engine.answer("showprompt", "No");
  krv::PreferenceRecord& now = preferences.current();
  now.showPrompt = 5;  // anything but 1 asks for "no"
  EXPECT_TRUE(preferences.SavePreferences(0));
  EXPECT_EQ(requests(), (Timeline{"showprompt no"}));
  EXPECT_EQ(now.showPrompt, 0);
  EXPECT_EQ(preferences.saved().showPrompt, 0);
}

}  // namespace
