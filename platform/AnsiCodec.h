#pragma once
// The system's ANSI code page, for the few places where text leaves the program as bytes:
// engine buffers, narrow registry values, log files and the tray monitor message.

#include <string>
#include <string_view>

#include "base/Windows1252.h"

namespace platform {

class AnsiCodec {
 public:
  virtual ~AnsiCodec() = default;
  // UTF-8 to ANSI bytes; a character the code page lacks becomes "?".
  virtual std::string toAnsi(std::string_view utf8) const = 0;
  // ANSI bytes to UTF-8.
  virtual std::string fromAnsi(std::string_view ansi) const = 0;
};

// Windows-1252, the code page of the tests and of most Western systems.
class Windows1252Codec final : public AnsiCodec {
 public:
  std::string toAnsi(std::string_view utf8) const override { return windows1252::fromUtf8(utf8); }
  std::string fromAnsi(std::string_view ansi) const override { return windows1252::toUtf8(ansi); }
};

}  // namespace platform
