#pragma once
// UTF-8 to and from the UTF-16 of the W functions.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Unicode.h"

namespace platform::win32 {

inline std::wstring wide(std::string_view utf8) {
  const std::u16string text = utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

inline std::string narrow(std::wstring_view text) {
  return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

}  // namespace platform::win32
