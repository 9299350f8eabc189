#include "manager/common/RegistryW.h"

#include <algorithm>

#include "base/ClassicRuntime.h"
#include "base/Unicode.h"

namespace krv {

std::string RegistryAccess::ReadRegValue(platform::RegistryRoot root, const std::string& key,
                                         const std::string& name, const std::string& defaultValue) {
  const auto data = registry_.queryNarrow(root, key, name, kNarrowTextBytes);
  if (!data) return defaultValue;
  const std::string& bytes = data->bytes;
  const std::string_view ansi(bytes.data(), std::min(bytes.find('\0'), bytes.size()));
  return classic::trimSpaces(codec_.fromAnsi(ansi));
}

std::int32_t RegistryAccess::ReadRegValue(platform::RegistryRoot root, const std::string& key,
                                          const std::string& name, std::int32_t defaultValue) {
  const auto data = registry_.queryNarrow(root, key, name, kNumberBytes);
  if (!data) return defaultValue;
  // Little-endian; a shorter value fills only the low bytes of a zero number.
  std::uint32_t number = 0;
  for (std::size_t i = 0; i < std::min(data->bytes.size(), kNumberBytes); ++i)
    number |= std::uint32_t{static_cast<unsigned char>(data->bytes[i])} << (8 * i);
  return static_cast<std::int32_t>(number);
}

bool RegistryAccess::WriteRegValue(platform::RegistryRoot root, const std::string& key,
                                   const std::string& name, const std::string& value) {
  std::string bytes = codec_.toAnsi(value);
  bytes.push_back('\0');
  return registry_.setNarrow(root, key, name, platform::kRegSz, bytes);
}

bool RegistryAccess::WriteRegValue(platform::RegistryRoot root, const std::string& key,
                                   const std::string& name, std::int32_t value) {
  const auto number = static_cast<std::uint32_t>(value);
  std::string bytes(kNumberBytes, '\0');
  for (std::size_t i = 0; i < kNumberBytes; ++i) bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
  return registry_.setNarrow(root, key, name, platform::kRegDword, bytes);
}

bool RegistryAccess::DeleteRegValue(platform::RegistryRoot root, const std::string& key,
                                    const std::string& name) {
  return registry_.deleteValue(root, key, name);
}

bool RegistryAccess::FitsRegTextW(const std::string& text) {
  // The characters and their NUL, two bytes each, within the read's buffer.
  return (platform::utf8ToUtf16(text).size() + 1) * 2 <= kWideTextBytes;
}

bool RegistryAccess::ReadRegTextW(platform::RegistryRoot root, const std::string& key,
                                  const std::string& name, std::string& text) {
  const auto data = registry_.queryWide(root, key, name, kWideTextBytes);
  if (!data) return false;
  // The characters the system returned, up to the terminating NUL. A value stored without one
  // keeps its last character, and an odd last byte is no character.
  const std::string& bytes = data->bytes;
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (unit == u'\0') break;
    units.push_back(unit);
  }
  text = platform::utf16ToUtf8(units);
  return true;
}

bool RegistryAccess::WriteRegTextW(platform::RegistryRoot root, const std::string& key,
                                   const std::string& name, const std::string& text) {
  std::u16string units = platform::utf8ToUtf16(text);
  units.push_back(u'\0');
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return registry_.setWide(root, key, name, platform::kRegSz, bytes);
}

}  // namespace krv
