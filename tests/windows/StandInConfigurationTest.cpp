// The engine stand-in's boot configuration, asked as the manager asks it: through its own
// configuration functions over the library loaded by name, and with raw requests for what the
// manager never sends.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "automation/TestEnvironment.h"
#include "manager/engine/KRVCopyAPI.h"
#include "manager/engine/KRVFunctions.h"
#include "platform/win32/Win32Platform.h"

namespace {

using krv::ConfigSetting;
namespace win32 = platform::win32;

class StandInConfiguration : public testing::Test {
 protected:
  // The raw reply to one request, or the call's failure code as "result <n>".
  std::string ask(const std::string& request) {
    std::string text = request;
    char reply[300];
    std::memset(reply, 'x', sizeof(reply));
    const std::int32_t result = engine_.KRV_Configuration(8000, text.data(), reply);
    if (result != 0) return "result " + std::to_string(result);
    if (!std::memchr(reply, '\0', 100)) return "no NUL within 100 bytes";
    return reply;
  }
  std::int32_t number(ConfigSetting setting) {
    std::int32_t value = -12345;
    if (!configuration_.GetConfigValue(setting, value)) return -12345;
    return value;
  }

  automation::Installation install_;
  std::unique_ptr<platform::LibraryLoader> loader_ = win32::createLibraryLoader();
  std::unique_ptr<platform::AnsiCodec> codec_ = win32::createAnsiCodec();
  krv::LibraryCopyAPI engine_{*loader_};
  krv::KRVFunctions configuration_{engine_, *codec_};
};

TEST_F(StandInConfiguration, AFreshEngineAnswersEveryReadWithItsDefault) {
  EXPECT_EQ(ask("keeplogs"), "30");
  EXPECT_EQ(ask("preboot"), "Disabled");
  EXPECT_EQ(ask("showprompt"), "Yes");
  EXPECT_EQ(ask("hotkey"), "F5");
  EXPECT_EQ(ask("keywait"), "5");
  EXPECT_EQ(ask("maxfailedboots"), "0");
  EXPECT_EQ(ask("lastswap"), "0 0");
  EXPECT_EQ(ask("CopyPasswordEnabled"), "False");
  EXPECT_EQ(ask("CopyPassword"), "") << "no password was ever set";

  // The last boot is the system's start: a date-time in the past.
  classic::DateTime lastBoot;
  ASSERT_TRUE(configuration_.GetConfigValue(ConfigSetting::LastBoot, lastBoot)) << ask("lastboot");
  EXPECT_FALSE(lastBoot.isZero()) << ask("lastboot");
  EXPECT_EQ(ask("lastboot").size(), 19u);
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_LE(lastBoot.year, now.wYear);
  EXPECT_GE(lastBoot.year, 2000);

  classic::DateTime lastSwap = classic::makeDateTime(2020, 1, 1);
  ASSERT_TRUE(configuration_.GetConfigValue(ConfigSetting::LastSwap, lastSwap));
  EXPECT_TRUE(lastSwap.isZero());
}

TEST_F(StandInConfiguration, EveryWritableSettingIsKeptInTheStateAndReadBack) {
  std::int32_t value = 0;
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::KeepLogs, value = 45));
  EXPECT_EQ(number(ConfigSetting::KeepLogs), 45);
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::ShowPrompt, value = 0));
  EXPECT_EQ(value, 0) << "the engine reports the new state";
  EXPECT_EQ(number(ConfigSetting::ShowPrompt), 0);
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::Hotkey, value = 10));
  EXPECT_EQ(ask("hotkey"), "F10");
  EXPECT_EQ(number(ConfigSetting::Hotkey), 10);
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::KeyWait, value = 15));
  EXPECT_EQ(number(ConfigSetting::KeyWait), 15);
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::MaxFailedBoots, value = 3));
  EXPECT_EQ(number(ConfigSetting::MaxFailedBoots), 3);
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::Active, value = 1));
  EXPECT_EQ(install_.engineState().get("config.active"), "1");
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::CopyPasswordEnabled, value = -1));
  EXPECT_EQ(number(ConfigSetting::CopyPasswordEnabled), 1);
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::CopyPassword, std::string("Tr0ub4dor&3")));
  std::string password;
  EXPECT_TRUE(configuration_.GetConfigValue(ConfigSetting::CopyPassword, password));
  EXPECT_EQ(password, "Tr0ub4dor&3");
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::CopyPassword, std::string()));
  EXPECT_TRUE(configuration_.GetConfigValue(ConfigSetting::CopyPassword, password = "left"));
  EXPECT_EQ(password, "") << "an empty password clears it";

  // Purging switched off: the engine answers "Forever", which the manager reads as 0.
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::KeepLogs, value = -30));
  EXPECT_EQ(ask("keeplogs"), "Forever");
  EXPECT_EQ(number(ConfigSetting::KeepLogs), 0);
  EXPECT_EQ(install_.engineState().get("config.keeplogs"), "-30") << "its magnitude is kept";
}

TEST_F(StandInConfiguration, PreBootSwitchesAndReportsItsState) {
  EXPECT_EQ(configuration_.EnablePreBoot(), 0);
  EXPECT_EQ(ask("preboot"), "Enabled");
  EXPECT_EQ(number(ConfigSetting::PreBoot), 1);
  EXPECT_EQ(configuration_.DisablePreBoot(), 0);
  EXPECT_EQ(number(ConfigSetting::PreBoot), 0);
  // An engine that refuses the switch: the manager's switch reports the failure.
  ASSERT_TRUE(install_.engineState().set("config.preboot.reply", "Disabled"));
  EXPECT_EQ(configuration_.EnablePreBoot(), krv::kPreBootSwitchFailed);
}

TEST_F(StandInConfiguration, UnknownKeysReadOnlySettingsAndRefusedValuesAnswerError) {
  EXPECT_EQ(ask("nosuchkey"), "Error");
  EXPECT_EQ(ask(""), "Error");
  EXPECT_EQ(ask("lastboot 01/01/2020 00:00:00"), "Error");
  EXPECT_EQ(ask("lastswap 1 1"), "Error");
  EXPECT_EQ(ask("preboot maybe"), "Error");
  EXPECT_EQ(ask("hotkey 5"), "Error") << "a function key is named with its f";
  EXPECT_EQ(ask("hotkey f0"), "Error");
  EXPECT_EQ(ask("keywait-5"), "Error") << "a negative delay";
  EXPECT_EQ(ask("keywait abc"), "Error");
  EXPECT_EQ(ask("keeplogs  0"), "Error");
  EXPECT_EQ(ask("keeplogs 1000"), "Error");
  EXPECT_EQ(ask("CopyPassword two words"), "Error");
  EXPECT_EQ(ask("CopyPasswordEnabled maybe"), "Error");
  EXPECT_EQ(ask("keywait"), "5") << "nothing refused was stored";
  EXPECT_EQ(ask("CopyPassword"), "");
  // Keys are the engine's, whatever their case.
  EXPECT_EQ(ask("KEYWAIT 10"), "10");
  EXPECT_EQ(ask("copypasswordenabled"), "False");
}

TEST_F(StandInConfiguration, TheStateCanMakeOneKeyFailOrAnswerError) {
  install_.setEngineState({"config.hotkey.reply=Error", "config.keywait.result=-103",
                           "config.CopyPassword.reply=" + std::string(150, 'p')});
  std::int32_t value = 7;
  EXPECT_FALSE(configuration_.GetConfigValue(ConfigSetting::Hotkey, value));
  EXPECT_FALSE(configuration_.SetConfigValue(ConfigSetting::Hotkey, value));
  EXPECT_EQ(value, 7);
  EXPECT_EQ(ask("keywait"), "result -103");
  EXPECT_EQ(ask("keywait 10"), "result -103");
  EXPECT_FALSE(install_.engineState().get("config.keywait")) << "a failed call stores nothing";
  EXPECT_EQ(ask("maxfailedboots"), "0") << "other keys answer as ever";
  EXPECT_EQ(ask("CopyPassword").size(), 99u) << "a reply never overruns the smallest reply buffer";
}

TEST_F(StandInConfiguration, ClearingTheLogEmptiesTheMasterLogAndKeepsTheDayCount) {
  std::string line = "an old entry";
  ASSERT_EQ(engine_.KRV_LogMessage(0, line.data()), 0);
  ASSERT_NE(automation::readFile(install_.masterLogPath()).value_or(""), "");
  EXPECT_TRUE(configuration_.SetConfigValue(ConfigSetting::KeepLogsText, std::string("88888888")));
  EXPECT_EQ(automation::readFile(install_.masterLogPath()), std::string());
  EXPECT_EQ(number(ConfigSetting::KeepLogs), 30);
}

}  // namespace
