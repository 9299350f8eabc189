#pragma once
// The long-running area operations: copy/update, size calculation and removal are carried out by
// the engine's command tool KRVCmd, started here with its command line. The engine's negative
// codes become the user's messages in ShowTaskError.

#include <cstdint>
#include <string>

#include "base/StringTable.h"
#include "manager/common/SystemHelpers.h"
#include "manager/engine/SnapshotTable.h"
#include "ui/Toolkit.h"

namespace krv {

struct EngineTaskServices {
  SystemHelpers& helpers;
  ui::Toolkit& toolkit;
  const platform::StringTable& strings;
  const SnapshotTable& table;  // for the program folder
};

class EngineTasks {
 public:
  static constexpr const char* kToolName = "KRVCmd.exe";
  static constexpr std::int16_t kToolWindowStyle = 1;  // normal and activated
  // Task results besides 0 (started), kInvalidName and kToolNotStarted.
  static constexpr std::int32_t kBlankName = -1;

  explicit EngineTasks(EngineTaskServices services) : s_(services) {}

  // Copies the source area onto the destination; both names are trimmed and cut to 35 characters
  // in place. fromWindow false marks the copy as unattended ("#" before its title); with `wait`
  // the call returns when the tool has ended.
  std::int32_t StartCopyTask(std::string& source, std::string& destination, const std::string& exclusions,
                             bool fromWindow, bool wait);
  std::int32_t StartSizeTask(const std::string& name, const std::string& exclusions);
  std::int32_t StartRemoveTask(const std::string& name);
  // The message for a non-zero code, in a box titled "Korvane Error".
  void ShowTaskError(std::int32_t code);
  // The text ShowTaskError shows for the code.
  std::string TaskErrorText(std::int32_t code) const;

 private:
  std::int32_t run(const std::string& commandLine, bool wait);

  EngineTaskServices s_;
};

}  // namespace krv
