#pragma once
// The manager's start-up pieces over the fakes: the snapshot table, the engine tasks, the first-run
// lists, the command line and Main, on top of the common services.

#include <gtest/gtest.h>

#include "fakes/FakeSystemServices.h"
#include "manager/CommandLine.h"
#include "manager/FirstRunLists.h"
#include "manager/Startup.h"
#include "manager/engine/EngineTasks.h"
#include "manager/engine/SnapshotTable.h"
#include "unit/ServicesFixture.h"

namespace testsupport {

inline constexpr const char* kLocation = "C:\\Program Files\\Korvane\\";

struct FakeManager : FakeServices {
  fakes::FakeFileSystem files;
  krv::Snapshots snapshots{{engine, configuration, registryAccess, commons, toolkit, codec}};
  krv::EngineTasks tasks{{helpers, toolkit, strings, snapshots.table()}};
  krv::FirstRunLists lists{{engine, codec, registryAccess, preferences, snapshots, files, toolkit}};
  krv::CommandLine commandLine{{commons, engine, codec, configuration, registryAccess, preferences, snapshots,
                                tasks, lists, helpers, files}};
  krv::Startup startup{{toolkit, system, windows, engine, commons, codec, registryAccess, preferences,
                        snapshots, lists, commandLine}};

  // An installed engine whose program folder is `programFolder`.
  void install(const std::string& programFolder = "C:\\Program Files\\Korvane") {
    registry.putText(krv::kServiceInfoKey, "Location", kLocation);
    registry.putText(krv::kAppPathsKey, "Path", programFolder);
  }
  // The table loaded and the running area decided, as start-up leaves them.
  void load() {
    snapshots.LoadSnapshotTable();
    snapshots.DetermineActiveBackup();
  }
  // The journal entries of programs started.
  std::vector<std::string> started() const {
    std::vector<std::string> lines;
    for (const std::string& line : processes.journal)
      if (line.rfind("start ", 0) == 0) lines.push_back(line.substr(6));
    return lines;
  }
};

}  // namespace testsupport

class ManagerFixture : public ::testing::Test, public testsupport::FakeManager {};
