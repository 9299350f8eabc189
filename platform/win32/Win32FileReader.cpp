// Reading a whole file that another process may be writing, truncating or replacing meanwhile.
// readAll reads it with ReadFile, which just comes back short when the file shrinks. view maps it:
// while a view of a file exists the system refuses to cut the file short (ERROR_USER_MAPPED_FILE),
// so no page of the view can go missing under the reader; the caller keeps the view only as long
// as copying its bytes takes.
#include <windows.h>

#include "platform/FileReader.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {
namespace {

class MappedFileView final : public FileView {
 public:
  MappedFileView(const char* base, std::size_t size) : base_(base), size_(size) {}
  ~MappedFileView() override { UnmapViewOfFile(base_); }
  MappedFileView(const MappedFileView&) = delete;
  MappedFileView& operator=(const MappedFileView&) = delete;
  std::string_view bytes() const override { return {base_, size_}; }
  bool complete() const override { return true; }
  bool holdsFile() const override { return true; }

 private:
  const char* base_;
  std::size_t size_;
};

HANDLE openShared(const std::string& path) {
  return CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

class Win32FileReader final : public FileReader {
 public:
  std::unique_ptr<FileView> view(const std::string& path) override {
    HANDLE file = openShared(path);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    const char* base = nullptr;
    // An empty file has nothing to map. The section is made exactly as large as the size just
    // read: a read-only section larger than the file is refused, so a file cut short meanwhile
    // falls back to reading, and one that grew is viewed to that size.
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
      HANDLE section =
          CreateFileMappingW(file, nullptr, PAGE_READONLY, static_cast<DWORD>(size.QuadPart >> 32),
                             static_cast<DWORD>(size.QuadPart & 0xFFFFFFFF), nullptr);
      if (section) {
        base = static_cast<const char*>(MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0));
        CloseHandle(section);  // the view keeps the section
      }
    }
    CloseHandle(file);
    if (!base) return FileReader::view(path);
    return std::make_unique<MappedFileView>(base, static_cast<std::size_t>(size.QuadPart));
  }

  std::optional<FileContents> readAll(const std::string& path) override {
    HANDLE file = openShared(path);
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
