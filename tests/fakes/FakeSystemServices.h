#pragma once
// Test doubles of other programs, the shell and the system's shutdown. Each records what it was
// asked in a journal and answers from what the test set up.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/Shell.h"

namespace fakes {

class FakeProcesses : public platform::Processes {
 public:
  // A started process is held by the handle `handle` (77 unless changed) with the identifier
  // startResult.
  platform::ProcessHandle start(const std::string& commandLine, int showState) override {
    journal.push_back("start " + commandLine + " (" + std::to_string(showState) + ")");
    if (startResult == 0) return {};
    return platform::ProcessHandle(*this, handle, startResult);
  }
  // Answers the queued codes in turn, then 0 (ended).
  std::uint32_t exitCode(const platform::ProcessHandle& process) override {
    journal.push_back("exitCode " + std::to_string(process.get()));
    if (exitCodes.empty()) return 0;
    const std::uint32_t code = exitCodes.front();
    exitCodes.pop_front();
    return code;
  }
  void sleep(std::uint32_t milliseconds) override {
    journal.push_back("sleep " + std::to_string(milliseconds));
  }
  // Answers the queued results in turn, then 0.
  std::int32_t invoke(const std::string& commandLine, bool wait, const std::string& folder) override {
    journal.push_back("invoke " + commandLine + (wait ? " (wait)" : "") + (folder.empty() ? "" : " in " + folder));
    if (invokeResults.empty()) return 0;
    const std::int32_t result = invokeResults.front();
    invokeResults.pop_front();
    return result;
  }

  std::uint32_t startResult = 4711;  // 0: the program cannot be started
  std::uintptr_t handle = 77;
  std::deque<std::uint32_t> exitCodes;
  std::deque<std::int32_t> invokeResults;
  std::vector<std::string> journal;

 protected:
  void release(std::uintptr_t process) override { journal.push_back("close " + std::to_string(process)); }
};

class FakeShell : public platform::Shell {
 public:
  std::intptr_t open(const std::string& target) override {
    opened.push_back(target);
    return result;
  }
  std::intptr_t result = 42;
  std::vector<std::string> opened;
};

class FakeShutdown : public platform::Shutdown {
 public:
  platform::StepResult openProcessToken() override {
    journal.push_back("openProcessToken");
    return token;
  }
  platform::StepResult lookupPrivilege(const std::string& name) override {
    journal.push_back("lookupPrivilege " + name);
    return privilege;
  }
  platform::StepResult enablePrivilege() override {
    journal.push_back("enablePrivilege");
    return enable;
  }
  platform::StepResult exitWindows(std::uint32_t flags, std::uint32_t reason) override {
    journal.push_back("exitWindows " + std::to_string(flags) + " " + std::to_string(reason));
    return restart;
  }

  platform::StepResult token{true, 0};
  platform::StepResult privilege{true, 0};
  platform::StepResult enable{true, 0};
  platform::StepResult restart{true, 0};
  std::vector<std::string> journal;
};

// The user's folders, the folders and files that exist, and the files written, all in memory.
class FakeFileSystem : public platform::FileSystem {
 public:
  std::optional<std::string> userFolder(int csidl) override {
    const auto found = folders.find(csidl);
    if (found == folders.end()) return std::nullopt;
    return found->second;
  }
  std::optional<std::uint32_t> attributes(const std::string& path) override {
    const auto found = existing.find(path);
    if (found == existing.end()) return std::nullopt;
    return found->second;
  }
  bool writeFile(const std::string& path, const std::string& bytes) override {
    if (!writable) return false;
    files[path] = bytes;
    return true;
  }
  // Makes the path an existing folder.
  void folder(const std::string& path) { existing[path] = platform::kAttributeDirectory; }

  std::map<int, std::string> folders;             // by CSIDL
  std::map<std::string, std::uint32_t> existing;  // path to its attributes
  std::map<std::string, std::string> files;       // written files
  bool writable = true;
};

}  // namespace fakes
