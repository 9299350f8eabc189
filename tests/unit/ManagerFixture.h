#pragma once
// The manager's start-up pieces over the fakes: the snapshot table and Main, on top of the common
// services.

#include <gtest/gtest.h>

#include "manager/Startup.h"
#include "manager/engine/SnapshotTable.h"
#include "unit/ServicesFixture.h"

namespace testsupport {

inline constexpr const char* kLocation = "C:\\Program Files\\Korvane\\";

struct FakeManager : FakeServices {
  krv::Snapshots snapshots{{engine, configuration, registryAccess, commons, toolkit, codec}};
  krv::Startup startup{
      {toolkit, system, windows, engine, commons, codec, registryAccess, preferences, snapshots}};

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
};

}  // namespace testsupport

class ManagerFixture : public ::testing::Test, public testsupport::FakeManager {};
