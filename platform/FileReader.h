#pragma once
// Reading a whole file, for files other components write while the program may be reading them.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct FileContents {
  std::string bytes;
  // False when reading failed part way (the bytes are those read before the failure).
  bool complete = true;
};

// How much of a view's bytes has arrived.
struct ReadProgress {
  std::size_t ready = 0;  // bytes read so far
  bool done = true;       // reading has ended: no more bytes come
};

// A file's bytes as they stood when it was opened. A view that holds the file (a mapped view: the
// system refuses to cut the file short while it exists) is to be kept only as long as a copy of
// its bytes takes; one that does not hold it owns its bytes already. A streamed view owns its
// bytes too, but they arrive while its reader already parses the first of them.
class FileView {
 public:
  virtual ~FileView() = default;
  // The bytes read so far; they stay where they are while more arrive.
  virtual std::string_view bytes() const = 0;
  // False when reading failed part way; final once reading has ended.
  virtual bool complete() const = 0;
  virtual bool holdsFile() const = 0;
  // Waits until more than beyond bytes have arrived or reading has ended.
  virtual ReadProgress await(std::size_t /*beyond*/) const { return {bytes().size(), true}; }
  // The bytes reading is expected to give (the file's size when opened).
  virtual std::size_t expectedSize() const { return bytes().size(); }
};

// A view over bytes read into memory.
class ReadFileView final : public FileView {
 public:
  explicit ReadFileView(FileContents contents) : contents_(std::move(contents)) {}
  std::string_view bytes() const override { return contents_.bytes; }
  bool complete() const override { return contents_.complete; }
  bool holdsFile() const override { return false; }

 private:
  FileContents contents_;
};

// What a reader of a growing file needs: the file's first bytes (to know it is still the same file)
// and the bytes past what it has read already.
struct FileTail {
  std::string head;  // the first bytes asked for, or all when the file is shorter
  std::uint64_t size = 0;  // the file's size when opened
  std::string bytes;       // from the offset asked for to the end; empty when the file is shorter
  bool complete = true;    // false when reading failed part way
};

// The last bytes of a file and where they start in it.
struct FileEnd {
  FileContents contents;
  std::uint64_t offset = 0;
};

class FileReader {
 public:
  virtual ~FileReader() = default;
  // Opens the file for reading, sharing it with writers, and reads it to its end. Nothing when the
  // file cannot be opened. The path is UTF-8.
  virtual std::optional<FileContents> readAll(const std::string& path) = 0;
  // The file's bytes without reading them all first where the system can map the file; otherwise
  // as readAll reads them. Nothing when the file cannot be opened.
  virtual std::unique_ptr<FileView> view(const std::string& path) {
    auto contents = readAll(path);
    if (!contents) return nullptr;
    return std::make_unique<ReadFileView>(std::move(*contents));
  }
  // The file's bytes as it stood when opened, read on a worker thread into memory of the view's own
  // while the caller goes through those already read; the file itself is never held. Where the
  // system offers no such reading, as view gives them.
  virtual std::unique_ptr<FileView> stream(const std::string& path) { return view(path); }
  // The file's first headBytes bytes and its bytes from offset on, without reading those between
  // where the system can. Nothing when the file cannot be opened.
  virtual std::optional<FileTail> readTail(const std::string& path, std::uint64_t offset, std::size_t headBytes) {
    auto contents = readAll(path);
    if (!contents) return std::nullopt;
    FileTail tail;
    tail.size = contents->bytes.size();
    tail.head = contents->bytes.substr(0, headBytes);
    if (offset < tail.size) tail.bytes = contents->bytes.substr(static_cast<std::size_t>(offset));
    tail.complete = contents->complete;
    return tail;
  }
  // The file's last bytes, at most most of them, read without the rest. Nothing when the file
  // cannot be opened, or where the system offers no such reading.
  virtual std::optional<FileEnd> readEnd(const std::string& /*path*/, std::size_t /*most*/) {
    return std::nullopt;
  }
};

}  // namespace platform
