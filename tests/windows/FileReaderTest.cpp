// Whole-file reading against real files under Wine: files another process holds open for writing,
// files that grow, and files that are missing.

#include <windows.h>

#include <gtest/gtest.h>

#include "automation/TestEnvironment.h"
#include "platform/Unicode.h"
#include "platform/win32/Win32Platform.h"

namespace {

std::string utf8(const std::wstring& text) {
  return platform::utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

HANDLE openForWriting(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void append(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

TEST(FileReader, ReadsAFileAWriterHoldsOpenAndWhatItAdds) {
  automation::TempFolder folder;
  const std::wstring path = folder.make(L"$LOGS\\KRV.log");
  HANDLE writer = openForWriting(path);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  std::string bytes(3 * 1024 * 1024, 'x');
  bytes += std::string("\r\nend\0of\r\n", 10);
  append(writer, bytes);
  auto reader = platform::win32::createFileReader();
  auto contents = reader->readAll(utf8(path));
  ASSERT_TRUE(contents);
  EXPECT_TRUE(contents->complete);
  EXPECT_EQ(contents->bytes, bytes);
  append(writer, "more\r\n");
  contents = reader->readAll(utf8(path));
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->bytes, bytes + "more\r\n");
  // Cut short while the viewer is not reading: the next read gives what is left.
  SetFilePointer(writer, 10, nullptr, FILE_BEGIN);
  SetEndOfFile(writer);
  contents = reader->readAll(utf8(path));
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->bytes, std::string(10, 'x'));
  CloseHandle(writer);
}

TEST(FileReader, AMissingFileGivesNothing) {
  automation::TempFolder folder;
  auto reader = platform::win32::createFileReader();
  EXPECT_FALSE(reader->readAll(utf8(folder.path() + L"\\missing.log")));
  EXPECT_FALSE(reader->readAll(""));
}

}  // namespace
