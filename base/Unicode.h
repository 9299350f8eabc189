#pragma once
// Conversions between the program's UTF-8 text and the UTF-16 the system and the engine use.

#include <string>
#include <string_view>

namespace platform {

// Malformed UTF-8 becomes U+FFFD; unpaired surrogates likewise.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);
// Decodes the code point starting at text[pos] and advances pos; U+FFFD for a malformed sequence.
// At or past the end of the text it gives U+FFFD and leaves pos at the end.
char32_t nextCodePoint(std::string_view text, std::size_t& pos);
void appendUtf8(std::string& out, char32_t codePoint);
// The number of characters (code points) in the text.
std::size_t characterCount(std::string_view utf8);

}  // namespace platform
