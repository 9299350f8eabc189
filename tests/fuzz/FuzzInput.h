#pragma once
// What the fuzz targets share: typed values read off the fuzzer's bytes, a check that stops
// the run at once when a rule of the code under test does not hold, so that libFuzzer keeps the
// input that broke it, and what a valid date is.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "base/ClassicRuntime.h"

namespace fuzz {

[[noreturn]] inline void broken(const char* rule, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: rule broken: %s\n", file, line, rule);
  __builtin_trap();
}

// A date of the calendar with a time of the day: every part in its range.
inline bool calendarDate(const classic::DateTime& d) {
  return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= classic::daysInMonth(d.year, d.month) &&
         d.hour >= 0 && d.hour <= 23 && d.minute >= 0 && d.minute <= 59 && d.second >= 0 && d.second <= 59;
}

#define FUZZ_CHECK(rule) ((rule) ? static_cast<void>(0) : ::fuzz::broken(#rule, __FILE__, __LINE__))

// The fuzzer's bytes read from the front; past their end every read gives zeros or nothing.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  bool flag() { return (byte() & 1) != 0; }
  template <typename T>
  T number() {
    T value{};
    const std::size_t n = std::min(sizeof value, size_ - pos_);
    std::memcpy(&value, data_ + pos_, n);
    pos_ += n;
    return value;
  }
  // The bytes up to the next `end` (which is passed over), or all that is left.
  std::string until(char end) {
    const std::string_view left = rest();
    const std::size_t at = left.find(end);
    const std::string_view taken = left.substr(0, at);
    pos_ += taken.size() + (at == std::string_view::npos ? 0 : 1);
    return std::string(taken);
  }
  // Exactly n bytes, zeros past the end.
  std::string bytes(std::size_t n) {
    std::string out(n, '\0');
    for (char& c : out) c = static_cast<char>(byte());
    return out;
  }
  std::string_view rest() const {
    return std::string_view(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace fuzz
