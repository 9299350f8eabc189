// The user's folders, file attributes and file writes against the real system under Wine.

#include <windows.h>

#include <gtest/gtest.h>

#include "automation/Automation.h"
#include "automation/TestEnvironment.h"
#include "platform/win32/Win32Platform.h"

namespace {

TEST(Win32FileSystem, TheUserFoldersAreAbsolutePathsAndTheProfileIsAFolder) {
  auto files = platform::win32::createFileSystem();
  const std::optional<std::string> profile = files->userFolder(platform::kFolderProfile);
  ASSERT_TRUE(profile.has_value());
  ASSERT_GE(profile->size(), 3u);
  EXPECT_EQ(profile->substr(1, 2), ":\\") << *profile;
  EXPECT_EQ(profile->find('\0'), std::string::npos);
  const std::optional<std::uint32_t> attributes = files->attributes(*profile);
  ASSERT_TRUE(attributes.has_value());
  EXPECT_NE(*attributes & platform::kAttributeDirectory, 0u);
  const std::optional<std::string> documents = files->userFolder(platform::kFolderDocuments);
  ASSERT_TRUE(documents.has_value());
  EXPECT_EQ(documents->substr(1, 2), ":\\") << *documents;
}

TEST(Win32FileSystem, AttributesTellFilesFromFoldersAndMissingPathsGiveNothing) {
  automation::TempFolder folder;
  auto files = platform::win32::createFileSystem();
  const std::string path = automation::toUtf8(folder.path());
  EXPECT_FALSE(files->attributes(path + "\\missing").has_value());
  ASSERT_TRUE(files->writeFile(path + "\\plain.txt", "x"));
  const std::optional<std::uint32_t> attributes = files->attributes(path + "\\plain.txt");
  ASSERT_TRUE(attributes.has_value());
  EXPECT_EQ(*attributes & platform::kAttributeDirectory, 0u);
}

TEST(Win32FileSystem, WriteFileStoresExactlyTheBytesAndOverwrites) {
  automation::TempFolder folder;
  auto files = platform::win32::createFileSystem();
  const std::string path = automation::toUtf8(folder.path()) + "\\SetQVXBUILD.bat";
  ASSERT_TRUE(files->writeFile(path, "set QVXBUILD=a much longer first content\r\n"));
  ASSERT_TRUE(files->writeFile(path, "set \"QVXBUILD=A&B%%\"\r\n"));
  EXPECT_EQ(automation::readFile(automation::toWide(path)),
            std::optional<std::string>("set \"QVXBUILD=A&B%%\"\r\n"));
}

TEST(Win32FileSystem, ARelativePathLiesInTheCurrentDirectoryAndAFolderInTheWayFails) {
  automation::TempFolder folder;
  auto files = platform::win32::createFileSystem();
  wchar_t previous[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
  const bool written = files->writeFile("relative.bat", "ok\r\n");
  ASSERT_TRUE(CreateDirectoryW(L"blocked", nullptr));
  const bool blocked = files->writeFile("blocked", "no");
  const bool missingFolder = files->writeFile("no such folder\\file.bat", "no");
  SetCurrentDirectoryW(previous);
  EXPECT_TRUE(written);
  EXPECT_EQ(automation::readFile(folder.path() + L"\\relative.bat"), std::optional<std::string>("ok\r\n"));
  EXPECT_FALSE(blocked);
  EXPECT_FALSE(missingFolder);
}

}  // namespace
