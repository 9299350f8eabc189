#pragma once
// Windows-1252, the ANSI code page of Western systems and of the tests: the bytes of engine
// buffers, narrow registry values and log files, converted to and from the program's UTF-8.

#include <string>
#include <string_view>

namespace platform::windows1252 {

// UTF-8 to Windows-1252 bytes; a character the code page lacks becomes "?".
std::string fromUtf8(std::string_view utf8);
// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined stand for the control
// characters of their value, so every byte survives a round trip.
std::string toUtf8(std::string_view bytes);

}  // namespace platform::windows1252
