#include "logviewer/Registry.h"

#include <cstdint>
#include <optional>

#include "base/ClassicRuntime.h"

namespace quillon {
namespace {

// The texts of a value are read into a buffer of this many characters (ANSI bytes).
constexpr std::size_t kValueBufferChars = 255;

std::optional<platform::RegistryRoot> rootNamed(std::string_view name) {
  using platform::RegistryRoot;
  if (name == "HKEY_CLASSES_ROOT") return RegistryRoot::ClassesRoot;
  if (name == "HKEY_CURRENT_USER") return RegistryRoot::CurrentUser;
  if (name == "HKEY_LOCAL_MACHINE") return RegistryRoot::LocalMachine;
  if (name == "HKEY_USERS") return RegistryRoot::Users;
  if (name == "HKEY_CURRENT_CONFIG") return RegistryRoot::CurrentConfig;
  if (name == "HKEY_DYN_DATA") return RegistryRoot::DynData;
  return std::nullopt;
}

}  // namespace

bool ReadRegistryValue(platform::Registry& registry, const platform::AnsiCodec& codec, std::string_view path,
                       std::string& value) {
  const std::string whole = classic::trimSpaces(path);
  const std::size_t first = whole.find('\\');
  const std::size_t last = whole.rfind('\\');
  if (first == std::string::npos || first == 0 || last <= first + 1) return false;
  const auto root = rootNamed(std::string_view(whole).substr(0, first));
  if (!root) return false;
  const std::string subkey = whole.substr(first + 1, last - first - 1);
  const std::string name = whole.substr(last + 1);

  const auto data = registry.queryNarrow(*root, subkey, name, kValueBufferChars);
  if (!data) return false;
  if (data->type == platform::kRegSz) {
    const std::size_t end = data->bytes.find('\0');
    value = codec.fromAnsi(std::string_view(data->bytes).substr(0, end));
    return true;
  }
  if (data->type == platform::kRegBinary || data->type == platform::kRegDword) {
    // Queried again into a 32-bit number: a longer value does not fit and fails.
    const auto number = registry.queryNarrow(*root, subkey, name, 4);
    if (!number) return false;
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < number->bytes.size() && i < 4; ++i)
      bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(number->bytes[i])) << (8 * i);
    value = std::to_string(static_cast<std::int32_t>(bits));
    return true;
  }
  return false;
}

}  // namespace quillon
