#pragma once
// Starting other programs and watching them.

#include <cstdint>
#include <string>
#include <utility>

namespace platform {

inline constexpr std::uint32_t kStillActive = 259;  // the exit code of a process that still runs

class Processes;

// A process this program started, held by the handle the start gave: while it is held, the
// process's identifier cannot pass to another process, so whatever is asked through it is asked
// of this process. Moves, never copies; gives the handle back when it goes. It must not outlive
// the Processes that started it.
class ProcessHandle {
 public:
  ProcessHandle() = default;
  ProcessHandle(Processes& owner, std::uintptr_t handle, std::uint32_t id)
      : owner_(&owner), handle_(handle), id_(id) {}
  ProcessHandle(ProcessHandle&& other) noexcept
      : owner_(std::exchange(other.owner_, nullptr)),
        handle_(std::exchange(other.handle_, 0)),
        id_(std::exchange(other.id_, 0)) {}
  ProcessHandle& operator=(ProcessHandle&& other) noexcept {
    if (this != &other) {
      reset();
      owner_ = std::exchange(other.owner_, nullptr);
      handle_ = std::exchange(other.handle_, 0);
      id_ = std::exchange(other.id_, 0);
    }
    return *this;
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  ~ProcessHandle() { reset(); }

  // Whether a process is held (false when the start failed).
  explicit operator bool() const { return handle_ != 0; }
  std::uint32_t id() const { return id_; }
  // The system's handle, for the Processes that made it.
  std::uintptr_t get() const { return handle_; }
  // Gives the handle back; nothing is held afterwards.
  inline void reset();

 private:
  Processes* owner_ = nullptr;
  std::uintptr_t handle_ = 0;
  std::uint32_t id_ = 0;
};

class Processes {
 public:
  virtual ~Processes() = default;

  // Starts the command line (program and arguments in one text) with this initial show state of
  // its window (0 hidden, 1 normal and activated). The process, held until the result goes; an
  // empty one when it could not be started. The process is not waited for.
  virtual ProcessHandle start(const std::string& commandLine, int showState) = 0;
  // The exit code of a held process: kStillActive while it runs, 0 when it cannot be read.
  virtual std::uint32_t exitCode(const ProcessHandle& process) = 0;
  // Whether a held process still runs. By default judged by its exit code alone, which cannot
  // tell a process that ended with the code kStillActive; the system's version asks the process
  // itself.
  virtual bool running(const ProcessHandle& process) { return exitCode(process) == kStillActive; }
  virtual void sleep(std::uint32_t milliseconds) = 0;
  // Starts the command line with its window shown normally, in the folder (empty: this program's
  // working folder). With `wait`, blocks until the process ends and gives its exit code as a signed
  // number; without, gives 0 at once. -1 when it cannot be started or the wait fails.
  virtual std::int32_t invoke(const std::string& commandLine, bool wait, const std::string& folder) = 0;

 protected:
  friend class ProcessHandle;
  // Gives back a handle that start gave.
  virtual void release(std::uintptr_t handle) = 0;
};

void ProcessHandle::reset() {
  if (owner_ && handle_) owner_->release(handle_);
  owner_ = nullptr;
  handle_ = 0;
  id_ = 0;
}

}  // namespace platform
