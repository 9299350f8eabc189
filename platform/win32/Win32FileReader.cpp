// Reading a whole file that another process may be writing, truncating or replacing meanwhile.
// readAll reads it with ReadFile, which just comes back short when the file shrinks. view maps it:
// while a view of a file exists the system refuses to cut the file short (ERROR_USER_MAPPED_FILE),
// so no page of the view can go missing under the reader; the caller keeps the view only as long
// as copying its bytes takes. stream reads it with ReadFile on a worker thread into memory of its
// own, piece by piece, so that the caller parses the first pieces while the next are read and the
// bytes are in memory once, never held as the file.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "platform/FileReader.h"
#include "platform/win32/Owned.h"
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

class StreamedFileView final : public FileView {
 public:
  // Takes the open file and reads up to size bytes of it (its size when opened).
  StreamedFileView(OwnedHandle file, std::unique_ptr<char[]> data, std::size_t size)
      : file_(std::move(file)), data_(std::move(data)), expected_(size) {
    reader_ = std::thread([this] { readAll(); });
  }
  ~StreamedFileView() override {
    stop_ = true;
    reader_.join();
  }
  StreamedFileView(const StreamedFileView&) = delete;
  StreamedFileView& operator=(const StreamedFileView&) = delete;

  std::string_view bytes() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return {data_.get(), ready_};
  }
  bool complete() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return complete_;
  }
  bool holdsFile() const override { return false; }
  ReadProgress await(std::size_t beyond) const override {
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait(lock, [&] { return done_ || ready_ > beyond; });
    return {ready_, done_};
  }
  std::size_t expectedSize() const override { return expected_; }

 private:
  void readAll() {
    // A small first piece lets the parsing start at once; larger ones then cost fewer calls.
    DWORD piece = 256u << 10;
    std::size_t filled = 0;
    bool failed = false;
    while (filled < expected_ && !stop_) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(piece, expected_ - filled));
      DWORD got = 0;
      if (!ReadFile(file_.get(), data_.get() + filled, want, &got, nullptr)) {
        failed = true;
        break;
      }
      if (got == 0) break;  // the file was cut short meanwhile: it ends here
      filled += got;
      piece = 1u << 20;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ready_ = filled;
      }
      arrived_.notify_all();
    }
    file_.reset();  // let go of the file as soon as it is read
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ready_ = filled;
      complete_ = !failed;
      done_ = true;
    }
    arrived_.notify_all();
  }

  OwnedHandle file_;
  std::unique_ptr<char[]> data_;
  const std::size_t expected_;
  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::size_t ready_ = 0;
  bool complete_ = true;
  bool done_ = false;
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

OwnedHandle openShared(const std::string& path) {
  return ownedFile(CreateFileW(wide(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

class Win32FileReader final : public FileReader {
 public:
  std::unique_ptr<FileView> view(const std::string& path) override {
    LARGE_INTEGER size{};
    const char* base = nullptr;
    {
      const OwnedHandle file = openShared(path);
      if (!file) return nullptr;
      // An empty file has nothing to map. The section is made exactly as large as the size just
      // read: a read-only section larger than the file is refused, so a file cut short meanwhile
      // falls back to reading, and one that grew is viewed to that size.
      if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
        const OwnedHandle section(
            CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, static_cast<DWORD>(size.QuadPart >> 32),
                               static_cast<DWORD>(size.QuadPart & 0xFFFFFFFF), nullptr));
        if (section) base = static_cast<const char*>(MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 0));
      }
    }  // the view keeps the file and its section
    if (!base) return FileReader::view(path);
    return std::make_unique<MappedFileView>(base, static_cast<std::size_t>(size.QuadPart));
  }

  std::unique_ptr<FileView> stream(const std::string& path) override {
    OwnedHandle file = openShared(path);
    if (!file) return nullptr;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX - 1)
      return nullptr;
    const auto bytes = static_cast<std::size_t>(size.QuadPart);
    // Left as it comes from the system, not filled first: reading writes every byte that counts.
    std::unique_ptr<char[]> data(new (std::nothrow) char[bytes + 1]);
    if (!data) {
      file.reset();
      return FileReader::view(path);
    }
    return std::make_unique<StreamedFileView>(std::move(file), std::move(data), bytes);
  }

  std::optional<FileEnd> readEnd(const std::string& path, std::size_t most) override {
    const OwnedHandle file = openShared(path);
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
    FileEnd tail;
    const auto total = static_cast<unsigned long long>(size.QuadPart);
    const std::size_t want = static_cast<std::size_t>(std::min<unsigned long long>(total, most));
    tail.offset = total - want;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(tail.offset);
    tail.contents.bytes.resize(want);
    std::size_t filled = 0;
    if (SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) {
      while (filled < want) {
        DWORD got = 0;
        if (!ReadFile(file.get(), tail.contents.bytes.data() + filled, static_cast<DWORD>(want - filled),
                      &got, nullptr) ||
            got == 0)
          break;
        filled += got;
      }
    }
    // A file cut short meanwhile gives less than its end: that is no tail.
    tail.contents.complete = filled == want;
    tail.contents.bytes.resize(filled);
    return tail;
  }

  std::optional<FileContents> readAll(const std::string& path) override {
    const OwnedHandle file = openShared(path);
    if (!file) return std::nullopt;
    FileContents contents;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
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
      if (!ReadFile(file.get(), contents.bytes.data() + filled, want, &got, nullptr)) {
        contents.complete = false;
        break;
      }
      if (got == 0) break;
      filled += got;
    }
    contents.bytes.resize(filled);
    return contents;
  }

  std::optional<FileTail> readTail(const std::string& path, std::uint64_t offset, std::size_t headBytes) override {
    const OwnedHandle owned = openShared(path);
    if (!owned) return std::nullopt;
    HANDLE file = owned.get();
    FileTail tail;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return std::nullopt;
    tail.size = static_cast<std::uint64_t>(size.QuadPart);
    // Reads up to want bytes from the position on; false when a read failed.
    auto readAt = [&](std::uint64_t from, std::size_t want, std::string& into) {
      LARGE_INTEGER position{};
      position.QuadPart = static_cast<LONGLONG>(from);
      if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return false;
      into.resize(want);
      std::size_t filled = 0;
      while (filled < want) {
        DWORD got = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(want - filled, 8u << 20));
        if (!ReadFile(file, into.data() + filled, piece, &got, nullptr)) {
          into.resize(filled);
          return false;
        }
        if (got == 0) break;
        filled += got;
      }
      into.resize(filled);
      return true;
    };
    tail.complete = readAt(0, static_cast<std::size_t>(std::min<std::uint64_t>(headBytes, tail.size)), tail.head);
    if (tail.complete && offset < tail.size)
      tail.complete = readAt(offset, static_cast<std::size_t>(tail.size - offset), tail.bytes);
    return tail;
  }
};

}  // namespace

std::unique_ptr<FileReader> createFileReader() {
  return std::make_unique<Win32FileReader>();
}

}  // namespace platform::win32
