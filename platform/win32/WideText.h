#pragma once
// UTF-8 to and from the UTF-16 of the W functions.

#include <windows.h>

#include <string>
#include <string_view>

#include "base/Unicode.h"

namespace platform::win32 {

inline std::wstring wide(std::string_view utf8) {
  const std::u16string text = utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

inline std::string narrow(std::wstring_view text) {
  return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

// UTF-8 to the system's ANSI code page; a character the code page lacks becomes "?" (never a
// look-alike letter, which would slip past the rules that judge ANSI characters).
inline std::string toAnsiCodePage(std::string_view utf8) {
  const std::wstring text = wide(utf8);
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                                       static_cast<int>(text.size()), nullptr, 0, "?", nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), out.data(),
                      size, "?", nullptr);
  return out;
}

}  // namespace platform::win32
