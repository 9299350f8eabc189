#pragma once
// The shell, and the system's shutdown.

#include <cstdint>
#include <string>

namespace platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the shell to "open" the document or address with the normal show state, no owner window,
  // no parameters and no working folder; the shell's result (32 or more is success).
  virtual std::intptr_t open(const std::string& target) = 0;
};

// The steps of restarting the computer, each answering whether it worked and, when it did not,
// the system error code.
struct StepResult {
  bool ok = false;
  std::uint32_t error = 0;
};

class Shutdown {
 public:
  virtual ~Shutdown() = default;
  // Opens the current process's token with TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY.
  virtual StepResult openProcessToken() = 0;
  // Looks up the privilege's identifier on the local system.
  virtual StepResult lookupPrivilege(const std::string& name) = 0;
  // Enables the looked-up privilege in the opened token (one entry, SE_PRIVILEGE_ENABLED), keeping
  // the others; the previous state goes to a 28-byte buffer.
  virtual StepResult enablePrivilege() = 0;
  // ExitWindowsEx with these flags and reason.
  virtual StepResult exitWindows(std::uint32_t flags, std::uint32_t reason) = 0;
};

}  // namespace platform
