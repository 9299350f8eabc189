#pragma once
// The manager's common services (registry access, engine configuration, system helpers and
// preferences) over the fakes, on top of FakeCommons.

#include <gtest/gtest.h>

#include "fakes/FakeCopyAPI.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeSystemServices.h"
#include "manager/common/Preferences.h"
#include "manager/common/RegistryW.h"
#include "manager/common/SystemHelpers.h"
#include "manager/engine/KRVFunctions.h"
#include "unit/CommonsFixture.h"

namespace testsupport {

struct FakeServices : FakeCommons {
  fakes::FakeRegistry registry;
  fakes::FakeCopyAPI engine;
  fakes::FakeWindowManager windows;
  fakes::FakeProcesses processes;
  fakes::FakeShell shell;
  fakes::FakeShutdown shutdown;
  krv::RegistryAccess registryAccess{registry, codec};
  krv::KRVFunctions configuration{engine, codec};
  krv::SystemHelpers helpers{{processes, toolkit, windows, shell, shutdown, system, codec, strings}};
  krv::Preferences preferences{registryAccess, configuration, helpers};

  // Registry writes, engine calls and monitor messages in the order they happened.
  std::vector<std::string> timeline;
  FakeServices() {
    registry.timeline = &timeline;
    engine.timeline = &timeline;
    windows.timeline = &timeline;
  }

  // The requests the engine received, in order.
  std::vector<std::string> requests() const {
    std::vector<std::string> texts;
    for (const auto& call : engine.configurationCalls) texts.push_back(call.request);
    return texts;
  }
};

}  // namespace testsupport

class ServicesFixture : public ::testing::Test, public testsupport::FakeServices {};
