#pragma once
// A program's user-visible texts, looked up by their string-table id. The Windows programs read
// them from their STRINGTABLE resource; the native tests read the table the build generates from
// the same source.

#include <cstddef>
#include <string>

namespace platform {

struct StringEntry {
  int id;
  const char* text;  // UTF-8
};

class StringTable {
 public:
  virtual ~StringTable() = default;
  // The text with this id; the empty text when the table has none.
  virtual std::string text(int id) const = 0;
};

// A table over entries compiled into the program, sorted by id.
class CompiledStringTable final : public StringTable {
 public:
  CompiledStringTable(const StringEntry* entries, std::size_t count) : entries_(entries), count_(count) {}
  std::string text(int id) const override;
  const StringEntry* begin() const { return entries_; }
  const StringEntry* end() const { return entries_ + count_; }

 private:
  const StringEntry* entries_;
  std::size_t count_;
};

}  // namespace platform
