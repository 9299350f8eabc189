#include "manager/engine/EngineBuffers.h"

#include <algorithm>
#include <cstring>

#include "base/ClassicRuntime.h"
#include "base/Unicode.h"

namespace krv {

std::optional<AnsiBuffer> AnsiBuffer::holding(const platform::AnsiCodec& codec, std::string_view utf8,
                                              std::size_t sizeBytes) {
  const std::string ansi = codec.toAnsi(utf8);
  if (ansi.size() + 1 > sizeBytes) return std::nullopt;
  AnsiBuffer buffer(sizeBytes);
  std::memcpy(buffer.data(), ansi.data(), ansi.size());
  return buffer;
}

AnsiBuffer AnsiBuffer::fitting(const platform::AnsiCodec& codec, std::string_view utf8) {
  const std::string ansi = codec.toAnsi(utf8);
  AnsiBuffer buffer(ansi.size() + 1);
  std::memcpy(buffer.data(), ansi.data(), ansi.size());
  return buffer;
}

std::string_view AnsiBuffer::raw() const {
  const auto end = std::find(bytes_.begin(), bytes_.end(), '\0');
  return std::string_view(bytes_.data(), static_cast<std::size_t>(end - bytes_.begin()));
}

std::string AnsiBuffer::text(const platform::AnsiCodec& codec) const {
  return classic::trimSpaces(codec.fromAnsi(raw()));
}

std::optional<Utf16Buffer> Utf16Buffer::holding(std::string_view utf8, std::size_t sizeBytes) {
  const std::u16string wide = platform::utf8ToUtf16(utf8);
  if ((wide.size() + 1) * 2 > sizeBytes) return std::nullopt;
  Utf16Buffer buffer(sizeBytes);
  std::copy(wide.begin(), wide.end(), buffer.units_.begin());
  return buffer;
}

Utf16Buffer Utf16Buffer::fitting(std::string_view utf8) {
  const std::u16string wide = platform::utf8ToUtf16(utf8);
  Utf16Buffer buffer((wide.size() + 1) * 2);
  std::copy(wide.begin(), wide.end(), buffer.units_.begin());
  return buffer;
}

std::string Utf16Buffer::text(std::size_t count) const {
  const auto limit = units_.begin() + static_cast<std::ptrdiff_t>(std::min(count, units_.size()));
  const auto end = std::find(units_.begin(), limit, u'\0');
  return platform::utf16ToUtf8(
      std::u16string_view(units_.data(), static_cast<std::size_t>(end - units_.begin())));
}

std::string Utf16Buffer::text() const {
  return classic::trimSpaces(text(units_.size()));
}

}  // namespace krv
