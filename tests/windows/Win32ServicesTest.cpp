// The Win32 registry, process and shell services against the real Wine registry and processes.

#include <windows.h>

#include <utility>

#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"

namespace win32 = platform::win32;
using platform::RegistryRoot;

namespace {

constexpr const char* kTestKey = "SOFTWARE\\Pellora\\Korvane\\PlatformTest";

class Win32RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pellora\\Korvane\\PlatformTest"); }
  std::unique_ptr<platform::Registry> registry = win32::createRegistry();
};

std::string withNul(std::string text) {
  text.push_back('\0');
  return text;
}

std::string utf16le(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

TEST_F(Win32RegistryTest, NarrowTextFitsTheBufferWithItsTerminatorOrFails) {
  ASSERT_TRUE(registry->setNarrow(RegistryRoot::LocalMachine, kTestKey, "Fits", platform::kRegSz,
                                  withNul(std::string(254, 'a'))));
  ASSERT_TRUE(registry->setNarrow(RegistryRoot::LocalMachine, kTestKey, "TooLong", platform::kRegSz,
                                  withNul(std::string(255, 'b'))));
  auto fits = registry->queryNarrow(RegistryRoot::LocalMachine, kTestKey, "Fits", 255);
  ASSERT_TRUE(fits.has_value());
  EXPECT_EQ(fits->type, platform::kRegSz);
  EXPECT_EQ(fits->bytes, withNul(std::string(254, 'a')));
  EXPECT_FALSE(registry->queryNarrow(RegistryRoot::LocalMachine, kTestKey, "TooLong", 255).has_value());
  EXPECT_FALSE(registry->queryNarrow(RegistryRoot::LocalMachine, kTestKey, "Missing", 255).has_value());
  EXPECT_FALSE(
      registry->queryNarrow(RegistryRoot::LocalMachine, "SOFTWARE\\Pellora\\NoSuchKey", "Fits", 255));
}

TEST_F(Win32RegistryTest, NumbersAndWideTextsRoundTrip) {
  const std::string four("\x2A\x00\x00\x80", 4);
  ASSERT_TRUE(registry->setNarrow(RegistryRoot::LocalMachine, kTestKey, "Number", platform::kRegDword, four));
  auto number = registry->queryNarrow(RegistryRoot::LocalMachine, kTestKey, "Number", 4);
  ASSERT_TRUE(number.has_value());
  EXPECT_EQ(number->type, platform::kRegDword);
  EXPECT_EQ(number->bytes, four);

  const std::string one = utf16le(std::u16string(u"\u00e9") + u'\0');
  ASSERT_TRUE(registry->setWide(RegistryRoot::LocalMachine, kTestKey, "One", platform::kRegSz, one));
  auto read = registry->queryWide(RegistryRoot::LocalMachine, kTestKey, "One", 3977);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->bytes, one);

  // 1989 characters with the terminator are 3978 bytes: one more than the buffer holds.
  const std::string large = utf16le(std::u16string(1988, u'x') + u'\0');
  ASSERT_TRUE(registry->setWide(RegistryRoot::LocalMachine, kTestKey, "Large", platform::kRegSz, large));
  EXPECT_FALSE(registry->queryWide(RegistryRoot::LocalMachine, kTestKey, "Large", 3977).has_value());
  const std::string largest = utf16le(std::u16string(1987, u'x') + u'\0');
  ASSERT_TRUE(registry->setWide(RegistryRoot::LocalMachine, kTestKey, "Largest", platform::kRegSz, largest));
  EXPECT_TRUE(registry->queryWide(RegistryRoot::LocalMachine, kTestKey, "Largest", 3977).has_value());
}

TEST_F(Win32RegistryTest, DeletesValuesOnlyWhereTheyExist) {
  ASSERT_TRUE(
      registry->setNarrow(RegistryRoot::LocalMachine, kTestKey, "Gone", platform::kRegSz, withNul("x")));
  EXPECT_TRUE(registry->deleteValue(RegistryRoot::LocalMachine, kTestKey, "Gone"));
  EXPECT_FALSE(registry->deleteValue(RegistryRoot::LocalMachine, kTestKey, "Gone"));
  EXPECT_FALSE(registry->deleteValue(RegistryRoot::LocalMachine, "SOFTWARE\\Pellora\\NoSuchKey", "Gone"));
  EXPECT_FALSE(registry->queryNarrow(RegistryRoot::LocalMachine, kTestKey, "Gone", 255).has_value());
}

TEST(Win32Processes, HoldTheStartedProcessUntilItsHandleGoes) {
  auto processes = win32::createProcesses();
  EXPECT_FALSE(processes->start("C:\\NoSuchFolder\\NoSuchProgram.exe /x", 1));
  platform::ProcessHandle process = processes->start("cmd.exe /c exit 3", 0);
  ASSERT_TRUE(process);
  const HANDLE handle = reinterpret_cast<HANDLE>(process.get());
  EXPECT_EQ(GetProcessId(handle), process.id());
  for (int i = 0; i < 200 && processes->running(process); ++i) processes->sleep(50);
  EXPECT_EQ(processes->exitCode(process), 3u);
  // Ended, and still the same process: its identifier is not free for another one yet.
  EXPECT_EQ(GetProcessId(handle), process.id());

  platform::ProcessHandle moved = std::move(process);
  EXPECT_FALSE(process);
  EXPECT_EQ(moved.get(), reinterpret_cast<std::uintptr_t>(handle));
  DWORD flags = 0;
  EXPECT_TRUE(GetHandleInformation(handle, &flags));
  moved.reset();
  EXPECT_FALSE(GetHandleInformation(handle, &flags)) << "given back";
}

TEST(Win32Shell, ReportsADocumentItCannotOpen) {
  auto shell = win32::createShell();
  EXPECT_LT(shell->open("C:\\NoSuchFolder\\NoSuchDocument.krvnothing"), 32);
}

}  // namespace
