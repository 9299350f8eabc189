#include "base/Unicode.h"

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

constexpr bool isSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}
constexpr bool isContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

void appendUtf16(std::u16string& out, char32_t c) {
  if (c >= 0x10000) {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(c));
  }
}

}  // namespace

char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
  if (pos >= text.size()) {
    pos = text.size();
    return kReplacement;
  }
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  // The well-formed sequences: the lead byte fixes the length and the range of the second byte,
  // which shuts out overlong forms, surrogates and values above U+10FFFF.
  int length = 0;
  unsigned char secondLow = 0x80;
  unsigned char secondHigh = 0xBF;
  char32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    ++pos;  // a stray continuation byte or a byte that never starts a sequence
    return kReplacement;
  }
  // A broken sequence gives one U+FFFD for the bytes that were valid so far, and decoding goes on
  // at the byte that broke it.
  std::size_t next = pos + 1;
  for (int i = 1; i < length; ++i, ++next) {
    if (next >= text.size()) {
      pos = next;
      return kReplacement;
    }
    const auto b = static_cast<unsigned char>(text[next]);
    const bool fits = i == 1 ? (b >= secondLow && b <= secondHigh) : isContinuation(b);
    if (!fits) {
      pos = next;
      return kReplacement;
    }
    value = (value << 6) | (b & 0x3F);
  }
  pos = next;
  return value;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || isSurrogate(c)) c = kReplacement;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::u16string utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) appendUtf16(out, nextCodePoint(utf8, pos));
  return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char32_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else {
      appendUtf8(out, unit);  // an unpaired surrogate becomes U+FFFD there
    }
  }
  return out;
}

std::size_t characterCount(std::string_view utf8) {
  std::size_t count = 0;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    nextCodePoint(utf8, pos);
    ++count;
  }
  return count;
}

}  // namespace platform
