#pragma once
// A krv::Commons over the fakes and the manager's real string table, for tests of code that shows
// the standard boxes or formats sizes and ages. Use FakeCommons as a member or base of a larger
// fixture, or CommonsFixture directly with TEST_F.

#include <gtest/gtest.h>

#include <cstddef>

#include "fakes/FakeFormToolkit.h"
#include "fakes/Fakes.h"
#include "manager/common/Commons.h"

extern const platform::StringEntry kKorvaneStrings[];
extern const std::size_t kKorvaneStringsCount;

namespace testsupport {

struct FakeCommons {
  fakes::FakeFormToolkit toolkit;
  fakes::FakeSystem system;
  fakes::FakeClock clock;
  fakes::FakeLocale locale;
  platform::Windows1252Codec codec;
  platform::CompiledStringTable strings{kKorvaneStrings, kKorvaneStringsCount};
  krv::Commons commons{{toolkit, system, clock, locale, codec, strings}};

  // Runs code that is expected to end the process; gives the exit code, or -1 when it returned.
  template <typename Code>
  int exitCodeOf(Code&& code) {
    try {
      code();
    } catch (const fakes::ProcessExit& exit) {
      return exit.code;
    }
    return -1;
  }
};

}  // namespace testsupport

class CommonsFixture : public ::testing::Test, public testsupport::FakeCommons {};
