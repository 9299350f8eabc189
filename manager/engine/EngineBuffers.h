#pragma once
// The fixed-size buffers handed to the engine: built here with their exact size, encoding and
// terminator, and read back up to the first NUL without ever reading past their end, even when
// the engine forgets the NUL.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AnsiCodec.h"

namespace krv {

// An ANSI buffer of a fixed number of bytes, zero-filled.
class AnsiBuffer {
 public:
  explicit AnsiBuffer(std::size_t sizeBytes) : bytes_(sizeBytes, '\0') {}

  // The text in ANSI followed by its NUL, in a buffer of sizeBytes; nothing when the text and its
  // NUL do not fit (a text is refused, never cut).
  static std::optional<AnsiBuffer> holding(const platform::AnsiCodec& codec, std::string_view utf8,
                                           std::size_t sizeBytes);
  // A buffer just large enough for the text and its NUL.
  static AnsiBuffer fitting(const platform::AnsiCodec& codec, std::string_view utf8);

  char* data() { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  // The bytes up to the first NUL (or the whole buffer when it holds none).
  std::string_view raw() const;
  // The contents up to the first NUL, as UTF-8, with leading and trailing spaces removed.
  std::string text(const platform::AnsiCodec& codec) const;

 private:
  std::vector<char> bytes_;
};

// A UTF-16 buffer of at least a fixed number of bytes, zero-filled. An odd byte count gets its
// last character whole: the engine may write every byte it is told the buffer holds.
class Utf16Buffer {
 public:
  explicit Utf16Buffer(std::size_t sizeBytes) : units_((sizeBytes + 1) / 2, u'\0') {}

  // The text in UTF-16 followed by its NUL within sizeBytes; nothing when they do not fit.
  static std::optional<Utf16Buffer> holding(std::string_view utf8, std::size_t sizeBytes);
  static Utf16Buffer fitting(std::string_view utf8);

  char16_t* data() { return units_.data(); }
  std::size_t sizeBytes() const { return units_.size() * 2; }
  // The first `count` characters (never more than the buffer holds, stopping at a NUL), as UTF-8.
  std::string text(std::size_t count) const;
  // Up to the first NUL, as UTF-8, trimmed of spaces.
  std::string text() const;

 private:
  std::vector<char16_t> units_;
};

}  // namespace krv
