// The build-name batch file run by the system's command interpreter: whatever the area's name, the
// file sets the variable to exactly that name and does nothing else.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"
#include "manager/CommandLine.h"
#include "platform/win32/Win32Platform.h"

namespace {

std::wstring commandInterpreter() {
  wchar_t folder[MAX_PATH];
  GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\cmd.exe";
}

// Calls the file for the name from another batch file and gives what the variable then holds.
std::optional<std::string> valueAfterCalling(const automation::TempFolder& folder, const std::string& name) {
  auto files = platform::win32::createFileSystem();
  const std::optional<std::string> line = krv::CommandLine::BuildNameLine(name);
  if (!line) return std::nullopt;
  const std::string base = automation::toUtf8(folder.path());
  EXPECT_TRUE(files->writeFile(base + "\\SetQVXBUILD.bat", *line));
  EXPECT_TRUE(
      files->writeFile(base + "\\show.bat",
                       "@echo off\r\nset QVXBUILD=\r\ncall SetQVXBUILD.bat\r\nset QVXBUILD> value.txt\r\n"));
  DeleteFileW((folder.path() + L"\\value.txt").c_str());
  automation::Program run(commandInterpreter(), L"/c show.bat", folder.path());
  EXPECT_TRUE(run.started());
  EXPECT_EQ(run.waitForExit(30000), std::optional<DWORD>(0));
  const std::optional<std::string> shown = automation::readFile(folder.path() + L"\\value.txt");
  if (!shown) return std::nullopt;
  const std::vector<std::string> lines = automation::splitLines(*shown);
  if (lines.size() != 1 || lines[0].rfind("QVXBUILD=", 0) != 0) return std::nullopt;
  return lines[0].substr(9);
}

TEST(BuildNameFile, SetsTheVariableToExactlyTheName) {
  automation::TempFolder folder;
  for (const std::string name : {"Original Area", "Rescue (2) !x", "A&B|C<D>E^F", "100% %PATH% %%", "^&^"}) {
    EXPECT_EQ(valueAfterCalling(folder, name), std::optional<std::string>(name)) << name;
  }
}

TEST(BuildNameFile, ANameWithCommandsInItRunsNone) {
  automation::TempFolder folder;
  const std::string name = "x&echo run>ran.txt|echo run>>ran.txt";
  EXPECT_EQ(valueAfterCalling(folder, name), std::optional<std::string>(name));
  EXPECT_FALSE(automation::fileExists(folder.path() + L"\\ran.txt"));
}

}  // namespace
