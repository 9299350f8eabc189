// The support tool's stand-in: the report it leaves on the user's desktop for the switches the
// support dialog passes, what it refuses, and a report that cannot be written.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr const wchar_t* kPreferencesKey = L"SOFTWARE\\Pellora\\Korvane\\Preferences";

class StandInDiagsnap : public testing::Test {
 protected:
  void SetUp() override {
    install_.setEngineState({"areas=2", "area.1=0|1733000000|0|5000|Original Area",
                             "area.2=1|1733600000|0|7000|Rescue Area", "copypassword=secret1"});
  }
  void TearDown() override {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPreferencesKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, L"TestPassword");
      RegDeleteValueW(key, L"TestDays");
      RegCloseKey(key);
    }
  }
  std::optional<DWORD> run(const std::wstring& switches) {
    automation::Program tool(automation::besideTests(L"Diagsnap.exe"), switches);
    return tool.waitForExit(kTimeoutMs);
  }
  std::string report() const { return automation::readFile(desktop_.file(L"Diagsnap.txt")).value_or(""); }
  void writeLog(const std::wstring& name, const std::string& text, int daysOld) const {
    const std::wstring path = install_.folder().make(L"$LOGS\\" + name);
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER when{{now.dwLowDateTime, now.dwHighDateTime}};
    when.QuadPart -= static_cast<ULONGLONG>(daysOld) * 24 * 3600 * 10000000ULL;
    const FILETIME stamp{when.LowPart, when.HighPart};
    SetFileTime(file, nullptr, nullptr, &stamp);
    CloseHandle(file);
  }

  automation::Installation install_;
  automation::UserDesktop desktop_;
};

bool holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(StandInDiagsnap, EverySwitchAddsItsPartAndAPasswordIsLeftOut) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPreferencesKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  const wchar_t secret[] = L"hunter2";
  RegSetValueExW(key, L"TestPassword", 0, REG_SZ, reinterpret_cast<const BYTE*>(secret), sizeof(secret));
  const DWORD days = 14;
  RegSetValueExW(key, L"TestDays", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&days), sizeof(days));
  RegCloseKey(key);
  std::string master;
  for (int i = 1; i <= 60; ++i)
    master += "12/01/2024 10:00:00 MGR 0401 master line " + std::to_string(i) + "\r\n";
  writeLog(L"KRV.log", master, 0);
  writeLog(L"RECENT01.log", "12/01/2024 10:00:00 CMD copied the area\r\n", 2);
  writeLog(L"OLDER001.log", "11/01/2024 10:00:00 CMD an old task\r\n", 20);

  ASSERT_EQ(run(L"REG $KRV SYS SETUP MAIN DETAIL:7"), std::optional<DWORD>(0));
  const std::string text = report();
  ASSERT_EQ(text.rfind("\xef\xbb\xbf", 0), 0u) << "UTF-8 with its byte order mark, for Notepad";
  EXPECT_TRUE(holds(text, "Asked for: REG $KRV SYS SETUP MAIN DETAIL:7\r\n"));
  // The manager's version as its about box shows it: "3.1.0.42" reads "3.1.0 Build 42".
  std::string version = KRV_VERSION_TEXT;
  version.replace(version.rfind('.'), 1, " Build ");
  EXPECT_TRUE(holds(text, "Manager: Korvane.exe " + version + "\r\n")) << text;
  // The registry, with the password's value left out and the numbers readable.
  EXPECT_TRUE(holds(text, "TestPassword = (left out)"));
  EXPECT_FALSE(holds(text, "hunter2"));
  EXPECT_TRUE(holds(text, "TestDays = 14 (REG_DWORD)"));
  // The areas as the engine keeps them; the engine's password is not among them.
  EXPECT_TRUE(holds(text, "Areas: 2\r\n  Original Area (running), size 5000 KB"));
  EXPECT_TRUE(holds(text, "  Rescue Area, size 7000 KB"));
  EXPECT_FALSE(holds(text, "secret1"));
  // The last forty lines of the master log, not the first twenty.
  EXPECT_TRUE(holds(text, "The last 40 of 60 lines of the master log:"));
  EXPECT_TRUE(holds(text, "master line 60\r\n"));
  EXPECT_TRUE(holds(text, "master line 21\r\n"));
  EXPECT_FALSE(holds(text, "master line 20\r\n"));
  // Only the detail logs of the last seven days.
  EXPECT_TRUE(holds(text, "--- RECENT01.log\r\n12/01/2024 10:00:00 CMD copied the area"));
  EXPECT_FALSE(holds(text, "OLDER001"));
  EXPECT_FALSE(automation::fileExists(desktop_.file(L"Diagsnap.tmp")));

  // A second run with only the days asks for nothing else, and replaces the report.
  ASSERT_EQ(run(L"DETAIL:30"), std::optional<DWORD>(0));
  const std::string second = report();
  EXPECT_TRUE(holds(second, "Asked for: DETAIL:30\r\n"));
  EXPECT_TRUE(holds(second, "--- OLDER001.log"));
  EXPECT_FALSE(holds(second, "== SYS =="));
  EXPECT_FALSE(holds(second, "== REG $KRV =="));
  EXPECT_FALSE(holds(second, "master line"));
}

TEST_F(StandInDiagsnap, ASwitchItDoesNotKnowWritesNothing) {
  for (const wchar_t* switches : {L"", L"FOO", L"REG", L"REG $OTHER", L"SETUP", L"DETAIL:0", L"DETAIL:1000",
                                  L"DETAIL:abc", L"DETAIL:", L"DETAIL:-5", L"SYS DETAIL:7 EXTRA"}) {
    SCOPED_TRACE(automation::toUtf8(switches));
    EXPECT_EQ(run(switches), std::optional<DWORD>(static_cast<DWORD>(-1)));
    EXPECT_FALSE(automation::fileExists(desktop_.file(L"Diagsnap.txt")));
  }
}

TEST_F(StandInDiagsnap, AReportThatCannotBeWrittenFailsAndLeavesNothingBehind) {
  // A folder where the report should go: it cannot be replaced by a file.
  ASSERT_TRUE(CreateDirectoryW(desktop_.file(L"Diagsnap.txt").c_str(), nullptr));
  EXPECT_EQ(run(L"SYS"), std::optional<DWORD>(static_cast<DWORD>(-2)));
  EXPECT_FALSE(automation::fileExists(desktop_.file(L"Diagsnap.tmp")));
  const DWORD attributes = GetFileAttributesW(desktop_.file(L"Diagsnap.txt").c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

}  // namespace
