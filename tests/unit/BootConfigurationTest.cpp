// The engine's boot configuration: the request texts, the reply interpretations, the buffers, and
// the engine date-time texts.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes/FakeCopyAPI.h"
#include "manager/common/Commons.h"
#include "manager/engine/KRVFunctions.h"

namespace {

using classic::DateTime;
using krv::ConfigSetting;

class BootConfigurationTest : public ::testing::Test {
 protected:
  static std::string keyOf(ConfigSetting setting) {
    static const std::map<ConfigSetting, std::string> keys = {
        {ConfigSetting::KeepLogs, "keeplogs"},
        {ConfigSetting::PreBoot, "preboot"},
        {ConfigSetting::ShowPrompt, "showprompt"},
        {ConfigSetting::Hotkey, "hotkey"},
        {ConfigSetting::KeyWait, "keywait"},
        {ConfigSetting::MaxFailedBoots, "maxfailedboots"},
        {ConfigSetting::LastBoot, "lastboot"},
        {ConfigSetting::LastSwap, "lastswap"},
        {ConfigSetting::Active, "active"},
        {ConfigSetting::CopyPasswordEnabled, "CopyPasswordEnabled"},
        {ConfigSetting::CopyPassword, "CopyPassword"}};
    return keys.at(setting);
  }
  // The number a read of the setting gives for this reply, or kUnset when the read gave false
  // (the field is checked to be left alone then). Every read sends the key alone.
  static constexpr std::int32_t kUnset = -7777;
  std::int32_t readNumber(ConfigSetting setting, const std::string& reply) {
    engine.answer(keyOf(setting), reply);
    std::int32_t value = kUnset;
    const bool ok = configuration.GetConfigValue(setting, value);
    EXPECT_EQ(ok, value != kUnset) << reply;
    expectLastCall(keyOf(setting), 300);
    return value;
  }
  // The last request, to caller 8000, with a reply buffer of this size where the build can measure it.
  void expectLastCall(const std::string& request, std::size_t replyBytes) {
    ASSERT_FALSE(engine.configurationCalls.empty());
    const auto& call = engine.configurationCalls.back();
    EXPECT_EQ(call.request, request);
    EXPECT_EQ(call.caller, 8000);
    if (call.replyCapacity != 0) {
      EXPECT_EQ(call.replyCapacity, replyBytes) << call.request;
    }
  }
  std::string lastRequest() const {
    return engine.configurationCalls.empty() ? "" : engine.configurationCalls.back().request;
  }

  fakes::FakeCopyAPI engine;
  platform::Windows1252Codec codec;
  krv::KRVFunctions configuration{engine, codec};
};

TEST_F(BootConfigurationTest, SettingsOfAnotherKindOrNotMarkedForTheOperationNeverReachTheEngine) {
  std::int32_t number = 5;
  DateTime date{2020, 1, 1};
  std::string text = "kept";
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::KeepLogsText, number));
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::KeepLogsText, text));
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::Active, number));
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::LastBoot, number));
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::Hotkey, date));
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::Hotkey, text));
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::CopyPassword, number));
  EXPECT_FALSE(configuration.GetConfigValue(static_cast<ConfigSetting>(4), number));
  EXPECT_FALSE(configuration.SetConfigValue(ConfigSetting::LastBoot, number));
  EXPECT_FALSE(configuration.SetConfigValue(ConfigSetting::LastSwap, text));
  EXPECT_FALSE(configuration.SetConfigValue(ConfigSetting::CopyPassword, number));
  EXPECT_FALSE(configuration.SetConfigValue(ConfigSetting::KeepLogs, std::string("30")));
  EXPECT_FALSE(configuration.SetConfigValue(static_cast<ConfigSetting>(31), number));
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_EQ(number, 5);
  EXPECT_EQ(date, (DateTime{2020, 1, 1}));
  EXPECT_EQ(text, "kept");
}

TEST_F(BootConfigurationTest, KeepLogsReadsTheLeadingNumberRoundedHalfToEven) {
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "45"), 45);
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "  -45  "), -45);  // trimmed
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "Forever"), 0);
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "forever"), 0);  // no number either
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "30 days"), 30);
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "44.5"), 44);
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "45.5"), 46);
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "Error"), kUnset);
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "ERROR"), 0);  // only the exact word is a refusal
  EXPECT_EQ(readNumber(ConfigSetting::KeepLogs, "99999999999"), kUnset) << "does not fit the field";
}

TEST_F(BootConfigurationTest, FlagsAreOneOnlyForTheirExactWord) {
  EXPECT_EQ(readNumber(ConfigSetting::PreBoot, "Enabled"), 1);
  EXPECT_EQ(readNumber(ConfigSetting::PreBoot, "enabled"), 0);
  EXPECT_EQ(readNumber(ConfigSetting::PreBoot, "Error"), 0) << "a refusal still reads, as off";
  EXPECT_EQ(readNumber(ConfigSetting::ShowPrompt, "Yes"), 1);
  EXPECT_EQ(readNumber(ConfigSetting::ShowPrompt, "yes"), 0);
  EXPECT_EQ(readNumber(ConfigSetting::CopyPasswordEnabled, "True"), 1);
  EXPECT_EQ(readNumber(ConfigSetting::CopyPasswordEnabled, "TRUE"), 0);
  EXPECT_EQ(readNumber(ConfigSetting::CopyPasswordEnabled, ""), 0);
}

TEST_F(BootConfigurationTest, HotkeyDropsTheKeysLetter) {
  EXPECT_EQ(readNumber(ConfigSetting::Hotkey, "F9"), 9);
  EXPECT_EQ(readNumber(ConfigSetting::Hotkey, "F10"), 10);
  EXPECT_EQ(readNumber(ConfigSetting::Hotkey, "9"), 0);
  EXPECT_EQ(readNumber(ConfigSetting::Hotkey,
                       "\xE9"
                       "7"),
            7);  // a non-ASCII first character is one
  EXPECT_EQ(readNumber(ConfigSetting::Hotkey, "Error"), kUnset);
}

TEST_F(BootConfigurationTest, DelayAndRetryMustBeNumbers) {
  for (ConfigSetting setting : {ConfigSetting::KeyWait, ConfigSetting::MaxFailedBoots}) {
    EXPECT_EQ(readNumber(setting, "5"), 5);
    EXPECT_EQ(readNumber(setting, "0"), 0);
    EXPECT_EQ(readNumber(setting, "2.5"), 2);
    EXPECT_EQ(readNumber(setting, "Error"), kUnset);
    EXPECT_EQ(readNumber(setting, "5 sec"), kUnset);
    EXPECT_EQ(readNumber(setting, ""), kUnset);
    EXPECT_EQ(readNumber(setting, "-"), kUnset);
  }
}

TEST_F(BootConfigurationTest, AFailedCallProducesNothingWhateverTheBufferHolds) {
  engine.configuration["keeplogs"] = {-99, "45", true};
  engine.configuration["lastboot"] = {1, "12/31/2023 23:59:59", true};
  engine.configuration["CopyPassword"] = {-1, "secret", true};
  std::int32_t number = 3;
  DateTime date{2020, 1, 1};
  std::string text = "kept";
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::KeepLogs, number));
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::LastBoot, date));
  EXPECT_FALSE(configuration.GetConfigValue(ConfigSetting::CopyPassword, text));
  EXPECT_FALSE(configuration.SetConfigValue(ConfigSetting::CopyPassword, std::string("new")));
  engine.configuration["preboot"] = {-5, "Enabled", true};
  std::int32_t preboot = 0;
  EXPECT_FALSE(configuration.SetConfigValue(ConfigSetting::PreBoot, preboot));
  EXPECT_EQ(number, 3);
  EXPECT_EQ(date, (DateTime{2020, 1, 1}));
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(preboot, 0);
}

TEST_F(BootConfigurationTest, DatesReadFromTheEngine) {
  DateTime date{2020, 1, 1};
  engine.answer("lastboot", "12/31/2023 23:59:59");
  EXPECT_TRUE(configuration.GetConfigValue(ConfigSetting::LastBoot, date));
  EXPECT_EQ(date, (DateTime{2023, 12, 31, 23, 59, 59}));
  expectLastCall("lastboot", 300);
  engine.answer("lastboot", "12/31/2023");  // no time: no date
  EXPECT_TRUE(configuration.GetConfigValue(ConfigSetting::LastBoot, date));
  EXPECT_TRUE(date.isZero());

  engine.answer("lastswap", "0 0");
  date = {2020, 1, 1};
  EXPECT_TRUE(configuration.GetConfigValue(ConfigSetting::LastSwap, date));
  EXPECT_TRUE(date.isZero());
  expectLastCall("lastswap", 300);
  engine.answer("lastswap", "03/04/2025 05:06:07");
  EXPECT_TRUE(configuration.GetConfigValue(ConfigSetting::LastSwap, date));
  EXPECT_EQ(date, (DateTime{2025, 3, 4, 5, 6, 7}));

  for (ConfigSetting setting : {ConfigSetting::LastBoot, ConfigSetting::LastSwap}) {
    engine.answer(keyOf(setting), "Error");
    date = {2020, 1, 1};
    EXPECT_FALSE(configuration.GetConfigValue(setting, date));
    EXPECT_EQ(date, (DateTime{2020, 1, 1}));
  }
}

TEST(ParseEngineDateTimeTest, ReadsFixedPositionsAndCarries) {
  using krv::Commons;
  EXPECT_EQ(Commons::ParseEngineDateTime("12/31/2023 23:59:59"), (DateTime{2023, 12, 31, 23, 59, 59}));
  EXPECT_EQ(Commons::ParseEngineDateTime("13/01/2023 00:00:00"), (DateTime{2024, 1, 1}));
  EXPECT_EQ(Commons::ParseEngineDateTime("12/31/2023 24:00:00"), (DateTime{2024, 1, 1}));
  EXPECT_EQ(Commons::ParseEngineDateTime("02/30/2024 10:61:00"), (DateTime{2024, 3, 1, 11, 1, 0}));
  EXPECT_EQ(Commons::ParseEngineDateTime("07-04.2024T08x09y10 and more"), (DateTime{2024, 7, 4, 8, 9, 10}));
  EXPECT_EQ(Commons::ParseEngineDateTime(" 7/ 4/2024  8: 9:10"), (DateTime{2024, 7, 4, 8, 9, 10}));
  // A separator beyond ASCII is still one position.
  EXPECT_EQ(Commons::ParseEngineDateTime("07\xC2\xB7"
                                         "04/2024 08:09:10"),
            (DateTime{2024, 7, 4, 8, 9, 10}));
  for (const char* bad : {"", "12/31/2023", "12/31/2023 23:59:5", "1a/31/2023 23:59:59",
                          "12/31/20x3 23:59:59", "12/31/2023 23:59:+9", "12/31/2023   :59:59"})
    EXPECT_TRUE(Commons::ParseEngineDateTime(bad).isZero()) << bad;
}

TEST_F(BootConfigurationTest, ThePasswordIsTheReplyText) {
  std::string text;
  engine.answer("CopyPassword", "  s3cret  ");
  EXPECT_TRUE(configuration.GetConfigValue(ConfigSetting::CopyPassword, text));
  EXPECT_EQ(text, "s3cret");
  expectLastCall("CopyPassword", 300);
  engine.answer("CopyPassword", "Error");
  EXPECT_TRUE(configuration.GetConfigValue(ConfigSetting::CopyPassword, text));
  EXPECT_EQ(text, "Error");
  // An engine that fills the whole buffer and forgets the NUL is read up to the buffer's end.
  engine.configuration["CopyPassword"] = {0, std::string(300, 'x'), false};
  EXPECT_TRUE(configuration.GetConfigValue(ConfigSetting::CopyPassword, text));
  EXPECT_EQ(text, std::string(300, 'x'));
}

TEST_F(BootConfigurationTest, WriteRequestTexts) {
  struct Case {
    ConfigSetting setting;
    std::int32_t value;
    const char* request;
  };
  const Case cases[] = {
      {ConfigSetting::KeepLogs, 30, "keeplogs  30"},
      {ConfigSetting::KeepLogs, -30, "keeplogs -30"},
      {ConfigSetting::KeepLogs, 0, "keeplogs  0"},
      {ConfigSetting::PreBoot, 1, "preboot enable"},
      {ConfigSetting::PreBoot, 2, "preboot disable"},
      {ConfigSetting::ShowPrompt, 1, "showprompt yes"},
      {ConfigSetting::ShowPrompt, -1, "showprompt no"},
      {ConfigSetting::Hotkey, 5, "hotkey f5"},
      {ConfigSetting::Hotkey, 10, "hotkey f10"},
      {ConfigSetting::KeyWait, 5, "keywait 5"},
      {ConfigSetting::KeyWait, -5, "keywait-5"},
      {ConfigSetting::MaxFailedBoots, 0, "maxfailedboots 0"},
      {ConfigSetting::Active, 3, "active 3"},
      {ConfigSetting::Active, -1, "active -1"},
      {ConfigSetting::CopyPasswordEnabled, -1, "CopyPasswordEnabled True"},
      {ConfigSetting::CopyPasswordEnabled, 0, "CopyPasswordEnabled False"},
  };
  for (const Case& c : cases) {
    std::int32_t value = c.value;
    configuration.SetConfigValue(c.setting, value);
    expectLastCall(c.request, 100);
  }
  EXPECT_TRUE(configuration.SetConfigValue(ConfigSetting::KeepLogsText, "88888888"));
  expectLastCall("keeplogs 88888888", 100);
  EXPECT_TRUE(configuration.SetConfigValue(ConfigSetting::CopyPassword, ""));
  EXPECT_EQ(lastRequest(), "CopyPassword ");
  EXPECT_TRUE(configuration.SetConfigValue(ConfigSetting::CopyPassword, "Pa\xC3\xBC"));  // sent in ANSI
  EXPECT_EQ(lastRequest(), "CopyPassword Pa\xFC");
}

TEST_F(BootConfigurationTest, WriteRepliesAndTheStateTheEngineReports) {
  std::int32_t value = 1;
  engine.answer("preboot", "Disabled");
  EXPECT_TRUE(configuration.SetConfigValue(ConfigSetting::PreBoot, value));
  EXPECT_EQ(value, 0);
  engine.answer("preboot", "Enabled");
  EXPECT_TRUE(configuration.SetConfigValue(ConfigSetting::PreBoot, value));
  EXPECT_EQ(value, 1);
  engine.answer("showprompt", "Yes");
  value = 0;
  EXPECT_TRUE(configuration.SetConfigValue(ConfigSetting::ShowPrompt, value));
  EXPECT_EQ(value, 1);
  engine.answer("showprompt", "Error");
  EXPECT_FALSE(configuration.SetConfigValue(ConfigSetting::ShowPrompt, value));
  EXPECT_EQ(value, 1) << "a refusal reports no state";

  for (ConfigSetting setting : {ConfigSetting::KeepLogs, ConfigSetting::Hotkey, ConfigSetting::KeyWait,
                                ConfigSetting::MaxFailedBoots, ConfigSetting::Active}) {
    value = 5;
    engine.answer(keyOf(setting), "Error");
    EXPECT_FALSE(configuration.SetConfigValue(setting, value));
    engine.answer(keyOf(setting), "anything");
    EXPECT_TRUE(configuration.SetConfigValue(setting, value));
    EXPECT_EQ(value, 5);
  }
  // These replies are not looked at.
  engine.answer("CopyPasswordEnabled", "Error");
  EXPECT_TRUE(configuration.SetConfigValue(ConfigSetting::CopyPasswordEnabled, value));
  engine.answer("CopyPassword", "Error");
  EXPECT_TRUE(configuration.SetConfigValue(ConfigSetting::CopyPassword, "x"));
  engine.configuration["keeplogs"] = {0, std::string(100, 'E'), false};  // a full buffer without its NUL
  EXPECT_TRUE(configuration.SetConfigValue(ConfigSetting::KeepLogsText, "88888888"));
}

TEST_F(BootConfigurationTest, PreBootSwitchSucceedsOnlyWhenTheEngineReportsTheWantedState) {
  engine.answer("preboot", "Enabled");
  EXPECT_EQ(configuration.EnablePreBoot(), 0);
  EXPECT_EQ(lastRequest(), "preboot enable");
  EXPECT_EQ(configuration.DisablePreBoot(), -131);
  EXPECT_EQ(lastRequest(), "preboot disable");
  engine.answer("preboot", "Disabled");
  EXPECT_EQ(configuration.DisablePreBoot(), 0);
  EXPECT_EQ(configuration.EnablePreBoot(), -131);
  engine.answer("preboot", "Error");
  EXPECT_EQ(configuration.DisablePreBoot(), -131);
  engine.answer("preboot", "Enabled", -99);
  EXPECT_EQ(configuration.EnablePreBoot(), -131);
}

}  // namespace
