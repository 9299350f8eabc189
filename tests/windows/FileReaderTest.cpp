// Whole-file reading against real files under Wine: files another process holds open for writing,
// files that grow, and files that are missing.

#include <windows.h>

#include <gtest/gtest.h>

#include "automation/TestEnvironment.h"
#include "base/Unicode.h"
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

TEST(FileReader, AViewHoldsTheFileAgainstCuttingItShortUntilItGoes) {
  automation::TempFolder folder;
  const std::wstring path = folder.make(L"$LOGS\\KRV.log");
  HANDLE writer = openForWriting(path);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  std::string bytes(5 * 1024 * 1024 + 17, 'y');
  bytes += std::string("\r\nend\0of\r\n", 10);
  append(writer, bytes);
  auto reader = platform::win32::createFileReader();
  auto view = reader->view(utf8(path));
  ASSERT_TRUE(view);
  EXPECT_TRUE(view->holdsFile());
  EXPECT_TRUE(view->complete());
  ASSERT_EQ(view->bytes(), bytes);

  // The writer may add to the file, which the view does not show, but not cut it short.
  append(writer, "more\r\n");
  SetFilePointer(writer, 10, nullptr, FILE_BEGIN);
  EXPECT_FALSE(SetEndOfFile(writer));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_USER_MAPPED_FILE));
  EXPECT_EQ(view->bytes(), bytes);
  // Deleting it leaves the view readable; once the view is gone the file may be cut.
  EXPECT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_EQ(view->bytes(), bytes);
  view.reset();
  EXPECT_TRUE(SetEndOfFile(writer));
  CloseHandle(writer);

  // An empty file has nothing to map: read, it holds nothing.
  writer = openForWriting(path);
  CloseHandle(writer);
  view = reader->view(utf8(path));
  ASSERT_TRUE(view);
  EXPECT_FALSE(view->holdsFile());
  EXPECT_EQ(view->bytes(), "");
  EXPECT_FALSE(reader->view(utf8(folder.path() + L"\\missing.log")));
}

TEST(FileReader, AStreamReadsTheFileAsItStoodWithoutHoldingIt) {
  automation::TempFolder folder;
  const std::wstring path = folder.make(L"$LOGS\\KRV.log");
  HANDLE writer = openForWriting(path);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  std::string bytes;
  for (int i = 0; bytes.size() < 7 * 1024 * 1024; ++i) bytes += "line " + std::to_string(i) + "\r\n";
  bytes += std::string("end\0of", 6);
  append(writer, bytes);
  auto reader = platform::win32::createFileReader();
  auto view = reader->stream(utf8(path));
  ASSERT_TRUE(view);
  EXPECT_FALSE(view->holdsFile());
  EXPECT_EQ(view->expectedSize(), bytes.size());
  // The bytes arrive in order, each wait bringing more until all have come.
  std::size_t seen = 0;
  for (;;) {
    const platform::ReadProgress progress = view->await(seen);
    ASSERT_GE(progress.ready, seen);
    ASSERT_EQ(view->bytes().substr(0, progress.ready), std::string_view(bytes).substr(0, progress.ready));
    seen = progress.ready;
    if (progress.done) break;
  }
  EXPECT_TRUE(view->complete());
  EXPECT_EQ(view->bytes(), bytes);
  // What the writer adds or cuts afterwards changes nothing of it, and nothing stops the cut.
  append(writer, "more\r\n");
  SetFilePointer(writer, 10, nullptr, FILE_BEGIN);
  EXPECT_TRUE(SetEndOfFile(writer));
  EXPECT_EQ(view->bytes(), bytes);
  CloseHandle(writer);

  // Empty, and missing.
  CloseHandle(openForWriting(path));
  view = reader->stream(utf8(path));
  ASSERT_TRUE(view);
  EXPECT_TRUE(view->await(0).done);
  EXPECT_EQ(view->bytes(), "");
  EXPECT_FALSE(reader->stream(utf8(folder.path() + L"\\missing.log")));
  // Dropped while it still reads: the reading stops and ends.
  writer = openForWriting(path);
  append(writer, bytes);
  CloseHandle(writer);
  view = reader->stream(utf8(path));
  view.reset();
}

TEST(FileReader, AMissingFileGivesNothing) {
  automation::TempFolder folder;
  auto reader = platform::win32::createFileReader();
  EXPECT_FALSE(reader->readAll(utf8(folder.path() + L"\\missing.log")));
  EXPECT_FALSE(reader->readAll(""));
}

}  // namespace
