#pragma once
// The stand-ins' state: a plain text file of "key=value" lines below the install location, which
// tests and scripts write to set the scene and the stand-ins read and update as they work.
//
// Keys are matched without regard to ASCII case; keys and values lose their outer spaces. Lines
// without "=" and lines starting with "#" are comments: ignored when read, kept when written.
// Texts are bytes as stored (ANSI). Every read opens the file afresh, so a change made by another
// process is seen at the next call; read-modify-write is serialised across processes. A snapshot
// reads the file once and answers every read from that, until it writes: one engine call asks
// several keys, and reads the file once for them all.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace standin {

class StateFile {
 public:
  explicit StateFile(std::wstring path) : path_(std::move(path)) {}
  // "<location>\$ENGINE\state.txt", the copy engine's state.
  static StateFile engine(const std::wstring& location);

  const std::wstring& path() const { return path_; }
  // The same file, read now and held for the reads that follow; a write through it (set, remove)
  // lets go of what it held, so that it reads afresh again.
  StateFile snapshot() const;

  // Every key with its value, in file order; empty when the file is missing. A key given twice
  // counts with its first value.
  std::vector<std::pair<std::string, std::string>> entries() const;
  std::optional<std::string> get(std::string_view key) const;
  std::string get(std::string_view key, std::string_view fallback) const;
  // The value as a whole decimal number (an optional sign and digits, nothing else).
  std::optional<long> number(std::string_view key) const;
  // The value is one of "no", "false", "0", "off" (any case).
  bool isNo(std::string_view key) const;

  // Sets the key's value, in its line when it has one, else in a line added at the end; creates
  // the folder and the file. Refuses (false) a key that is empty or holds "=" or a line break, and
  // a value that holds a line break, as well as a failed write.
  bool set(std::string_view key, std::string_view value);
  // Removes every line of the key; true when the file no longer holds it.
  bool remove(std::string_view key);

 private:
  using Entries = std::vector<std::pair<std::string, std::string>>;
  std::wstring path_;
  std::shared_ptr<const Entries> held_;
};

}  // namespace standin
