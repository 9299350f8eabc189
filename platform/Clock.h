#pragma once
#include "base/ClassicRuntime.h"

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date and time, to the second.
  virtual classic::DateTime localNow() = 0;
};

}  // namespace platform
