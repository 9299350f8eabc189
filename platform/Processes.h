#pragma once
// Starting other programs and watching them.

#include <cstdint>
#include <string>

namespace platform {

inline constexpr std::uint32_t kStillActive = 259;  // the exit code of a process that still runs

class Processes {
 public:
  virtual ~Processes() = default;

  // Starts the command line (program and arguments in one text) with this initial show state of
  // its window (0 hidden, 1 normal and activated); the new process's identifier, or 0 when it could
  // not be started. The process is not waited for and no handle to it is kept.
  virtual std::uint32_t start(const std::string& commandLine, int showState) = 0;
  // Opens the process for query-information access; an opaque handle, or 0 when it cannot be opened.
  virtual std::uintptr_t openForQuery(std::uint32_t processId) = 0;
  // The exit code of an opened process: kStillActive while it runs, 0 when it cannot be read.
  virtual std::uint32_t exitCode(std::uintptr_t process) = 0;
  // Whether an opened process still runs. By default judged by its exit code alone, which cannot
  // tell a process that ended with the code kStillActive; the system's version asks the process
  // itself.
  virtual bool running(std::uintptr_t process) { return exitCode(process) == kStillActive; }
  virtual void close(std::uintptr_t process) = 0;
  virtual void sleep(std::uint32_t milliseconds) = 0;
  // Starts the command line with its window shown normally, in the folder (empty: this program's
  // working folder). With `wait`, blocks until the process ends and gives its exit code as a signed
  // number; without, gives 0 at once. -1 when it cannot be started or the wait fails.
  virtual std::int32_t invoke(const std::string& commandLine, bool wait, const std::string& folder) = 0;
};

}  // namespace platform
