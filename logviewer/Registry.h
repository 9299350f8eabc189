#pragma once
// The viewer's registry access: one value by a path that names the root key, the subkey and the
// value together.

#include <string>
#include <string_view>

#include "platform/AnsiCodec.h"
#include "platform/Registry.h"

namespace quillon {

// path: "<root name>\<subkey>\<value name>", e.g. "HKEY_LOCAL_MACHINE\SOFTWARE\...\Location".
// A text value (REG_SZ) gives its text up to the first NUL; a number (REG_DWORD, or REG_BINARY of
// at most four bytes) its decimal text. True and value set when the value was read; false
// otherwise, with value untouched.
bool ReadRegistryValue(platform::Registry& registry, const platform::AnsiCodec& codec, std::string_view path,
                       std::string& value);

}  // namespace quillon
