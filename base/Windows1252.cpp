#include "base/Windows1252.h"

#include "base/Unicode.h"

namespace platform::windows1252 {

namespace {

// The characters of bytes 0x80..0x9F; every other byte stands for the code point of its value.
// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control
// characters of their value, as the system's conversion does, so that they survive a round trip.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

char32_t characterOf(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

// The byte of a character, or -1 when the code page has none.
int byteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return 0x80 + i;
  }
  return -1;
}

}  // namespace

std::string fromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const int byte = byteOf(nextCodePoint(utf8, pos));
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
  }
  return out;
}

std::string toUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) appendUtf8(out, characterOf(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace platform::windows1252
