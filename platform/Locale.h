#pragma once
// The user's regional settings that number and date texts follow.

#include <string>

#include "base/ClassicRuntime.h"

namespace platform {

class Locale {
 public:
  virtual ~Locale() = default;
  virtual std::string decimalSeparator() = 0;
  virtual std::string dateSeparator() = 0;
  virtual std::string timeSeparator() = 0;
  // The order of day, month and year in the user's short date format.
  virtual classic::DateOrder dateOrder() = 0;
};

}  // namespace platform
