#pragma once
// The system registry. Each call opens the key, does one thing and closes the key again; keys are
// opened without a registry-view flag. Names are UTF-8 here; the narrow calls hand them to the
// system in the ANSI code page, the wide calls in UTF-16.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, DynData };

inline constexpr std::uint32_t kRegSz = 1;      // REG_SZ
inline constexpr std::uint32_t kRegBinary = 3;  // REG_BINARY
inline constexpr std::uint32_t kRegDword = 4;   // REG_DWORD

struct RegistryData {
  std::uint32_t type = 0;
  // The bytes the system put into the buffer (the size it reported): ANSI for narrow texts,
  // UTF-16LE for wide ones, 4 little-endian bytes for a number.
  std::string bytes;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens the key for reading and queries the value into a buffer of bufferBytes bytes. Nothing
  // when the key cannot be opened or the query fails, a value larger than the buffer included.
  virtual std::optional<RegistryData> queryNarrow(RegistryRoot root, const std::string& key, const std::string& value,
                                                  std::size_t bufferBytes) = 0;
  virtual std::optional<RegistryData> queryWide(RegistryRoot root, const std::string& key, const std::string& value,
                                                std::size_t bufferBytes) = 0;
  // Creates or opens the key with full access and stores the value; false when either fails.
  virtual bool setNarrow(RegistryRoot root, const std::string& key, const std::string& value, std::uint32_t type,
                         const std::string& bytes) = 0;
  virtual bool setWide(RegistryRoot root, const std::string& key, const std::string& value, std::uint32_t type,
                       const std::string& bytes) = 0;
  // Opens the key with full access and deletes the value; false when either fails.
  virtual bool deleteValue(RegistryRoot root, const std::string& key, const std::string& value) = 0;
};

}  // namespace platform
