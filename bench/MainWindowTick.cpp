// The CPU a refresh tick of the main window costs on the real screen: the window shown over the
// test fakes (two areas, the Original Area running), then ticks in the steady state (the relative
// times move, nothing else) and, for comparison, F5 reloads; CPU time of this thread per refresh.

#include <windows.h>

#include <cstdio>

#include "manager/mainwindow/FmMain.h"
#include "ui/win32/Win32FormToolkit.h"
#include "unit/ManagerFixture.h"

namespace {

double threadCpuMs() {
  FILETIME created, ended, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
  const auto value = [](FILETIME t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(value(kernel) + value(user)) / 10000.0;
}

}  // namespace

int main() {
  testsupport::FakeManager s;
  s.install();
  s.engine.answer("preboot", "Enabled");
  s.engine.answer("lastboot", "12/06/2026 09:30:00");
  s.engine.snapshots = {fakes::snapshot(0, "Original Area", 1500000, 500, 0),
                        fakes::snapshot(1, "Rescue Area", 2000000, 700, 600)};
  s.engine.times[500] = {2026, 12, 1, 14, 7, 0};
  s.engine.times[600] = {2026, 11, 20, 0, 5, 0};
  s.engine.times[700] = {2026, 12, 8, 12, 0, 0};
  s.windows.add(krv::SystemHelpers::kMonitorTitle);
  s.snapshots.LoadSnapshotTable();
  auto toolkit = ui::win32::createFormToolkit();
  toolkit->initCommonControls();
  krv::FmMain main({*toolkit, s.commons, s.locale, s.codec, s.engine, s.configuration, s.snapshots,
                    s.preferences, s.tasks, s.helpers, s.windows, s.files, s.processes});
  main.show();
  toolkit->processPendingEvents();

  constexpr int kTicks = 10000;
  constexpr int kReloads = 1000;
  const double t0 = threadCpuMs();
  for (int i = 0; i < kTicks; ++i) {
    s.clock.now.minute = i % 60;  // the ages change every minute
    main.tmrRefresh.onTimer();
    if (i % 100 == 0) toolkit->processPendingEvents();
  }
  const double t1 = threadCpuMs();
  for (int i = 0; i < kReloads; ++i) main.keyDown(ui::Key::F5, {});
  const double t2 = threadCpuMs();
  std::printf("tick refresh: %.4f ms CPU each (%d ticks); F5 reload: %.4f ms CPU each (%d reloads)\n",
              (t1 - t0) / kTicks, kTicks, (t2 - t1) / kReloads, kReloads);
  main.unload();
  toolkit->processPendingEvents();
  return 0;
}
