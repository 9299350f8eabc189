#pragma once
// The manager without its window: one command per run, taken from the command line, with the
// outcome as the run result (negative ends the process with exit code 1).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "manager/FirstRunLists.h"
#include "manager/common/Commons.h"
#include "manager/common/Preferences.h"
#include "manager/common/RegistryW.h"
#include "manager/common/SystemHelpers.h"
#include "manager/engine/EngineTasks.h"
#include "manager/engine/KRVCopyAPI.h"
#include "manager/engine/KRVFunctions.h"
#include "manager/engine/SnapshotTable.h"
#include "platform/AnsiCodec.h"
#include "platform/FileSystem.h"

namespace krv {

struct CommandLineServices {
  Commons& commons;
  KRVCopyAPI& engine;
  const platform::AnsiCodec& codec;
  KRVFunctions& configuration;
  RegistryAccess& registry;
  Preferences& preferences;
  Snapshots& snapshots;
  EngineTasks& tasks;
  FirstRunLists& lists;
  SystemHelpers& helpers;
  platform::FileSystem& files;
};

// The ServiceInfo value through which the engine's tool reports a copy's outcome.
inline constexpr const char* kCopyResultValue = "CopyResult";

class CommandLine {
 public:
  static constexpr const char* kBuildNameFile = "SetQVXBUILD.bat";
  static constexpr const char* kBuildNameVariable = "QVXBUILD";

  explicit CommandLine(CommandLineServices services) : s_(services) {}

  // Carries out the one command the line holds (trimmed of spaces) and returns the run result;
  // the empty line does nothing and gives 0.
  std::int32_t Dispatch(const std::string& line);

  // Where the switch stands in the line: its first occurrence, compared without regard to case,
  // counts only when it stands at the line's start or after a space, and ends at the line's end
  // or before a space.
  static std::optional<std::size_t> FindSwitch(std::string_view line, std::string_view switchText);
  // The line's second space-separated token, or "".
  static std::string PasswordArgument(std::string_view line);
  // The batch file's line that sets the variable to exactly the name, or nothing when no line can.
  static std::optional<std::string> BuildNameLine(const std::string& name);

 private:
  void log(const std::string& text);
  bool passwordAccepted(const std::string& line);
  std::int32_t boot(const std::string& line);
  std::int32_t copy(const std::string& line);
  std::int32_t resetPassword(const std::string& line);
  std::int32_t buildName();
  void showHelp();

  CommandLineServices s_;
};

}  // namespace krv
