#pragma once
// The user's regional settings that number and date texts follow.

#include <string>

namespace platform {

class Locale {
 public:
  virtual ~Locale() = default;
  virtual std::string decimalSeparator() = 0;
  virtual std::string dateSeparator() = 0;
  virtual std::string timeSeparator() = 0;
};

}  // namespace platform
