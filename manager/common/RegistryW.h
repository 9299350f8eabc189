#pragma once
// The manager's registry values: a narrow family for numbers and short texts (ANSI, a 255-byte text
// buffer, 4-byte numbers) and a wide family for long texts (UTF-16, a 3977-byte buffer). No call
// shows a message: reads fall back to their default, writes answer whether they worked.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/AnsiCodec.h"
#include "platform/Registry.h"

namespace krv {

// Every value of the manager lives below this root.
inline constexpr platform::RegistryRoot kManagerRoot = platform::RegistryRoot::LocalMachine;
inline constexpr const char* kServiceInfoKey = "SOFTWARE\\Pellora\\Korvane\\ServiceInfo";
inline constexpr const char* kPreferencesKey = "SOFTWARE\\Pellora\\Korvane\\Preferences";
inline constexpr const char* kAppPathsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Korvane.exe";

class RegistryAccess {
 public:
  // A narrow text of 254 characters and its NUL fill the buffer; a longer one cannot be read.
  static constexpr std::size_t kNarrowTextBytes = 255;
  static constexpr std::size_t kNumberBytes = 4;
  static constexpr std::size_t kWideTextBytes = 3977;

  RegistryAccess(platform::Registry& registry, const platform::AnsiCodec& codec)
      : registry_(registry), codec_(codec) {}

  // The text up to its first NUL, trimmed of spaces; the default when it cannot be read.
  std::string ReadRegValue(platform::RegistryRoot root, const std::string& key, const std::string& name,
                           const std::string& defaultValue);
  std::string ReadRegValue(platform::RegistryRoot root, const std::string& key, const std::string& name,
                           const char* defaultValue) {
    return ReadRegValue(root, key, name, std::string(defaultValue));
  }
  // The value's first four bytes as a number, whatever its stored type; the default when it cannot
  // be read.
  std::int32_t ReadRegValue(platform::RegistryRoot root, const std::string& key, const std::string& name,
                            std::int32_t defaultValue);

  // A text is stored as REG_SZ with its NUL, a number as REG_DWORD.
  bool WriteRegValue(platform::RegistryRoot root, const std::string& key, const std::string& name,
                     const std::string& value);
  bool WriteRegValue(platform::RegistryRoot root, const std::string& key, const std::string& name,
                     const char* value) {
    return WriteRegValue(root, key, name, std::string(value));
  }
  bool WriteRegValue(platform::RegistryRoot root, const std::string& key, const std::string& name,
                     std::int32_t value);
  bool DeleteRegValue(platform::RegistryRoot root, const std::string& key, const std::string& name);

  // True when a text written with WriteRegTextW comes back whole through ReadRegTextW.
  static bool FitsRegTextW(const std::string& text);
  // True when the value exists and fits the buffer; only then is `text` set.
  bool ReadRegTextW(platform::RegistryRoot root, const std::string& key, const std::string& name,
                    std::string& text);
  // Stores the text as UTF-16 REG_SZ with its NUL.
  bool WriteRegTextW(platform::RegistryRoot root, const std::string& key, const std::string& name,
                     const std::string& text);

 private:
  platform::Registry& registry_;
  const platform::AnsiCodec& codec_;
};

}  // namespace krv
