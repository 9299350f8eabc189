// Reading a whole file that another process may be writing, truncating or replacing meanwhile. The
// file is read with ReadFile rather than mapped: a mapped file that shrinks under the reader faults
// on the missing pages, while a read just comes back short.
#include <windows.h>

#include "platform/FileReader.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {
namespace {

class Win32FileReader final : public FileReader {
 public:
  std::optional<FileContents> readAll(const std::string& path) override {
    HANDLE file =
        CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    FileContents contents;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
      CloseHandle(file);
      return std::nullopt;
    }
    // Read what the file holds when opened, in large pieces; a file that grows meanwhile is read
    // on to its new end, one that shrinks ends early.
    std::size_t capacity = static_cast<std::size_t>(size.QuadPart) + 1;
    contents.bytes.resize(capacity);
    std::size_t filled = 0;
    constexpr DWORD kPiece = 8u << 20;
    for (;;) {
      if (filled == contents.bytes.size()) contents.bytes.resize(contents.bytes.size() * 2 + kPiece);
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kPiece, contents.bytes.size() - filled));
      DWORD got = 0;
      if (!ReadFile(file, contents.bytes.data() + filled, want, &got, nullptr)) {
        contents.complete = false;
        break;
      }
      if (got == 0) break;
      filled += got;
    }
    CloseHandle(file);
    contents.bytes.resize(filled);
    return contents;
  }
};

}  // namespace

std::unique_ptr<FileReader> createFileReader() {
  return std::make_unique<Win32FileReader>();
}

}  // namespace platform::win32
