#pragma once
// Reading a whole file, for files other components write while the program may be reading them.

#include <optional>
#include <string>

namespace platform {

struct FileContents {
  std::string bytes;
  // False when reading failed part way (the bytes are those read before the failure).
  bool complete = true;
};

class FileReader {
 public:
  virtual ~FileReader() = default;
  // Opens the file for reading, sharing it with writers, and reads it to its end. Nothing when the
  // file cannot be opened. The path is UTF-8.
  virtual std::optional<FileContents> readAll(const std::string& path) = 0;
};

}  // namespace platform
