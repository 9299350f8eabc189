#pragma once
// Text conversions and file appends every stand-in needs.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// UTF-16 to the system's ANSI code page, and back.
std::string ansi(std::wstring_view text);
std::wstring wideFromAnsi(std::string_view text);
// UTF-16 to UTF-8, and UTF-8 to the ANSI code page.
std::string utf8(std::wstring_view text);
std::string ansiFromUtf8(std::string_view text);

// ASCII letters in lower case, other bytes as they are; comparison ignoring ASCII case.
std::string lowerAscii(std::string_view text);
bool equalIgnoringCase(std::string_view a, std::string_view b);
// Without leading and trailing spaces.
std::string_view trimSpaces(std::string_view text);

// Appends the bytes to the file in one write, creating the file and its folders; writes of other
// processes to the same file at the same time land whole, one after the other. False when the
// file could not be written.
bool appendToFile(const std::wstring& path, std::string_view bytes);

// The whole file, read while others may write to it; nothing when it cannot be opened.
std::optional<std::string> readWholeFile(const std::wstring& path);
// The lines of a text, each ending at CR LF, a lone CR or a lone LF (the end not included).
std::vector<std::string> splitLines(const std::string& bytes);

}  // namespace standin
