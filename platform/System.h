#pragma once
// The running process and the operating system it runs on.

#include <cstdint>
#include <cstdlib>
#include <string>

namespace platform {

// The operating system's version as it reports it to the program (the extended version record).
struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint8_t productType = 0;  // 1 workstation, 2 domain controller, 3 server
};

inline constexpr std::uint8_t kProductTypeWorkstation = 1;

// The program's own version, as its version resource gives it (major.minor.0.revision).
struct ProgramVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t revision = 0;
};

class System {
 public:
  virtual ~System() = default;

  virtual OsVersion osVersion() = 0;
  virtual ProgramVersion programVersion() = 0;
  // The arguments the program was started with: the command line after the program's own name
  // and the blanks that follow it, otherwise exactly as given.
  virtual std::string commandLine() = 0;
  // True when an earlier instance of this program holds the instance indication. The first call
  // claims the indication for this process, which keeps it until it ends.
  virtual bool anotherInstanceRunning() = 0;
  // Ends the process at once with this exit code: no caller code runs after it.
  [[noreturn]] void exitProcess(int code) {
    endProcess(code);
    std::abort();  // endProcess never returns; this keeps the promise to the compiler
  }

 protected:
  // Ends the process, or in a test leaves the code under test by an exception; never returns.
  virtual void endProcess(int code) = 0;
};

}  // namespace platform
