#include "logviewer/EntryFilter.h"

#include <algorithm>

#include "base/Unicode.h"

namespace quillon {
namespace {

// The small letter of a capital, for the scripts a Windows ANSI code page holds.
char32_t smallLetter(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x138 && c != 0x149 && c != 0x17F) {
    // Latin Extended-A pairs capitals and small letters, even then odd, but for 0x139-0x148 and
    // 0x179-0x17E, where the capital is odd.
    const bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    return (c % 2 == 1) == oddCapital ? c + 1 : c;
  }
  if (c == 0x178) return 0xFF;
  if ((c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

bool onlyOf(std::string_view text, std::string_view allowed) {
  return text.find_first_not_of(allowed) == std::string_view::npos;
}

}  // namespace

TextMatcher::TextMatcher(const platform::AnsiCodec& codec, std::string_view utf8, bool matchCase,
                         const DateForm& form) {
  for (int b = 0; b < 256; ++b) fold_[b] = static_cast<unsigned char>(b);
  if (!matchCase) {
    for (int b = 0x41; b < 256; ++b) {
      const std::string one(1, static_cast<char>(b));
      const std::string shown = codec.fromAnsi(one);
      std::size_t pos = 0;
      const char32_t c = platform::nextCodePoint(shown, pos);
      const char32_t small = smallLetter(c);
      if (small == c) continue;
      std::string smallText;
      platform::appendUtf8(smallText, small);
      const std::string back = codec.toAnsi(smallText);
      if (back.size() == 1 && back != "?") fold_[b] = static_cast<unsigned char>(back[0]);
    }
  }
  needle_ = codec.toAnsi(utf8);
  for (char& c : needle_) c = static_cast<char>(fold_[static_cast<unsigned char>(c)]);
  mayBeNumber_ = onlyOf(needle_, "-0123456789");
  mayBeDate_ = onlyOf(needle_, "0123456789 " + codec.toAnsi(form.date) + codec.toAnsi(form.time));
}

bool TextMatcher::in(std::string_view text) const {
  const std::size_t n = needle_.size();
  if (n == 0) return true;
  if (text.size() < n) return false;
  const auto first = static_cast<unsigned char>(needle_[0]);
  const char* data = text.data();
  const std::size_t last = text.size() - n;
  for (std::size_t i = 0; i <= last; ++i) {
    if (fold_[static_cast<unsigned char>(data[i])] != first) continue;
    std::size_t k = 1;
    while (k < n && fold_[static_cast<unsigned char>(data[i + k])] == static_cast<unsigned char>(needle_[k])) ++k;
    if (k == n) return true;
  }
  return false;
}

bool TextMatcher::inEntry(const MasterLog& log, std::size_t i, const DateForm& form) const {
  if (in(log.description(i))) return true;
  if (mayBeNumber_ && in(numberText(log.number(i)))) return true;
  return mayBeDate_ && in(displayDate(unpackDate(log.when(i)), form));
}

std::uint8_t categoryBit(Category category) {
  switch (category) {
    case Category::Error:
      return kErrors;
    case Category::Advisory:
      return kAdvisories;
    case Category::Detail:
      return kTaskEntries;
    case Category::Recovery:
      return kRecovery;
    case Category::None:
      break;
  }
  return kUncategorized;
}

std::vector<std::uint32_t> filteredEntries(const MasterLog& log, const RowOrder& rows, const EntryFilter& filter,
                                           const platform::AnsiCodec& codec, const DateForm& form) {
  const TextMatcher matcher(codec, filter.text, false, form);
  std::vector<std::uint32_t> kept;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const std::uint32_t i = rows[row];
    if ((categoryBit(log.category(i)) & filter.categories) && matcher.inEntry(log, i, form)) kept.push_back(i);
  }
  kept.shrink_to_fit();
  return kept;
}

std::optional<FoundRow> findRow(std::size_t count, std::ptrdiff_t selected, bool down,
                                const std::function<bool(std::size_t row)>& holds) {
  if (count == 0) return std::nullopt;
  const bool none = selected < 0 || static_cast<std::size_t>(selected) >= count;
  // The rows in search order: those after the selected one to the end, then from the other end
  // round to the selected one itself.
  const std::size_t first = none ? (down ? 0 : count - 1) : static_cast<std::size_t>(selected);
  const std::size_t start = none ? 0 : 1;
  for (std::size_t step = start; step < count + start; ++step) {
    const std::size_t row = down ? (first + step) % count : (first + count - step % count) % count;
    if (holds(row)) {
      const bool wrapped = !none && (down ? row <= first : row >= first);
      return FoundRow{row, wrapped};
    }
  }
  return std::nullopt;
}

}  // namespace quillon
