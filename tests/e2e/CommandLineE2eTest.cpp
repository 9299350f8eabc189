// The manager's command line, run as a user would from a command prompt: the real Korvane.exe with
// the engine and command tool stand-ins, each switch with its exit code, its engine log line and
// its effect.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"

namespace {

constexpr DWORD kExitTimeoutMs = 30000;
constexpr DWORD kBoxTimeoutMs = 20000;
constexpr const wchar_t* kServiceInfo = L"SOFTWARE\\Pellora\\Korvane\\ServiceInfo";
constexpr const wchar_t* kPreferences = L"SOFTWARE\\Pellora\\Korvane\\Preferences";

std::optional<DWORD> readNumber(const wchar_t* key, const wchar_t* name) {
  DWORD value = 0, size = sizeof(value);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

void writeNumber(const wchar_t* key, const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, name, REG_DWORD, &value, sizeof(value));
}

std::optional<std::wstring> readText(const wchar_t* key, const wchar_t* name) {
  wchar_t buffer[2048];
  DWORD size = sizeof(buffer);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(buffer);
}

// One installation with two named areas, the manager's companion programs beside the tests, and
// clean preferences.
class CommandLine : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPreferences);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kServiceInfo, L"CopyResult");
    install_.setEngineState({"areas=2", "area.1=0|0|1000|5000|Original Area", "area.2=1|0|0|0|Rescue Area",
                             "cmd.durationms=1200"});
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPreferences);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kServiceInfo, L"CopyResult");
  }

  // Runs the manager with the arguments in the folder (the test's own when empty) and gives its
  // exit code; fails the test when it shows a window.
  std::optional<DWORD> run(const std::wstring& arguments, const std::wstring& folder = L"") {
    automation::Program korvane(automation::besideTests(L"Korvane.exe"), arguments,
                                folder.empty() ? automation::binFolder() : folder);
    EXPECT_TRUE(korvane.started());
    const std::optional<DWORD> code = korvane.waitForExit(kExitTimeoutMs);
    EXPECT_FALSE(korvane.showedWindow()) << "the command line shows no window";
    return code;
  }
  // The texts the manager logged for its commands, in order.
  std::vector<std::string> commandLog() const {
    std::vector<std::string> found;
    const auto log = automation::readFile(install_.masterLogPath());
    if (!log) return found;
    for (const std::string& line : automation::splitLines(*log)) {
      if (line.size() > 29 && line.compare(29, 20, "Korvane Commandline ") == 0)
        found.push_back(line.substr(29));
    }
    return found;
  }
  std::string state(const std::string& key) const { return install_.engineState().get(key, "(none)"); }
  // A folder of the installation, created, by its path.
  std::string folder(const std::wstring& relative) const {
    install_.folder().make(relative + L"\\file");
    return automation::toUtf8(install_.path() + L"\\" + relative);
  }

  automation::Installation install_;
  automation::ApplicationPath programs_{automation::binFolder()};
};

// ---- Help and the pre-boot switch ---------------------------------------------------------------

TEST_F(CommandLine, HelpShowsEverySwitchInTheAssistanceBoxAndLogsNothing) {
  automation::Program korvane(automation::besideTests(L"Korvane.exe"), L"/?", automation::binFolder());
  const HWND box = automation::waitForMessageBox("Assistance - Korvane", kBoxTimeoutMs);
  ASSERT_NE(box, nullptr);
  const auto contents = automation::readBox(box);
  ASSERT_FALSE(contents.texts.empty());
  EXPECT_EQ(contents.texts[0],
            "Command line parameters:\r\r\r/preboot: <enable/disable>, Set pre-boot menu state"
            "\r/boot <password>, Immediately re-boot to the other Area"
            "\r/copy <password>, Initiate copy of the current Area to other Area."
            "\r/exclude <file list>, Set excluded file list."
            "\r/anchor <file list>, Set anchored file list."
            "\r/buildname, Creates .BAT file assigning current area to environment variable");
  EXPECT_EQ(contents.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(automation::boxIcon(box), automation::BoxIcon::Information);
  automation::saveScreenshot(automation::screenshotFile(L"commandline-help.bmp"));
  ASSERT_TRUE(automation::pressButton(box, "OK"));
  EXPECT_EQ(korvane.waitForExit(kExitTimeoutMs), std::optional<DWORD>(0));
  EXPECT_TRUE(commandLog().empty());
}

TEST_F(CommandLine, ThePreBootPhrasesMatchInAnyCaseWithExactlyOneSpace) {
  EXPECT_EQ(run(L"/PREBOOT ENABLE"), std::optional<DWORD>(0));
  EXPECT_EQ(state("config.preboot"), "Enabled");
  EXPECT_EQ(run(L"  /Preboot Disable  "), std::optional<DWORD>(0));
  EXPECT_EQ(state("config.preboot"), "Disabled");
  EXPECT_EQ(run(L"/preboot  enable"), std::optional<DWORD>(1)) << "two spaces match no switch";
  EXPECT_EQ(state("config.preboot"), "Disabled");
  EXPECT_EQ(commandLog(), (std::vector<std::string>{"Korvane Commandline /boot enable",
                                                    "Korvane Commandline /boot disable"}));

  // An engine that does not switch: the command fails.
  ASSERT_TRUE(install_.engineState().set("config.preboot.reply", "Disabled"));
  EXPECT_EQ(run(L"/preboot enable"), std::optional<DWORD>(1));
}

TEST_F(CommandLine, ASwitchGluedToOtherTextOrStrayTextMatchesNothing) {
  EXPECT_EQ(run(L"/bootx"), std::optional<DWORD>(1));
  EXPECT_EQ(run(L"x/boot"), std::optional<DWORD>(1));
  EXPECT_EQ(run(L"/copyright"), std::optional<DWORD>(1));
  EXPECT_EQ(run(L"hello"), std::optional<DWORD>(1));
  EXPECT_TRUE(commandLog().empty());
  EXPECT_EQ(state("config.active"), "(none)") << "nothing booted";
  EXPECT_EQ(state("cmd.commandline"), "(none)") << "nothing copied";
}

// ---- Password ----------------------------------------------------------------------------------

TEST_F(CommandLine, AWrongPasswordEndsWithOneAndLogsNothing) {
  ASSERT_TRUE(install_.engineState().set("config.copypasswordenabled", "True"));
  ASSERT_TRUE(install_.engineState().set("config.copypassword", "s3cret!"));
  writeNumber(kServiceInfo, L"CopyResult", 12345);
  EXPECT_EQ(run(L"/boot S3CRET!"), std::optional<DWORD>(1)) << "passwords compare with case";
  EXPECT_EQ(run(L"/boot"), std::optional<DWORD>(1));
  EXPECT_EQ(run(L"/copy wrong s3cret!"), std::optional<DWORD>(1)) << "only the second token is the password";
  EXPECT_TRUE(commandLog().empty());
  EXPECT_EQ(state("config.active"), "(none)");
  EXPECT_EQ(state("cmd.commandline"), "(none)");
  EXPECT_EQ(readNumber(kServiceInfo, L"CopyResult"), std::optional<DWORD>(12345));
}

TEST_F(CommandLine, ResetPasswordSetsClearsOrIgnoresTheNewPassword) {
  EXPECT_EQ(run(L"/resetpassword N3w-Pass"), std::optional<DWORD>(0));
  EXPECT_EQ(state("config.copypasswordenabled"), "True");
  EXPECT_EQ(state("config.copypassword"), "N3w-Pass");

  EXPECT_EQ(run(L"/resetpassword what?"), std::optional<DWORD>(0)) << "an invalid password changes nothing";
  EXPECT_EQ(run(L"/resetpassword " + std::wstring(26, L'p')), std::optional<DWORD>(0));
  EXPECT_EQ(state("config.copypassword"), "N3w-Pass");

  EXPECT_EQ(run(L"/resetpassword"), std::optional<DWORD>(0));
  EXPECT_EQ(state("config.copypasswordenabled"), "False");
  EXPECT_EQ(state("config.copypassword"), "N3w-Pass") << "clearing only switches the password off";
  EXPECT_EQ(commandLog(), (std::vector<std::string>{"Korvane Commandline /resetpassword <new password set>",
                                                    "Korvane Commandline /resetpassword"}));
}

// ---- Lists -------------------------------------------------------------------------------------

TEST_F(CommandLine, ExcludeStoresTheListWithItsInnerSpacesAndRefusesWhatTheEngineRefuses) {
  EXPECT_EQ(run(L"/EXCLUDE    C:\\My Files\\*.tmp ; C:\\pagefile.sys   "), std::optional<DWORD>(0));
  EXPECT_EQ(readText(kPreferences, L"DefaultExclusionList"), L"C:\\My Files\\*.tmp ; C:\\pagefile.sys");
  EXPECT_EQ(commandLog(),
            std::vector<std::string>{"Korvane Commandline /exclude C:\\My Files\\*.tmp ; C:\\pagefile.sys"});

  EXPECT_EQ(run(L"/exclude C:\\Temp;c:\\temp"), std::optional<DWORD>(1)) << "the engine refuses a duplicate";
  EXPECT_EQ(readText(kPreferences, L"DefaultExclusionList"), L"C:\\My Files\\*.tmp ; C:\\pagefile.sys");
}

TEST_F(CommandLine, AnchorHandsTheListToTheEngineAndAloneClearsIt) {
  const std::string first = folder(L"My Data");
  const std::string second = folder(L"Shared Photos");
  const std::string list = first + " ;" + second;
  EXPECT_EQ(run(L"/anchor   " + automation::toWide(list) + L"  "), std::optional<DWORD>(0));
  EXPECT_EQ(state("anchored"), list);

  EXPECT_EQ(run(L"/anchor " + automation::toWide(first) + L"\\Missing"), std::optional<DWORD>(1));
  EXPECT_EQ(state("anchored"), list) << "a refused list changes nothing";

  EXPECT_EQ(run(L"/anchor"), std::optional<DWORD>(0));
  EXPECT_EQ(state("anchored"), ";") << "the empty anchored list";
  const auto log = commandLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], "Korvane Commandline /anchor " + list);
}

// ---- Build name --------------------------------------------------------------------------------

TEST_F(CommandLine, BuildNameWritesTheBatchFileInTheCurrentFolder) {
  automation::TempFolder here;
  EXPECT_EQ(run(L"/buildname", here.path()), std::optional<DWORD>(0));
  EXPECT_EQ(automation::readFile(here.path() + L"\\SetQVXBUILD.bat"), "set QVXBUILD=Original Area\r\n");
  EXPECT_EQ(commandLog(), std::vector<std::string>{"Korvane Commandline /buildname"});

  // A folder of that name stands where the file would go.
  automation::TempFolder blocked;
  ASSERT_TRUE(CreateDirectoryW((blocked.path() + L"\\SetQVXBUILD.bat").c_str(), nullptr));
  EXPECT_EQ(run(L"/buildname", blocked.path()), std::optional<DWORD>(1));
}

// ---- Copy ----------------------------------------------------------------------------------------

TEST_F(CommandLine, CopyWaitsForTheToolAndEndsWithTheOutcomeItStored) {
  const DWORD start = GetTickCount();
  EXPECT_EQ(run(L"/copy"), std::optional<DWORD>(0));
  EXPECT_GE(GetTickCount() - start, 1200u) << "the manager waited for the tool";
  EXPECT_EQ(state("cmd.commandline"),
            automation::toUtf8(automation::binFolder()) +
                "\\KRVCmd.exe \"#Copy/Update\" COPY \"Original Area\" \"Rescue Area\"");
  EXPECT_EQ(readNumber(kServiceInfo, L"CopyResult"), std::optional<DWORD>(0));
  const std::string rescue = state("area.2");
  EXPECT_EQ(rescue.substr(0, 2), "1|") << rescue;
  EXPECT_NE(rescue.find("|5000|Rescue Area"), std::string::npos)
      << "created with the source's size: " << rescue;
  EXPECT_EQ(commandLog(), std::vector<std::string>{"Korvane Commandline /copy"});

  ASSERT_TRUE(install_.engineState().set("cmd.result", "-109"));
  EXPECT_EQ(run(L"/copy"), std::optional<DWORD>(1)) << "the tool stored a failure";
  EXPECT_EQ(readNumber(kServiceInfo, L"CopyResult"), std::optional<DWORD>(static_cast<DWORD>(-109)));
}

TEST_F(CommandLine, CopyOnAFreshInstallCreatesTheRescueArea) {
  install_.setEngineState({"cmd.durationms=300"});  // one area, "ORIGINAL", named at start
  EXPECT_EQ(run(L"/copy"), std::optional<DWORD>(0));
  EXPECT_EQ(state("areas"), "2");
  const std::string rescue = state("area.2");
  EXPECT_EQ(rescue.substr(rescue.rfind('|') + 1), "Rescue Area") << rescue;
  // "<number>|<last update>|<last boot>|<size>|<name>": numbered 1, updated, with a size.
  std::vector<std::string> fields;
  for (std::size_t at = 0, bar; (bar = rescue.find('|', at)) != std::string::npos; at = bar + 1)
    fields.push_back(rescue.substr(at, bar - at));
  ASSERT_EQ(fields.size(), 4u) << rescue;
  EXPECT_EQ(fields[0], "1");
  EXPECT_GT(std::atoll(fields[1].c_str()), 0) << rescue;
  EXPECT_GT(std::atoll(fields[3].c_str()), 0) << rescue;
}

TEST_F(CommandLine, ACopyWhoseToolCannotBeStartedEndsWithOne) {
  automation::TempFolder empty;
  automation::ApplicationPath nowhere(empty.path());
  EXPECT_EQ(run(L"/copy"), std::optional<DWORD>(1));
  EXPECT_EQ(state("cmd.commandline"), "(none)");
  EXPECT_EQ(readNumber(kServiceInfo, L"CopyResult"), std::optional<DWORD>(static_cast<DWORD>(-99)))
      << "written before the copy, and never replaced";
}

}  // namespace
