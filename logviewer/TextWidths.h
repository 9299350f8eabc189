#pragma once
// Widths of log texts in a window's font, measured without asking the system for each text: the
// logs are single-byte ANSI text, and a text's width in the system's measurement is the sum of its
// characters' advance widths, so a table of the 256 characters' widths gives every text's width
// exactly.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "logviewer/LogFiles.h"
#include "platform/AnsiCodec.h"

namespace quillon {

class ByteWidths {
 public:
  ByteWidths() { widths_.fill(0); }
  // measure gives the width of a UTF-8 text in twips; each byte is decoded with the codec. A NUL
  // byte is shown (and measured) as a space.
  ByteWidths(const platform::AnsiCodec& codec, const std::function<int(std::string_view)>& measure);
  std::int64_t width(std::string_view ansi) const;
  int widest() const { return widest_; }
  int narrowest() const { return narrowest_; }

 private:
  std::array<int, 256> widths_{};
  int widest_ = 0;
  int narrowest_ = 0;
};

// The largest description width among the entries, in twips; 0 for none. Only descriptions long
// enough to beat the widest found so far, even drawn in the font's widest character, are measured.
std::int64_t widestDescription(const MasterLog& log, const ByteWidths& widths);

// The text as the lists show it: UTF-8, with NUL bytes as spaces.
std::string shownText(const platform::AnsiCodec& codec, std::string_view ansi);

}  // namespace quillon
