#pragma once
// What the user narrows the master list to and looks for in it: a text searched for in the texts a
// row shows (its date, type and description, or a detail line), the categories and the text a
// filter keeps, and the search for the next row that holds a text, wrapping once.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logviewer/EntryOrder.h"
#include "logviewer/LogFiles.h"
#include "platform/AnsiCodec.h"

namespace quillon {

// A text looked for in ANSI bytes, with or without regard to case (letters of the code page fold to
// their small forms, as the codec gives them). Bytes are compared, not characters: a text the code
// page cannot hold finds nothing.
class TextMatcher {
 public:
  // The dates are those shown in the form given.
  TextMatcher(const platform::AnsiCodec& codec, std::string_view utf8, bool matchCase,
              const DateForm& form = {});
  bool empty() const { return needle_.empty(); }
  bool in(std::string_view ansi) const;
  // Whether the master entry's shown date, type or description holds the text. The date and type
  // are made only when the text could be in them (digits, a space and the form's separators), so a
  // word is looked for in the descriptions alone.
  bool inEntry(const MasterLog& log, std::size_t i, const DateForm& form) const;

 private:
  std::string needle_;  // folded
  std::array<unsigned char, 256> fold_{};
  bool mayBeDate_ = false;
  bool mayBeNumber_ = false;
};

// The categories a filter keeps, one bit each.
enum CategoryBit : std::uint8_t {
  kErrors = 1,
  kAdvisories = 2,
  kTaskEntries = 4,  // entries with a detail log
  kRecovery = 8,
  kUncategorized = 16,
  kAllCategories = 31,
};
std::uint8_t categoryBit(Category category);

struct EntryFilter {
  std::uint8_t categories = kAllCategories;
  std::string text;  // UTF-8; empty keeps every entry
  bool active() const { return categories != kAllCategories || !text.empty(); }
};

// The entries of the rows, in the rows' order, that the filter keeps.
std::vector<std::uint32_t> filteredEntries(const MasterLog& log, const RowOrder& rows, const EntryFilter& filter,
                                           const platform::AnsiCodec& codec, const DateForm& form);

struct FoundRow {
  std::size_t row = 0;
  bool wrapped = false;  // found only after passing the end (or the start, searching up)
};
// The next of count rows, after the selected one (-1: none) in the direction, that holds the text,
// going round once: past the end the search goes on from the start up to the selected row itself.
std::optional<FoundRow> findRow(std::size_t count, std::ptrdiff_t selected, bool down,
                                const std::function<bool(std::size_t row)>& holds);

}  // namespace quillon
